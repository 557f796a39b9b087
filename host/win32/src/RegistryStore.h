// The emulated registry's tree, handle table and write-deny marks. Internal to
// the win32 stand-in: the Reg* functions and the .reg reader and writer share
// it, always under its one mutex.
#pragma once

#include "host/win32/Registry.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tvx::win32::detail {

// Windows caps a key name at 255 characters, a value name at 16383 and the
// tree at 512 levels.
inline constexpr std::size_t kMaxKeyNameChars = 255;
inline constexpr std::size_t kMaxValueNameChars = 16383;
inline constexpr std::size_t kMaxKeyDepth = 512;

// Rights that change a key; a write-denied key refuses every one of them.
inline constexpr REGSAM kWriteRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;

// Case folding as the registry compares names: upper case, then ordinal.
char16_t FoldChar(char16_t c) noexcept;
std::u16string Fold(std::u16string_view text);

struct RegValue {
    std::u16string name;
    std::u16string folded;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct RegKey {
    std::u16string name;
    std::u16string folded;
    std::u16string className;
    RegKey* parent = nullptr;
    // Sorted by folded name: the order RegEnumKeyExW reports.
    std::vector<std::shared_ptr<RegKey>> subkeys;
    // Creation order: the order RegEnumValueW reports.
    std::vector<RegValue> values;
    bool deleted = false;
    bool isVolatile = false;
    std::uint64_t lastWrite = 0; // FILETIME ticks

    RegKey* FindSubkey(std::u16string_view foldedName) const;
    std::shared_ptr<RegKey> SubkeyPtr(std::u16string_view foldedName) const;
    RegValue* FindValue(std::u16string_view name);
    // Replaces the data of an existing value in place, so it keeps its
    // position in the enumeration; a new value goes last.
    void SetValue(std::u16string_view name, DWORD type, std::vector<BYTE> data);
    bool DeleteValue(std::u16string_view name);
    std::size_t Depth() const;
    void Touch();
};

// Splits a relative key path at backslashes. Empty or null gives no parts.
// Windows NT refuses a path that starts with a backslash with
// ERROR_BAD_PATHNAME (Win9x skipped it); we do as NT. A single trailing
// backslash is tolerated, as NtOpenKey does.
LSTATUS SplitKeyPath(std::u16string_view path, std::vector<std::u16string_view>& parts);

struct ResolvedHandle {
    std::shared_ptr<RegKey> key;
    REGSAM access = 0;
    bool predefined = false;
};

class RegistryStore {
public:
    static RegistryStore& Instance();

    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

    // Everything below expects the lock to be held.

    static bool IsPredefined(HKEY key) noexcept;
    // The node a predefined handle stands for; null for any other handle.
    std::shared_ptr<RegKey> Root(HKEY predefined) const;
    // ERROR_INVALID_HANDLE for an unknown or closed handle, ERROR_KEY_DELETED
    // (with out filled) when the key was deleted since it was opened.
    LSTATUS Resolve(HKEY handle, ResolvedHandle& out) const;
    LSTATUS AddHandle(std::shared_ptr<RegKey> key, REGSAM access, HKEY& out);
    LSTATUS CloseHandle(HKEY handle);
    std::size_t HandleCount() const { return handles_.size(); }

    std::shared_ptr<RegKey> Find(const std::shared_ptr<RegKey>& base,
                                 const std::vector<std::u16string_view>& parts) const;
    std::shared_ptr<RegKey> AddSubkey(RegKey& parent, std::u16string_view name, bool isVolatile,
                                      std::u16string_view className);
    // Detaches the key; it and its subtree read as deleted through open handles.
    void DeleteKey(RegKey& key);

    bool WriteDenied(const RegKey& key) const;
    void SetWriteDenied(const RegKey& base, const std::vector<std::u16string_view>& parts, bool denied);
    // Direct children of HKEY_LOCAL_MACHINE and HKEY_USERS are hive mounts:
    // nobody creates or deletes them, and HKEY_CLASSES_ROOT stays put too.
    bool IsHiveRoot(const RegKey& key) const;
    bool IsSystemKey(const RegKey& key) const;
    // Any system key (or, with honourMarks, write-denied key) in the
    // subtree, the key itself included.
    bool SubtreeProtected(const RegKey& key, bool honourMarks = true) const;

    // Access granted to a handle on key for the requested rights;
    // ERROR_ACCESS_DENIED when the key refuses a requested write right.
    LSTATUS GrantAccess(const RegKey& key, REGSAM desired, REGSAM& granted) const;

    void Reset();

    // The name regedit writes for a predefined root.
    static const char16_t* RootName(HKEY predefined);

private:
    RegistryStore();
    std::u16string CanonicalPath(const RegKey& key) const;

    std::mutex mutex_;
    std::shared_ptr<RegKey> localMachine_;
    std::shared_ptr<RegKey> currentUser_;
    std::shared_ptr<RegKey> users_;
    std::shared_ptr<RegKey> classes_; // HKLM\SOFTWARE\Classes, seen as HKEY_CLASSES_ROOT
    std::unordered_map<std::uint32_t, ResolvedHandle> handles_;
    std::uint32_t nextHandle_ = 0x100;
    std::set<std::u16string> denied_;
};

std::uint64_t NowFileTime();

} // namespace tvx::win32::detail
