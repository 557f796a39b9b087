#include "loader/TalvixLoader.h"

#include "host/vcl/SysUtils.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "loader/PackageList.h"
#include "services/TalvixBdsServices.h"

#include <chrono>
#include <deque>
#include <exception>

namespace talvix {

namespace {

// Where the wizard stands between the IDE's calls.
enum class WizardState {
    NotEntered,
    // The entry has run: the tables hold the packages in load order.
    Entered,
    // The terminate routine is finalizing the packages: nothing starts them
    // any more, whatever a finalizing package asks for.
    Terminating,
    // The terminate routine has run; a new entry call loads afresh.
    Terminated,
};

// Everything the loader keeps between the entry and the terminate routine.
struct LoaderState {
    std::vector<tvx::IntfPtr<IBdsPackage>> LoadedPackages;
    // Subkey of each kept package, parallel to LoadedPackages, for reports.
    std::vector<std::u16string> LoadedSubkeys;
    // Each record's Instance holds one reference; Name points into DisplayNames.
    std::vector<PackageInfo> PackageInfos;
    tvx::IntfPtr<IBdsEditorTabListener> EditorTabListener;
    TBdsServices* Services = nullptr;
    // The texts PackageInfo.Name points into. They only grow and live until
    // the library unloads: a package may keep a copied record, and a second
    // entry call must not free the texts of the first.
    std::deque<std::u16string> DisplayNames;
    TalvixLoaderObserver Observer{};
    WizardState State = WizardState::NotEntered;

    void ClearPackageInfos() noexcept
    {
        std::vector<PackageInfo> records;
        records.swap(PackageInfos);
        for (PackageInfo& record : records)
            if (IBdsPackage* instance = std::exchange(record.Instance, nullptr))
                instance->Release();
    }

    // Library unload: drop what is still held without calling any package method.
    ~LoaderState()
    {
        EditorTabListener = nullptr;
        ClearPackageInfos();
        LoadedPackages.clear();
    }
};

LoaderState& State()
{
    static LoaderState state;
    return state;
}

// Times a package call for the observer; with nobody watching, start-up
// does not read the clock.
class Stopwatch {
public:
    explicit Stopwatch(bool running) : running_(running)
    {
        if (running_)
            start_ = std::chrono::steady_clock::now();
    }

    double Seconds() const
    {
        if (!running_)
            return 0.0;
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    bool running_;
    std::chrono::steady_clock::time_point start_;
};

std::u16string ErrorText(const std::exception& e)
{
    if (auto host = dynamic_cast<const Exception*>(&e))
        return host->Message();
    return tvx::Utf8ToUtf16(e.what());
}

void ShowLoadFailure(const std::u16string& displayName, const std::u16string& subkey, const std::u16string& error)
{
    // The IDE's message boxes break lines with LF CR; packages' authors see
    // this text as the IDE shows it.
    std::u16string text = u"Failed to load package";
    if (!displayName.empty())
        text += u" '" + displayName + u"'";
    text += u".";
    text += u"\n\r";
    text += u"Package ID: " + subkey;
    text += u"\n\r";
    text += u"Error: " + error;
    MessageBoxW(GetForegroundWindow(), text.c_str(), u"Talvix Products Loader", MB_OK | MB_ICONSTOP);
}

// Creates one package; on failure shows the message and returns null.
tvx::IntfPtr<IBdsPackage> CreatePackage(const CLSID& clsid, const std::u16string& subkey,
                                        const std::u16string& displayName)
{
    LoaderState& state = State();
    Stopwatch watch(state.Observer.Created != nullptr);
    try {
        tvx::IntfPtr<IUnknown> object;
        HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      tvx::IidOf<IUnknown>, object.put_void());
        if (FAILED(hr))
            throw EOleSysError(String(), hr);
        if (!object)
            throw EOleSysError(String(), E_POINTER);
        tvx::IntfPtr<IBdsPackage> package = object.try_as<IBdsPackage>();
        if (!package)
            throw EIntfCastError(String(SIntfCastError));
        if (state.Observer.Created)
            state.Observer.Created(state.Observer.Context, subkey.c_str(), nullptr, watch.Seconds());
        return package;
    } catch (const std::exception& e) {
        std::u16string error = ErrorText(e);
        if (state.Observer.Created)
            state.Observer.Created(state.Observer.Context, subkey.c_str(), error.c_str(), watch.Seconds());
        ShowLoadFailure(displayName, subkey, error);
        return nullptr;
    }
}

// A call into a package; whatever it raises is swallowed.
template <class Call>
void CallPackage(const std::u16string& subkey, const char* method, Call&& call) noexcept
{
    LoaderState& state = State();
    Stopwatch watch(state.Observer.Called != nullptr);
    const char* outcome = "ok";
    try {
        HRESULT hr = call();
        if (FAILED(hr))
            outcome = "failed";
    } catch (...) {
        outcome = "raised";
    }
    if (state.Observer.Called)
        state.Observer.Called(state.Observer.Context, subkey.c_str(), method, watch.Seconds(), outcome);
}

void LoadPackages(const PackageList& list)
{
    LoaderState& state = State();
    const std::size_t count = list.SubkeyNames.size();
    state.LoadedPackages.reserve(count);
    state.PackageInfos.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::u16string& subkey = list.SubkeyNames[k];
        const std::u16string& displayName = state.DisplayNames.emplace_back(list.DisplayNames[k]);
        try {
            CLSID clsid{};
            if (FAILED(CLSIDFromString(subkey.c_str(), &clsid))) {
                if (state.Observer.Skipped)
                    state.Observer.Skipped(state.Observer.Context, subkey.c_str(), "not a class identifier");
                continue;
            }
            state.PackageInfos.push_back(PackageInfo{clsid, tvx::AsOleChar(displayName.c_str()), nullptr});
            tvx::IntfPtr<IBdsPackage> package = CreatePackage(clsid, subkey, displayName);
            if (package) {
                package.copy_to(&state.PackageInfos.back().Instance);
                if (!state.EditorTabListener)
                    state.EditorTabListener = package.try_as<IBdsEditorTabListener>();
                state.LoadedPackages.push_back(std::move(package));
                state.LoadedSubkeys.push_back(subkey);
            }
        } catch (...) {
            // A failure outside package creation skips this subkey silently.
        }
    }
}

} // namespace

