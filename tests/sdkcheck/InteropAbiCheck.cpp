// Compiled with mingw-w64 against the real Windows headers, for 32 and 64
// bits: the package SDK must build there as it is, where OLECHAR is wchar_t,
// IUnknown and IStream come from the SDK and methods are stdcall on 32 bits.
#include "interop/Bstr.h"
#include "interop/ComBase.h"
#include "interop/Guard.h"
#include "interop/Guid.h"
#include "interop/HResultError.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsConstants.h"
#include "interop/TalvixBdsInterop.h"
#include "interop/Utf.h"
#include "interop/VariantBool.h"
#include "interop/WrappedToolsAPI.h"

#include <cstddef>
#include <type_traits>

static_assert(sizeof(OLECHAR) == 2 && sizeof(VARIANT_BOOL) == 2 && sizeof(LONG) == 4);
static_assert(sizeof(LongBool) == 4 && sizeof(GUID) == 16);

#if defined(_WIN64)
static_assert(sizeof(PackageInfo) == 32);
static_assert(offsetof(PackageInfo, Id) == 0);
static_assert(offsetof(PackageInfo, Name) == 16);
static_assert(offsetof(PackageInfo, Instance) == 24);
#else
static_assert(sizeof(PackageInfo) == 24);
static_assert(offsetof(PackageInfo, Id) == 0);
static_assert(offsetof(PackageInfo, Name) == 16);
static_assert(offsetof(PackageInfo, Instance) == 20);

// The convention macro must reach the method types on 32 bits, where it
// decides who pops the arguments.
static_assert(std::is_same_v<decltype(&IBdsMenuItem::Get_Caption), HRESULT (__stdcall IBdsMenuItem::*)(BSTR*)>);
static_assert(std::is_same_v<decltype(&IBDSFile::GetAge), std::int64_t (__stdcall IBDSFile::*)()>);
static_assert(std::is_same_v<TWizardInitProc, bool(__stdcall*)(IUnknown*, void*, void(__stdcall**)())>);
#endif

// The SDK's own IUnknown and IStream are the ones the interfaces derive from
// and pass through.
static_assert(std::is_base_of_v<IUnknown, IBdsServices> && std::is_base_of_v<IUnknown, IStream>);

// Packages implement these on Windows with the SDK's types; one of each kind
// must be instantiable.
struct ObjectCheck : tvx::Implements<ObjectCheck, IWin32Window, IBDSFile> {
    HRESULT STDMETHODCALLTYPE Get_Handle(LONG* Handle) override { return tvx::ClearOut(Handle); }
    PWideChar STDMETHODCALLTYPE GetSource() override { return nullptr; }
    std::int64_t STDMETHODCALLTYPE GetAge() override { return 0; }
};
inline IWin32Window* MakeObjectCheck() { return tvx::NewInterface<ObjectCheck, IWin32Window>(); }
