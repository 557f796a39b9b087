// Start-up waits for package loading: the wizard entry with 100 packages
// registered in-process, through Initialize, against a bare loop that does
// what any loader must: read the same list and values from the registry,
// parse each class identifier, sort by load order, then create, query and
// initialize the packages.
#include "bench/BenchSupport.h"

#include "host/win32/RegistryEmulation.h"
#include "host/win32/Win32.h"
#include "interop/Guard.h"
#include "interop/InprocServer.h"
#include "loader/PackageList.h"
#include "loader/TalvixLoader.h"
#include "services/TalvixBdsServices.h"
#include "sim/SimulatedIde.h"

#include <algorithm>
#include <iterator>
#include <string>
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

    StartupEnvironment()
    {
        const std::u16string listPath = talvix::PackageListKeyPath();
        for (int n = 0; n < kPackages; ++n) {
            CLSID clsid = PackageClsid(n);
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

// The floor's read of the package list: each subkey's class, load order
// and display name, in load order.
struct ListedClass {
    CLSID Class;
    LONG LoadOrder;
    std::u16string Name;
};

std::vector<ListedClass> ReadListBare(const std::u16string& listPath)
{
    std::vector<ListedClass> listed;
    HKEY list = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, listPath.c_str(), 0, KEY_READ, &list) != ERROR_SUCCESS)
        return listed;
    char16_t name[64];
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(std::size(name));
        if (RegEnumKeyExW(list, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY key = nullptr;
        if (RegOpenKeyExW(list, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        ListedClass entry{{}, 100, {}};
        DWORD order = 0, size = sizeof order, type = 0;
        if (RegQueryValueExW(key, u"LoadOrder", nullptr, &type, reinterpret_cast<BYTE*>(&order), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD)
            entry.LoadOrder = LONG(order);
        char16_t text[128];
        size = sizeof text;
        if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS)
            entry.Name.assign(text, size / sizeof(char16_t));
        RegCloseKey(key);
        if (SUCCEEDED(CLSIDFromString(name, &entry.Class)))
            listed.push_back(std::move(entry));
    }
    RegCloseKey(list);
    std::stable_sort(listed.begin(), listed.end(),
                     [](const ListedClass& a, const ListedClass& b) { return a.LoadOrder < b.LoadOrder; });
    return listed;
}

} // namespace

void RegisterStartupBenchmarks()
{
    RegisterPair(
        "Startup/packages:100", 1.3,
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
            Environment();
            const std::u16string listPath = talvix::PackageListKeyPath();
            tvx::IntfPtr<IBdsServices> services(talvix::TBdsServices::Create());
            std::vector<tvx::IntfPtr<IBdsPackage>> packages;
            packages.reserve(kPackages);
            for (auto _ : state) {
                for (const ListedClass& listed : ReadListBare(listPath)) {
                    tvx::IntfPtr<IUnknown> object;
                    CoCreateInstance(listed.Class, nullptr, CLSCTX_INPROC_SERVER, tvx::IidOf<IUnknown>,
                                     object.put_void());
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
