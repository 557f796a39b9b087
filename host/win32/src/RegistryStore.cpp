// The emulated registry's tree, handle table and write-deny marks.
#include "RegistryStore.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace tvx::win32::detail {

char16_t FoldChar(char16_t c) noexcept
{
    // Windows folds with its own upcase table; this covers the scripts that
    // key and value names use in practice.
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - 0x20) : c;
    if (c == 0xB5)
        return 0x39C;
    if (c == 0xFF)
        return 0x178;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return char16_t(c - 0x20);
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return char16_t(c & ~1u);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1u) ? c : char16_t(c - 1);
    if (c == 0x3C2)
        return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3C9)
        return char16_t(c - 0x20);
    if (c >= 0x430 && c <= 0x44F)
        return char16_t(c - 0x20);
    if (c >= 0x450 && c <= 0x45F)
        return char16_t(c - 0x50);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return char16_t(c - 0x20);
    return c;
}

std::u16string Fold(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out)
        c = FoldChar(c);
    return out;
}

namespace {

// Lookups fold into a buffer on the stack: key names never exceed it, and
// only a longer value name spills to the heap.
using FoldBuffer = std::array<char16_t, kMaxKeyNameChars>;

std::u16string_view FoldInto(std::u16string_view text, FoldBuffer& buffer, std::u16string& spill)
{
    if (text.size() > buffer.size()) {
        spill = Fold(text);
        return spill;
    }
    for (std::size_t i = 0; i < text.size(); ++i)
        buffer[i] = FoldChar(text[i]);
    return std::u16string_view(buffer.data(), text.size());
}

} // namespace

std::uint64_t NowFileTime()
{
    // FILETIME counts 100 ns ticks since 1601-01-01.
    constexpr std::uint64_t kUnixEpochTicks = 116444736000000000ull;
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return kUnixEpochTicks + std::uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100);
}

namespace {

auto SubkeyLess = [](const std::shared_ptr<RegKey>& key, std::u16string_view folded) {
    return std::u16string_view(key->folded) < folded;
};

std::shared_ptr<RegKey> MakeKey(std::u16string_view name)
{
    auto key = std::make_shared<RegKey>();
    key->name = name;
    key->folded = Fold(name);
    key->lastWrite = NowFileTime();
    return key;
}

void MarkDeleted(RegKey& key)
{
    // Iterative, so that a deep tree cannot exhaust the stack.
    std::vector<RegKey*> pending{&key};
    while (!pending.empty()) {
        RegKey* k = pending.back();
        pending.pop_back();
        k->deleted = true;
        k->parent = nullptr;
        for (auto& sub : k->subkeys)
            pending.push_back(sub.get());
    }
}

} // namespace

RegKey* RegKey::FindSubkey(std::u16string_view foldedName) const
{
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), foldedName, SubkeyLess);
    return (it != subkeys.end() && (*it)->folded == foldedName) ? it->get() : nullptr;
}

std::shared_ptr<RegKey> RegKey::SubkeyPtr(std::u16string_view foldedName) const
{
    auto it = std::lower_bound(subkeys.begin(), subkeys.end(), foldedName, SubkeyLess);
    return (it != subkeys.end() && (*it)->folded == foldedName) ? *it : nullptr;
}

RegValue* RegKey::FindValue(std::u16string_view valueName)
{
    FoldBuffer buffer;
    std::u16string spill;
    const std::u16string_view folded = FoldInto(valueName, buffer, spill);
    for (auto& v : values)
        if (v.folded == folded)
            return &v;
    return nullptr;
}

void RegKey::SetValue(std::u16string_view valueName, DWORD type, std::vector<BYTE> data)
{
    if (RegValue* existing = FindValue(valueName)) {
        existing->type = type;
        existing->data = std::move(data);
    } else {
        values.push_back(RegValue{std::u16string(valueName), Fold(valueName), type, std::move(data)});
    }
    Touch();
}

bool RegKey::DeleteValue(std::u16string_view valueName)
{
    RegValue* value = FindValue(valueName);
    if (!value)
        return false;
    values.erase(values.begin() + (value - values.data()));
    Touch();
    return true;
}

std::size_t RegKey::Depth() const
{
    std::size_t depth = 0;
    for (const RegKey* k = parent; k; k = k->parent)
        ++depth;
    return depth;
}

void RegKey::Touch() { lastWrite = NowFileTime(); }

