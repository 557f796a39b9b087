// An example product package: an in-proc COM server that the loader creates.
// It reads what the services root tells it and logs every call to the
// debugger output, where the simulated IDE's report shows it.
#include "ExampleDocument.h"
#include "ExampleMenus.h"
#include "ExampleModules.h"
#include "ExampleServices.h"
#include "ExampleToolWindow.h"
#include "ExampleToolbar.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/InprocServer.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"

#include <string>

namespace {

constexpr CLSID CLSID_ExamplePackage = tvx::ParseGuid("{5B0D6E4A-3C1F-4E8B-9A27-6D2F0C8E1A01}");

void Log(const std::u16string& line)
{
    std::u16string text = u"ExamplePackage: " + line;
    OutputDebugStringW(tvx::AsOleChar(text.c_str()));
}

std::u16string Number(LONG value)
{
    std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

class ExamplePackage final : public tvx::Implements<ExamplePackage, IBdsPackage, IBdsEditorTabListener> {
public:
    HRESULT STDMETHODCALLTYPE Initialize(IBdsServices* Services) override
    {
        return tvx::Guarded([&] {
            services_ = Services;
            if (!services_) {
                Log(u"Initialize without services");
                return;
            }
            LONG major = 0, minor = 0;
            services_->get_BdsVersionMajor(&major);
            services_->get_BdsVersionMinor(&minor);
            Log(u"Initialize: IDE version " + Number(major) + u"." + Number(minor));

            LONG count = 0;
            services_->get_PackagesCount(&count);
            Log(u"Initialize: " + Number(count) + u" listed package(s)");
            for (LONG i = 0; i < count; ++i) {
                PackageInfo info{};
                if (FAILED(services_->GetPackageInfo(i, &info)))
                    continue;
                std::u16string line = u"  " + Number(i) + u": " + tvx::FormatGuidW(info.Id) + u" '" +
                                      std::u16string(tvx::WideTextView(info.Name)) + u"' " +
                                      (info.Instance ? u"loaded" : u"not loaded");
                if (info.Instance)
                    info.Instance->Release();
                Log(line);
            }
            AddExampleMenus(services_.get());
            StartExampleServices(services_.get());
        });
    }

    HRESULT STDMETHODCALLTYPE OnServicesReady() override
    {
        Log(u"OnServicesReady");
        ExampleServicesReady();
        AddExampleToolbar(services_.get());
        AddExampleToolWindow(services_.get());
        StartExampleDocument(services_.get());
        StartExampleModules(services_.get());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Finalize() override
    {
        Log(u"Finalize");
        RemoveExampleMenus();
        RemoveExampleToolbar();
        RemoveExampleToolWindow();
        StopExampleDocument();
        StopExampleModules();
        StopExampleServices();
        services_ = nullptr;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE OnIdeTabSelected() override
    {
        Log(u"OnIdeTabSelected");
        return S_OK;
    }

private:
    tvx::IntfPtr<IBdsServices> services_;
};

} // namespace

TVX_EXPORT HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    return tvx::GetClassObject<ExamplePackage>(rclsid, CLSID_ExamplePackage, riid, ppv);
}

TVX_EXPORT HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

TVX_EXPORT HRESULT STDAPICALLTYPE DllRegisterServer()
{
    std::u16string path = tvx::ModulePathOf(reinterpret_cast<const void*>(&DllGetClassObject));
    if (path.empty())
        return SELFREG_E_CLASS;
    return tvx::RegisterInprocServer(CLSID_ExamplePackage, u"Talvix example package", path);
}

TVX_EXPORT HRESULT STDAPICALLTYPE DllUnregisterServer() { return tvx::UnregisterInprocServer(CLSID_ExamplePackage); }
