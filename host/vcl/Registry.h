// The VCL's registry reader and writer, over the Win32 registry functions.
// Key paths are relative to the open key; a leading backslash makes a path
// absolute from RootKey.
#pragma once

#include "host/vcl/IdeApi.h"
#include "host/vcl/SysUtils.h"
#include "host/vcl/System.h"
#include "host/win32/Registry.h"

class TStrings;

class TVX_IDE_API ERegistryException : public Exception {
    TVX_EXCEPTION_CLASS(ERegistryException, Exception)
};

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TVX_IDE_API TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

class TVX_IDE_API TRegistry : public TObject {
    TVX_CLASS(TRegistry, TObject)

    // HKEY_CURRENT_USER, with full access, as the VCL's default.
    TRegistry();
    explicit TRegistry(REGSAM AAccess);
    ~TRegistry() override;

    HKEY RootKey() const noexcept { return rootKey_; }
    // Closes the open key.
    void SetRootKey(HKEY Value);
    REGSAM Access() const noexcept { return access_; }
    void SetAccess(REGSAM Value) noexcept { access_ = Value; }
    HKEY CurrentKey() const noexcept { return currentKey_; }
    const String& CurrentPath() const noexcept { return currentPath_; }

    // Opens with Access; CanCreate makes missing keys on the way.
    bool OpenKey(const String& Key, bool CanCreate);
    // Tries KEY_READ, then less, and keeps in Access the rights that worked.
    bool OpenKeyReadOnly(const String& Key);
    void CloseKey() noexcept;
    // Needs only read rights, whatever Access says.
    bool KeyExists(const String& Key);
    bool ValueExists(const String& Name) const;
    void GetKeyNames(TStrings* Strings) const;

    bool GetDataInfo(const String& ValueName, TRegDataInfo& Value) const;
    TRegDataType GetDataType(const String& ValueName) const;
    // -1 when the value cannot be read.
    int GetDataSize(const String& ValueName) const;

    // REG_SZ or REG_EXPAND_SZ (unexpanded) up to its first NUL; a missing or
    // empty value reads as empty. Other types raise ERegistryException
    // "Invalid data type for '%s'".
    String ReadString(const String& Name) const;
    // A REG_DWORD of 4 bytes. A missing value raises "Failed to get data for
    // '%s'", another type or size "Invalid data type for '%s'".
    int ReadInteger(const String& Name) const;
    // REG_BINARY or a type the reader does not know, into Buffer; returns the
    // size. A missing value gives 0.
    int ReadBinaryData(const String& Name, void* Buffer, int BufSize) const;

private:
    HKEY BaseKey(bool relative) const noexcept;
    void ChangeKey(HKEY key, const String& path);
    // Opens a key for KeyExists and the read-only open; null on failure.
    HKEY OpenWith(const String& Key, REGSAM access, String* fullPath) const;
    [[noreturn]] void ReadError(const String& Name) const;

    HKEY rootKey_ = HKEY_CURRENT_USER;
    HKEY currentKey_ = nullptr;
    String currentPath_;
    REGSAM access_ = KEY_ALL_ACCESS;
};