bool InitWizard(IUnknown* borlandIDEServices, void* /*registerProc*/, TWizardTerminateProc* terminate)
{
    if (!borlandIDEServices)
        return false;
    if (terminate)
        *terminate = &TerminateWizard;

    LoaderState& state = State();
    // A second call before terminate keeps the packages it has: they are
    // created and initialized once.
    if (state.State == WizardState::Entered || state.State == WizardState::Terminating)
        return true;
    state.State = WizardState::Entered;
    std::optional<PackageList> list = ReadPackageList();
    if (!list || list->SubkeyNames.empty())
        return true;

    if (state.Observer.Listed)
        for (std::size_t k = 0; k < list->SubkeyNames.size(); ++k)
            state.Observer.Listed(state.Observer.Context, list->SubkeyNames[k].c_str(),
                                  list->DisplayNames[k].c_str(), list->LoadOrders[k],
                                  DescribeLoadOrderSource(list->Sources[k]));
    LoadPackages(*list);

    if (!state.LoadedPackages.empty()) {
        state.Services = TBdsServices::Create();
        IBdsServices* services = state.Services->Interface();
        for (std::size_t k = 0; k < state.LoadedPackages.size(); ++k) {
            tvx::IntfPtr<IBdsPackage> package = state.LoadedPackages[k];
            CallPackage(state.LoadedSubkeys[k], "Initialize", [&] { return package->Initialize(services); });
        }
    }
    return true;
}

void STDMETHODCALLTYPE TerminateWizard()
{
    LoaderState& state = State();
    state.State = WizardState::Terminating;
    state.EditorTabListener = nullptr;
    state.ClearPackageInfos();
    // Before any Finalize: no IDE event may reach a package after its own.
    if (state.Services)
        state.Services->ShutDown();
    for (std::size_t k = state.LoadedPackages.size(); k-- > 0;) {
        // Held across the call: a package may drop references while finalizing.
        tvx::IntfPtr<IBdsPackage> package = state.LoadedPackages[k];
        CallPackage(state.LoadedSubkeys[k], "Finalize", [&] { return package->Finalize(); });
        state.LoadedPackages[k] = nullptr;
    }
    state.LoadedPackages.clear();
    state.LoadedSubkeys.clear();
    state.State = WizardState::Terminated;
    // The root holds a reference on itself and stays; the loader only forgets it.
    if (TBdsServices* services = std::exchange(state.Services, nullptr))
        services->FreeServices();
}

LONG PackageInfoCount() noexcept { return LONG(State().PackageInfos.size()); }

void CopyPackageInfo(LONG index, PackageInfo& out)
{
    LoaderState& state = State();
    out = PackageInfo{};
    if (index < 0 || std::size_t(index) >= state.PackageInfos.size())
        throw tvx::HResultError(E_INVALIDARG, u"Range check error");
    out = state.PackageInfos[std::size_t(index)];
    if (out.Instance)
        out.Instance->AddRef();
}

const std::vector<tvx::IntfPtr<IBdsPackage>>& LoadedPackages() noexcept { return State().LoadedPackages; }

IBdsEditorTabListener* EditorTabListener() noexcept { return State().EditorTabListener.get(); }

TBdsServices* ServicesRoot() noexcept { return State().Services; }

void NotifyPackagesServicesReady()
{
    LoaderState& state = State();
    // A package that asks for the services while it is finalized would
    // otherwise start packages that are already finalized and let go of.
    if (state.State != WizardState::Entered)
        return;
    for (std::size_t k = 0; k < state.LoadedPackages.size(); ++k) {
        tvx::IntfPtr<IBdsPackage> package = state.LoadedPackages[k];
        if (!package)
            continue;
        CallPackage(state.LoadedSubkeys[k], "OnServicesReady", [&] { return package->OnServicesReady(); });
    }
}

void SetLoaderObserver(const TalvixLoaderObserver* observer) noexcept
{
    State().Observer = observer ? *observer : TalvixLoaderObserver{};
}

} // namespace talvix
