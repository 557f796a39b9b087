// Reading .reg files: the whole file is parsed into a plan first, the plan is
// checked against the registry, and only then applied, so that a refused
// file changes nothing.
#include "RegFileParse.h"
#include "RegFileText.h"
#include "RegistryStore.h"

#include "host/win32/RegFile.h"
#include "interop/Utf.h"

#include <fstream>
#include <iterator>
#include <new>

namespace tvx::win32 {

using namespace detail;

namespace {

std::vector<std::u16string_view> Views(const std::vector<std::u16string>& path)
{
    return std::vector<std::u16string_view>(path.begin(), path.end());
}

std::string KeyText(const RegFileOp& op)
{
    std::u16string text = RegistryStore::RootName(op.root);
    for (auto& part : op.path)
        text += u'\\' + part;
    return Quote(text);
}

// What the registry itself would refuse, found before anything changes.
void Check(RegistryStore& store, const std::vector<RegFileOp>& ops)
{
    for (const RegFileOp& op : ops) {
        if (op.kind != RegFileOp::OpenKey && op.kind != RegFileOp::DeleteKey)
            continue;
        auto base = store.Root(op.root);
        if (base->Depth() + op.path.size() > kMaxKeyDepth)
            Fail(op.line, "the key " + KeyText(op) + " is nested deeper than 512 levels");
        if (op.kind == RegFileOp::OpenKey && store.IsHiveRoot(*base) && !op.path.empty() &&
            !base->FindSubkey(Fold(op.path.front())))
            Fail(op.line, "the key " + KeyText(op) + " cannot be created: " +
                              Utf16ToUtf8(RegistryStore::RootName(op.root)) + " holds only the system's hives");
        if (op.kind == RegFileOp::DeleteKey) {
            auto key = store.Find(base, Views(op.path));
            if (key && store.SubtreeProtected(*key, false))
                Fail(op.line, "the key " + KeyText(op) + " belongs to the system and cannot be deleted");
        }
    }
}

void Apply(RegistryStore& store, std::vector<RegFileOp>& ops)
{
    std::shared_ptr<RegKey> current;
    for (RegFileOp& op : ops) {
        switch (op.kind) {
        case RegFileOp::OpenKey: {
            current = store.Root(op.root);
            for (auto& part : op.path) {
                auto next = current->SubkeyPtr(Fold(part));
                // Below a volatile key only volatile keys can live.
                current = next ? next : store.AddSubkey(*current, part, current->isVolatile, {});
            }
            break;
        }
        case RegFileOp::DeleteKey:
            if (auto key = store.Find(store.Root(op.root), Views(op.path)))
                store.DeleteKey(*key);
            current = nullptr;
            break;
        case RegFileOp::SetValue: current->SetValue(op.name, op.type, std::move(op.data)); break;
        case RegFileOp::DeleteValue: current->DeleteValue(op.name); break;
        }
    }
}

} // namespace

RegFileResult ImportRegText(std::u16string_view text)
{
    try {
        std::vector<RegFileOp> ops = ParseRegText(text);
        auto& store = RegistryStore::Instance();
        auto lock = store.Lock();
        Check(store, ops);
        Apply(store, ops);
        return RegFileResult{true, 0, {}};
    } catch (const ParseFailure& failure) {
        return RegFileResult{false, failure.line, failure.message};
    } catch (const std::bad_alloc&) {
        return RegFileResult{false, 0, "out of memory"};
    }
}

RegFileResult ImportRegText(std::string_view bytes)
{
    try {
        return ImportRegText(std::u16string_view(DecodeRegFileBytes(bytes)));
    } catch (const std::bad_alloc&) {
        return RegFileResult{false, 0, "out of memory"};
    }
}

RegFileResult ImportRegFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return RegFileResult{false, 0, "cannot open " + path.string()};
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return RegFileResult{false, 0, "cannot read " + path.string()};
    RegFileResult result = ImportRegText(std::string_view(bytes));
    if (!result.ok)
        result.message = path.string() + (result.line ? ":" + std::to_string(result.line) : "") + ": " + result.message;
    return result;
}

} // namespace tvx::win32
