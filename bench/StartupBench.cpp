// Start-up waits for package loading: the wizard entry with 100 packages
// registered in-process, through Initialize, against a bare loop that
// creates, queries and initializes the same packages.
#include "bench/BenchSupport.h"

#include "host/win32/RegistryEmulation.h"
#include "host/win32/Win32.h"
#include "interop/Guard.h"
#include "interop/InprocServer.h"
#include "loader/PackageList.h"
#include "loader/TalvixLoader.h"
#include "services/TalvixBdsServices.h"
#include "sim/SimulatedIde.h"

#include <vector>

namespace tvx::bench {

namespace {

constexpr int kPackages = 100;

class QuietPackage final : public tvx::Implements<QuietPackage, IBdsPackage> {
public:
    HRESULT STDMETHODCALLTYPE Initialize(IBdsServices* Services) override
    {
        services_ = Services;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnServicesReady() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Finalize() override
    {
        services_ = nullptr;
        return S_OK;
    }

private:
    tvx::IntfPtr<IBdsServices> services_;
};

CLSID PackageClsid(int n)
{
    CLSID clsid = tvx::ParseGuid("{6A1C0000-0000-4000-8000-00000000B000}");
    clsid.Data1 += std::uint32_t(n);
    return clsid;
}

struct StartupEnvironment {
    sim::SimulatedIde& ide = BenchIde();
    std::vector<CLSID> classes;

    StartupEnvironment()
    {
        const std::u16string listPath = talvix::PackageListKeyPath();
        for (int n = 0; n < kPackages; ++n) {
            CLSID clsid = PackageClsid(n);
            classes.push_back(clsid);
            auto* factory = new tvx::ClassFactory<QuietPackage>();
            DWORD cookie = 0;
            CoRegisterClassObject(clsid, factory->Identity(), CLSCTX_INPROC_SERVER, 1 /* REGCLS_MULTIPLEUSE */,
                                  &cookie);
            HKEY key = nullptr;
            std::u16string path = listPath + u"\\" + tvx::FormatGuidW(clsid);
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
            DWORD order = DWORD(n % 7);
            RegSetValueExW(key, u"LoadOrder", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&order), sizeof order);
            RegCloseKey(key);
        }
    }
};

StartupEnvironment& Environment()
{
    static StartupEnvironment* environment = new StartupEnvironment();
    return *environment;
}

} // namespace

void RegisterStartupBenchmarks()
{
    RegisterPair(
        "Startup/packages:100", 1.5,
        [](benchmark::State& state) {
            StartupEnvironment& env = Environment();
            for (auto _ : state) {
                TWizardTerminateProc terminate = nullptr;
                talvix::InitWizard(env.ide.ServicesUnknown(), nullptr, &terminate);
                state.PauseTiming();
                terminate();
                state.ResumeTiming();
            }
        },
        [](benchmark::State& state) {
            StartupEnvironment& env = Environment();
            tvx::IntfPtr<IBdsServices> services(talvix::TBdsServices::Create());
            std::vector<tvx::IntfPtr<IBdsPackage>> packages;
            packages.reserve(kPackages);
            for (auto _ : state) {
                for (const CLSID& clsid : env.classes) {
                    tvx::IntfPtr<IUnknown> object;
                    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, tvx::IidOf<IUnknown>, object.put_void());
                    tvx::IntfPtr<IBdsPackage> package = object.try_as<IBdsPackage>();
                    package->Initialize(services.get());
                    packages.push_back(std::move(package));
                }
                state.PauseTiming();
                for (auto& package : packages)
                    package->Finalize();
                packages.clear();
                state.ResumeTiming();
            }
        });
}

} // namespace tvx::bench
