// The generator of operation sequences and their text form.
#include "tests/randomops/engine/RandomOps.h"

#include <array>
#include <cctype>
#include <random>
#include <sstream>

namespace tvx::randomops {

namespace {

constexpr std::array kNames = {
#define TVX_RANDOM_OP_NAME(name) #name,
    TVX_RANDOM_OP_KINDS(TVX_RANDOM_OP_NAME)
#undef TVX_RANDOM_OP_NAME
};

// std::mt19937_64's output is fixed by the standard; the distributions are
// not, so bounding is done here.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : engine_(seed) {}
    std::uint32_t Below(std::uint32_t n) { return std::uint32_t((engine_() >> 32) * n >> 32); }
    std::uint32_t Next() { return std::uint32_t(engine_() >> 32); }

private:
    std::mt19937_64 engine_;
};

struct Weight {
    OpKind Kind;
    std::uint32_t Weight;
};

// Releases weigh about as much as what makes objects, so populations stay
// small and objects keep coming and going.
constexpr Weight kWeights[] = {
    {OpKind::AddMessageHandler, 2},
    {OpKind::SetHandlerBehaviour, 2},
    {OpKind::PostMessage, 3},
    {OpKind::PressKey, 2},
    {OpKind::IsShortcut, 1},
    {OpKind::ShowHelp, 1},
    {OpKind::GetMenuItem, 6},
    {OpKind::AddMenuItem, 6},
    {OpKind::InsertMenuItem, 4},
    {OpKind::RemoveMenuItem, 4},
    {OpKind::GetFirstMenuItem, 1},
    {OpKind::CopyMenuItem, 2},
    {OpKind::ReleaseMenuItem, 10},
    {OpKind::SetMenuItemProperty, 8},
    {OpKind::NavigateMenuItem, 5},
    {OpKind::RegisterMenuEvents, 3},
    {OpKind::InvokeMenuAction, 2},
    {OpKind::ChooseMenuItem, 3},
    {OpKind::IdeFreesMenuItem, 1},
    {OpKind::AddToolBar, 4},
    {OpKind::FindToolBar, 2},
    {OpKind::RemoveToolBar, 2},
    {OpKind::ClearToolBarService, 1},
    {OpKind::CopyToolBar, 1},
    {OpKind::ReleaseToolBar, 4},
    {OpKind::SetToolBarProperty, 4},
    {OpKind::AddSeparator, 2},
    {OpKind::AddControl, 6},
    {OpKind::RemoveControl, 2},
    {OpKind::ClearToolBar, 1},
    {OpKind::CopyControl, 2},
    {OpKind::ReleaseControl, 7},
    {OpKind::SetControlProperty, 6},
    {OpKind::SetButtonImage, 3},
    {OpKind::ComboOperation, 5},
    {OpKind::RegisterControlEvents, 4},
    {OpKind::ClickButton, 4},
    {OpKind::TypeInCombo, 2},
    {OpKind::PickInCombo, 2},
    {OpKind::Idle, 3},
    {OpKind::ReloadToolBars, 1},
    {OpKind::IdeFreesToolBar, 1},
    {OpKind::DocumentFrameOnTop, 3},
    {OpKind::DocumentFrameNormal, 1},
    {OpKind::CreateDocumentWindow, 4},
    {OpKind::CallDocumentWindow, 8},
    {OpKind::ReleaseDocumentWindow, 4},
    {OpKind::EditorWindowStep, 8},
};

constexpr std::uint32_t TotalWeight()
{
    std::uint32_t total = 0;
    for (const Weight& w : kWeights)
        total += w.Weight;
    return total;
}

} // namespace

const char* OpName(OpKind kind) noexcept
{
    std::size_t index = std::size_t(kind);
    return index < kNames.size() ? kNames[index] : "?";
}

std::string OpSource(const Op& op)
{
    std::ostringstream out;
    out << "{OpKind::" << OpName(op.Kind) << ", " << op.A << "u, " << op.B << "u, " << op.C << "u}";
    return out.str();
}

bool ParseOps(const std::string& text, std::vector<Op>& ops, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        for (char& c : line)
            if (c == '{' || c == '}' || c == ',')
                c = ' ';
        std::istringstream words(line);
        std::string kind;
        // Blank lines, comments and the lines around a pasted sequence.
        if (!(words >> kind) || kind.rfind("//", 0) == 0 || kind.find_first_of("();") != std::string::npos)
            continue;
        if (kind.rfind("OpKind::", 0) == 0)
            kind.erase(0, 8);
        Op op{};
        bool known = false;
        for (std::size_t i = 0; i < kNames.size(); ++i)
            if (kind == kNames[i]) {
                op.Kind = OpKind(i);
                known = true;
            }
        std::uint32_t* fields[] = {&op.A, &op.B, &op.C};
        for (std::uint32_t* field : fields) {
            std::string word;
            if (!(words >> word))
                break;
            if (!word.empty() && word.back() == 'u')
                word.pop_back();
            try {
                *field = std::uint32_t(std::stoul(word));
            } catch (...) {
                known = false;
            }
        }
        if (!known) {
            error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
        ops.push_back(op);
    }
    return true;
}

std::vector<Op> Generate(std::uint64_t seed, std::size_t count)
{
    Rng rng(seed);
    std::vector<Op> ops;
    ops.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t pick = rng.Below(TotalWeight());
        OpKind kind = kWeights[0].Kind;
        for (const Weight& w : kWeights) {
            if (pick < w.Weight) {
                kind = w.Kind;
                break;
            }
            pick -= w.Weight;
        }
        Op op{kind};
        op.A = rng.Next();
        op.B = rng.Next();
        op.C = rng.Next();
        ops.push_back(op);
    }
    return ops;
}

} // namespace tvx::randomops
