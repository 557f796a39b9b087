// The help service: help topics by keyword through the IDE's help system, or
// by help-collection address in the external help viewer.
#pragma once

#include "host/vcl/System.h"
#include "interop/InterfacedObject.h"
#include "interop/TalvixBdsInterop.h"

#include <string_view>

namespace talvix {

class TBdsHelpService final : public tvx::Implements<TBdsHelpService, IBdsHelpService> {
public:
    // The one instance; it holds a reference on itself and is never destroyed.
    static TBdsHelpService* Create();

    IBdsHelpService* Interface() noexcept { return this; }

    HRESULT STDMETHODCALLTYPE ShowHelpByKeyword(BSTR keyword) override;
    HRESULT STDMETHODCALLTYPE ShowHelpByURL(BSTR URL) override;

private:
    friend class tvx::LifetimeRegistry;
    TBdsHelpService() = default;
    ~TBdsHelpService() override = default;
};

// The help viewer's COM server registration, under HKEY_CLASSES_ROOT.
inline constexpr std::u16string_view HelpViewerServerKey =
    u"\\CLSID\\{4A79114D-19E4-11d3-B86B-00C04F79F802}\\LocalServer32";
// Launched instead when no usable viewer is registered.
inline constexpr std::u16string_view FallbackHelpViewer = u"dexplore.exe";

} // namespace talvix