LSTATUS SplitKeyPath(std::u16string_view path, std::vector<std::u16string_view>& parts)
{
    parts.clear();
    if (path.empty())
        return ERROR_SUCCESS;
    if (path.front() == u'\\')
        return ERROR_BAD_PATHNAME;
    if (path.back() == u'\\')
        path.remove_suffix(1);
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos)
            end = path.size();
        std::u16string_view part = path.substr(start, end - start);
        if (part.empty())
            return ERROR_BAD_PATHNAME;
        if (part.size() > kMaxKeyNameChars || parts.size() >= kMaxKeyDepth)
            return ERROR_INVALID_PARAMETER;
        parts.push_back(part);
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

RegistryStore& RegistryStore::Instance()
{
    // Never destroyed: packages may still close keys while the process exits.
    static RegistryStore* store = new RegistryStore();
    return *store;
}

RegistryStore::RegistryStore() { Reset(); }

void RegistryStore::Reset()
{
    for (auto* root : {&localMachine_, &currentUser_, &users_})
        if (*root)
            MarkDeleted(**root);
    handles_.clear();
    denied_.clear();
    localMachine_ = MakeKey(u"HKEY_LOCAL_MACHINE");
    currentUser_ = MakeKey(u"HKEY_CURRENT_USER");
    users_ = MakeKey(u"HKEY_USERS");
    // The hives Windows always mounts; HKEY_CLASSES_ROOT is the machine's
    // Classes key (the per-user overlay of HKCU\Software\Classes is not
    // emulated).
    auto software = AddSubkey(*localMachine_, u"SOFTWARE", false, {});
    AddSubkey(*localMachine_, u"SYSTEM", false, {});
    classes_ = AddSubkey(*software, u"Classes", false, {});
    AddSubkey(*users_, u".DEFAULT", false, {});
}

bool RegistryStore::IsPredefined(HKEY key) noexcept
{
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS;
}

std::shared_ptr<RegKey> RegistryStore::Root(HKEY predefined) const
{
    if (predefined == HKEY_CLASSES_ROOT)
        return classes_;
    if (predefined == HKEY_CURRENT_USER)
        return currentUser_;
    if (predefined == HKEY_LOCAL_MACHINE)
        return localMachine_;
    if (predefined == HKEY_USERS)
        return users_;
    return nullptr;
}

const char16_t* RegistryStore::RootName(HKEY predefined)
{
    if (predefined == HKEY_CLASSES_ROOT)
        return u"HKEY_CLASSES_ROOT";
    if (predefined == HKEY_CURRENT_USER)
        return u"HKEY_CURRENT_USER";
    if (predefined == HKEY_LOCAL_MACHINE)
        return u"HKEY_LOCAL_MACHINE";
    if (predefined == HKEY_USERS)
        return u"HKEY_USERS";
    return nullptr;
}

