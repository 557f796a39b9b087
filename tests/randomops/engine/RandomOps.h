// Random operation sequences: a seeded generator of package and user
// operations, and a runner that applies them to the simulated IDE through
// the package-facing interfaces, checking after every step that the menu
// tree, the wrapper lists, the toolbars, the reference counts and the GDI
// handles are consistent.
//
// An operation names its targets by numbers taken modulo whatever exists
// when it runs, so any subsequence of a sequence is itself a valid sequence:
// that is what lets a failing run be shrunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Tables of one entry a line.
// clang-format off

namespace tvx::randomops {

#define TVX_RANDOM_OP_KINDS(X)                                                                                   \
    X(AddMessageHandler)                                                                                         \
    X(SetHandlerBehaviour)                                                                                       \
    X(PostMessage)                                                                                               \
    X(PressKey)                                                                                                  \
    X(IsShortcut)                                                                                                \
    X(ShowHelp)                                                                                                  \
    X(GetMenuItem)                                                                                               \
    X(AddMenuItem)                                                                                               \
    X(InsertMenuItem)                                                                                            \
    X(RemoveMenuItem)                                                                                            \
    X(GetFirstMenuItem)                                                                                          \
    X(CopyMenuItem)                                                                                              \
    X(ReleaseMenuItem)                                                                                           \
    X(SetMenuItemProperty)                                                                                       \
    X(NavigateMenuItem)                                                                                          \
    X(RegisterMenuEvents)                                                                                        \
    X(InvokeMenuAction)                                                                                          \
    X(ChooseMenuItem)                                                                                            \
    X(IdeFreesMenuItem)                                                                                          \
    X(AddToolBar)                                                                                                \
    X(FindToolBar)                                                                                               \
    X(RemoveToolBar)                                                                                             \
    X(ClearToolBarService)                                                                                       \
    X(CopyToolBar)                                                                                               \
    X(ReleaseToolBar)                                                                                            \
    X(SetToolBarProperty)                                                                                        \
    X(AddSeparator)                                                                                              \
    X(AddControl)                                                                                                \
    X(RemoveControl)                                                                                             \
    X(ClearToolBar)                                                                                              \
    X(CopyControl)                                                                                               \
    X(ReleaseControl)                                                                                            \
    X(SetControlProperty)                                                                                        \
    X(SetButtonImage)                                                                                            \
    X(ComboOperation)                                                                                            \
    X(RegisterControlEvents)                                                                                     \
    X(ClickButton)                                                                                               \
    X(TypeInCombo)                                                                                               \
    X(PickInCombo)                                                                                               \
    X(Idle)                                                                                                      \
    X(ReloadToolBars)                                                                                            \
    X(IdeFreesToolBar)                                                                                           \
    X(DocumentFrameOnTop)                                                                                        \
    X(DocumentFrameNormal)                                                                                       \
    X(CreateDocumentWindow)                                                                                      \
    X(CallDocumentWindow)                                                                                        \
    X(ReleaseDocumentWindow)                                                                                     \
    X(EditorWindowStep)                                                                                          \
    X(AddModuleNotifier)                                                                                         \
    X(RemoveModuleNotifier)                                                                                      \
    X(ModuleStep)                                                                                                \
    X(GetModuleEditor)                                                                                           \
    X(CallModuleEditor)

enum class OpKind : std::uint8_t {
#define TVX_RANDOM_OP_ENUM(name) name,
    TVX_RANDOM_OP_KINDS(TVX_RANDOM_OP_ENUM)
#undef TVX_RANDOM_OP_ENUM
};

// One step. A, B and C choose targets and values; each kind reads them
// modulo what it needs.
struct Op {
    OpKind Kind;
    std::uint32_t A = 0;
    std::uint32_t B = 0;
    std::uint32_t C = 0;
};

const char* OpName(OpKind kind) noexcept;
// The step as C++ source: {OpKind::AddMenuItem, 1u, 2u, 3u}
std::string OpSource(const Op& op);
// Reads back what OpSource wrote (one step per line, commas and braces
// optional); false on a line it cannot read.
bool ParseOps(const std::string& text, std::vector<Op>& ops, std::string& error);

// The same seed gives the same sequence on every platform and library.
std::vector<Op> Generate(std::uint64_t seed, std::size_t count);

struct RunResult {
    bool Ok = true;
    std::size_t StepsRun = 0;
    // The failing step's index, its check and what the check saw.
    std::size_t FailedStep = 0;
    std::string Check;
    std::string Message;
};

// Builds a simulated IDE, loads the wizard with one package, applies the
// steps, then shuts everything down and checks the handles once more.
// Process-wide state (the services root) allows one run per process.
RunResult Run(const std::vector<Op>& ops);

} // namespace tvx::randomops
// clang-format on
