// The header widl generates from interop/TalvixBds.idl held against the C++
// headers at compile time: every method of the independently written slot
// table at its slot of the generated C method table, taking and answering
// values of the same sizes, no slot more, and the records and types the IDL
// uses in place of Win32 ones laid out alike. The generated header lives in
// namespace idl so that its names do not meet the C++ ones. Compiled on Linux
// (tests/idl) and against the Windows SDK's headers (tests/sdkcheck).
#pragma once

#include "interop/ComBase.h"
#include "interop/TalvixBdsInterop.h"
#include "interop/WrappedToolsAPI.h"
#include "tests/support/InterfaceSlotTable.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

// clang-format off
#define TVX_IDL_INTERFACES(X) \
    X(IBdsToolBarControlEvents) X(IBdsWindowEvents) X(IWin32Window) X(IMessageHandler) X(IDragDropHelperProvider) \
    X(IDragDropHelper) X(IBdsEditorTabListener) X(IBdsMenuItem) X(IBdsMenuBarService) X(IBdsToolBarControl) \
    X(IBdsToolBarButton) X(IBdsToolBarComboBox) X(IBdsToolBarPopUp) X(IBdsToolBar) X(IBdsToolBarService) \
    X(IBdsHelpService) X(IBdsDockableWindow) X(IBdsDocumentWindow) X(IBdsWindowsService) X(IBdsServices) \
    X(IBdsPackage) X(IBDSFile) X(IBDSFileFilter) X(IBDSFileSystem) X(IBDSCreator) X(IBDSModuleCreator) \
    X(IBDSNotifier) X(IBDSModuleNotifier) X(IBDSModuleNotifier80) X(IBDSModuleNotifier90) X(IBDSEditorNotifier) \
    X(IBDSEditServicesNotifier) X(IBDSProject) X(IBDSEditor) X(IBDSModule) X(IBDSModuleServices70) \
    X(IBDSEditorServices80)
// clang-format on

// The generated header's `typedef struct X X` would find the C++ header's
// X; declared here first, it finds the one in namespace idl.
namespace idl {
#define TVX_IDL_FORWARD(Interface) struct Interface;
struct IUnknown;
struct IClassFactory;
struct IStream;
TVX_IDL_INTERFACES(TVX_IDL_FORWARD)
#undef TVX_IDL_FORWARD
#define CINTERFACE
#include "TalvixBds.h"
#undef CINTERFACE
} // namespace idl

namespace tvx::idlcheck {

// How a value travels in a call: its size (a reference as the pointer it
// is) and whether it goes as an integer or a floating-point value.
template <class T>
constexpr std::size_t kPassedSize = [] {
    if constexpr (std::is_void_v<T>)
        return std::size_t{0};
    else if constexpr (std::is_reference_v<T>)
        return sizeof(void*);
    else
        return sizeof(T);
}();
template <class A, class B>
constexpr bool kPassedAlike = (kPassedSize<A> == kPassedSize<B>)&&(std::is_floating_point_v<A> ==
                                                                   std::is_floating_point_v<B>);

// A generated method pointer (This first) against the C++ method's type.
template <class Generated, class Cpp>
struct SameCall : std::false_type {};
template <class GR, class This, class... GA, class CR, class... CA>
struct SameCall<GR(STDMETHODCALLTYPE*)(This*, GA...), CR(CA...)> {
    static constexpr bool value = [] {
        if constexpr (sizeof...(GA) != sizeof...(CA))
            return false;
        else
            return kPassedAlike<GR, CR> && (kPassedAlike<GA, CA> && ...);
    }();
};

// clang-format off
#define TVX_IDL_SLOT(n, Result, Method, ...) \
    static_assert(offsetof(Vtbl, Method) == (n) * sizeof(void*), "slot of " #Method); \
    static_assert(SameCall<decltype(Vtbl::Method), Result(__VA_ARGS__)>::value, "arguments of " #Method);
#define TVX_IDL_COUNT(n, ...) +1
#define TVX_IDL_AGREES(Interface) \
    namespace Interface##_agrees { \
        using Vtbl = idl::Interface##Vtbl; \
        TVX_SLOTS_##Interface(TVX_IDL_SLOT) \
        static_assert(sizeof(Vtbl) == (3 TVX_SLOTS_##Interface(TVX_IDL_COUNT)) * sizeof(void*), \
                      #Interface ": slot count"); \
        static_assert(offsetof(Vtbl, Release) == 2 * sizeof(void*), #Interface ": IUnknown first"); \
    }
TVX_IDL_INTERFACES(TVX_IDL_AGREES)
#undef TVX_IDL_AGREES
#undef TVX_IDL_COUNT
#undef TVX_IDL_SLOT
// clang-format on

// The types the IDL uses where C++ has a Win32 one, and the package record.
static_assert(sizeof(idl::BdsBitmapHandle) == sizeof(HBITMAP) && alignof(idl::BdsBitmapHandle) == alignof(HBITMAP));
static_assert(sizeof(idl::BdsMsg) == sizeof(MSG) && alignof(idl::BdsMsg) == alignof(MSG));
static_assert(offsetof(idl::BdsMsg, hwnd) == offsetof(MSG, hwnd) &&
              offsetof(idl::BdsMsg, message) == offsetof(MSG, message) &&
              offsetof(idl::BdsMsg, wParam) == offsetof(MSG, wParam) &&
              offsetof(idl::BdsMsg, lParam) == offsetof(MSG, lParam) &&
              offsetof(idl::BdsMsg, time) == offsetof(MSG, time) && offsetof(idl::BdsMsg, pt) == offsetof(MSG, pt));
static_assert(sizeof(idl::PackageInfo) == sizeof(PackageInfo) &&
              offsetof(idl::PackageInfo, Name) == offsetof(PackageInfo, Name) &&
              offsetof(idl::PackageInfo, Instance) == offsetof(PackageInfo, Instance));
static_assert(sizeof(idl::LongBool) == sizeof(LongBool) && sizeof(idl::ByteBool) == sizeof(ByteBool));

} // namespace tvx::idlcheck