LSTATUS RegistryStore::Resolve(HKEY handle, ResolvedHandle& out) const
{
    if (auto root = Root(handle)) {
        out.key = root;
        out.predefined = true;
        // Predefined handles are opened with MAXIMUM_ALLOWED.
        out.access = KEY_ALL_ACCESS;
        if (WriteDenied(*root))
            out.access &= ~kWriteRights;
        return ERROR_SUCCESS;
    }
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (value == 0 || value > 0xFFFFFFFFu)
        return ERROR_INVALID_HANDLE;
    auto it = handles_.find(std::uint32_t(value));
    if (it == handles_.end())
        return ERROR_INVALID_HANDLE;
    out = it->second;
    return out.key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

LSTATUS RegistryStore::AddHandle(std::shared_ptr<RegKey> key, REGSAM access, HKEY& out)
{
    // Values are never reused, so a stale handle keeps failing instead of
    // reaching some later key; they stay below the predefined range.
    if (nextHandle_ >= 0x7FFFFFF0u)
        return ERROR_NOT_ENOUGH_MEMORY;
    std::uint32_t value = nextHandle_;
    nextHandle_ += 4;
    handles_[value] = ResolvedHandle{std::move(key), access, false};
    out = reinterpret_cast<HKEY>(std::uintptr_t(value));
    return ERROR_SUCCESS;
}

LSTATUS RegistryStore::CloseHandle(HKEY handle)
{
    if (IsPredefined(handle))
        return ERROR_SUCCESS;
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (value == 0 || value > 0xFFFFFFFFu)
        return ERROR_INVALID_HANDLE;
    return handles_.erase(std::uint32_t(value)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::shared_ptr<RegKey> RegistryStore::Find(const std::shared_ptr<RegKey>& base,
                                            const std::vector<std::u16string_view>& parts) const
{
    std::shared_ptr<RegKey> key = base;
    FoldBuffer buffer;
    std::u16string spill;
    for (auto part : parts) {
        key = key->SubkeyPtr(FoldInto(part, buffer, spill));
        if (!key)
            return nullptr;
    }
    return key;
}

std::shared_ptr<RegKey> RegistryStore::AddSubkey(RegKey& parent, std::u16string_view name, bool isVolatile,
                                                 std::u16string_view className)
{
    auto key = MakeKey(name);
    key->parent = &parent;
    key->isVolatile = isVolatile;
    key->className = className;
    auto it =
        std::lower_bound(parent.subkeys.begin(), parent.subkeys.end(), std::u16string_view(key->folded), SubkeyLess);
    parent.subkeys.insert(it, key);
    parent.Touch();
    return key;
}

void RegistryStore::DeleteKey(RegKey& key)
{
    if (RegKey* parent = key.parent) {
        auto it = std::lower_bound(parent->subkeys.begin(), parent->subkeys.end(), std::u16string_view(key.folded),
                                   SubkeyLess);
        // Keep the node alive while its subtree is marked.
        std::shared_ptr<RegKey> self = *it;
        parent->subkeys.erase(it);
        parent->Touch();
        MarkDeleted(*self);
        return;
    }
    MarkDeleted(key);
}

std::u16string RegistryStore::CanonicalPath(const RegKey& key) const
{
    std::vector<const RegKey*> chain;
    for (const RegKey* k = &key; k; k = k->parent)
        chain.push_back(k);
    std::u16string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty())
            path += u'\\';
        path += (*it)->folded;
    }
    return path;
}

bool RegistryStore::WriteDenied(const RegKey& key) const
{
    // A mark covers its whole subtree, as an inherited ACL does.
    if (denied_.empty() || key.deleted)
        return false;
    std::u16string path = CanonicalPath(key);
    for (std::size_t end = 0; end != std::u16string::npos;) {
        end = path.find(u'\\', end + 1);
        if (denied_.count(path.substr(0, end)))
            return true;
    }
    return false;
}

void RegistryStore::SetWriteDenied(const RegKey& base, const std::vector<std::u16string_view>& parts, bool denied)
{
    std::u16string path = CanonicalPath(base);
    for (auto part : parts)
        path += u'\\' + Fold(part);
    if (denied)
        denied_.insert(path);
    else
        denied_.erase(path);
}

bool RegistryStore::IsHiveRoot(const RegKey& key) const { return &key == localMachine_.get() || &key == users_.get(); }

bool RegistryStore::IsSystemKey(const RegKey& key) const
{
    if (&key == localMachine_.get() || &key == currentUser_.get() || &key == users_.get() || &key == classes_.get())
        return true;
    return key.parent && IsHiveRoot(*key.parent);
}

bool RegistryStore::SubtreeProtected(const RegKey& key, bool honourMarks) const
{
    std::vector<const RegKey*> pending{&key};
    while (!pending.empty()) {
        const RegKey* k = pending.back();
        pending.pop_back();
        if (IsSystemKey(*k) || (honourMarks && WriteDenied(*k)))
            return true;
        for (auto& sub : k->subkeys)
            pending.push_back(sub.get());
    }
    return false;
}

LSTATUS RegistryStore::GrantAccess(const RegKey& key, REGSAM desired, REGSAM& granted) const
{
    REGSAM access = desired & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    // Generic rights map onto the key's own, as the registry's generic mapping does.
    if (access & GENERIC_READ)
        access |= KEY_READ;
    if (access & GENERIC_WRITE)
        access |= KEY_WRITE;
    if (access & GENERIC_EXECUTE)
        access |= KEY_EXECUTE;
    if (access & GENERIC_ALL)
        access |= KEY_ALL_ACCESS;
    access &= ~REGSAM(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL);
    bool denied = WriteDenied(key);
    if (access & MAXIMUM_ALLOWED) {
        access = (access & ~REGSAM(MAXIMUM_ALLOWED)) | KEY_ALL_ACCESS;
        if (denied)
            access &= ~kWriteRights;
    }
    if (denied && (access & kWriteRights))
        return ERROR_ACCESS_DENIED;
    granted = access;
    return ERROR_SUCCESS;
}

} // namespace tvx::win32::detail
