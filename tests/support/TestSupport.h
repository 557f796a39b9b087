// Helpers shared by every test program.
#pragma once

#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/ComBase.h"
#include "interop/Guid.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"

#include "tests/support/WideOverloads.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tvx::test {

// Written into out values before a call, to prove the call wrote them.
inline constexpr std::uintptr_t kSentinel = 0xdeadbeef;
template <class T>
T* SentinelPointer()
{
    return reinterpret_cast<T*>(kSentinel);
}

// True when the tests run under Wine. Where Wine departs from Windows, a
// test checks Windows' documented answer everywhere else and Wine's under
// Wine, with the documentation that shows the difference.
inline bool OnWine()
{
#if defined(_WIN32)
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
#else
    return false;
#endif
}

// The current reference count of a COM object, read without changing it.
inline ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

// Checks an object's reference count at the caller's line.
#define EXPECT_REF(object, expected)                                                                                   \
    EXPECT_EQ(::tvx::test::RefCount(object), ULONG(expected)) << "reference count of " #object

// The text of a BSTR, for comparisons.
inline std::u16string Text(BSTR b) { return std::u16string(BstrView(b)); }

// The description recorded by the last failing interop call on this thread.
std::u16string TakeErrorDescription();
// The texts of the message boxes shown since the last call.
std::vector<std::u16string> TakeMessageBoxTexts();

// The SDK's numbers: AddControl's control kinds and AddMenuItem's locations.
inline constexpr LONG kButton = 1, kComboBox = 2, kListComboBox = 3, kPopUp = 4;
inline constexpr LONG kBeforeItem = 0, kAfterItem = 1, kChildItem = 2;

// A package's bitmap: magenta (transparent in the IDE's image lists) with a
// blue centre pixel.
HBITMAP MagentaBitmap(int width = 16, int height = 16);

// An empty registry with only the keys a freshly installed machine always
// has (HKLM\SOFTWARE\Classes, which HKEY_CLASSES_ROOT shows, and
// HKLM\SYSTEM). On Windows HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and
// HKEY_CLASSES_ROOT are pointed at scratch keys of this process, removed
// when it ends. Handles opened before the call are not to be used after it.
void FreshRegistry();

// Directory of the built programs and libraries.
std::string BinaryDir();
// Root of the source tree.
std::string SourceDir();
// A file of the source tree, whole; empty when it cannot be read.
std::string ReadSourceFile(const std::string& relativePath);

} // namespace tvx::test
