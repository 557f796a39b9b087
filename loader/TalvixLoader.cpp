#include "loader/TalvixLoader.h"

#include "host/vcl/SysUtils.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "loader/PackageList.h"
#include "services/TalvixBdsServices.h"

#include <algorithm>
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

// What became of one listed package.
enum class PackageState {
    // Created, and it answered IBdsPackage: it takes part until terminate.
    Loaded,
    // Not created; Error says why, and the record has no instance.
    Failed,
};

// One listed package whose subkey named a class, from the registry read to
// the terminate routine: the packages' view of it is its PackageInfo.
struct PackageRecord {
    std::u16string Subkey;
    // Into LoaderState::DisplayNames, where PackageInfo.Name also points.
    const std::u16string* Name = nullptr;
    CLSID Class{};
    LONG LoadOrder = 0;
    PackageState State = PackageState::Failed;
    std::u16string Error;
    tvx::IntfPtr<IBdsPackage> Instance;

    PackageInfo Info() const noexcept { return PackageInfo{Class, tvx::AsOleChar(Name->c_str()), Instance.get()}; }
};

// Everything the loader keeps between the entry and the terminate routine,
// and the package table the services root reads.
struct LoaderState final : TPackageTable {
    // In load order.
    std::vector<PackageRecord> Packages;
    tvx::IntfPtr<IBdsEditorTabListener> TabListener;
    TBdsServices* Services = nullptr;
    // The texts PackageInfo.Name points into. They only grow and live until
    // the library unloads: a package may keep a copied record, and a second
    // entry call must not free the texts of the first.
    std::deque<std::u16string> DisplayNames;
    TalvixLoaderObserver Observer{};
    WizardState State = WizardState::NotEntered;

    LONG Count() const noexcept override { return LONG(Packages.size()); }
    void Copy(LONG index, PackageInfo& out) const override
    {
        out = PackageInfo{};
        if (index < 0 || std::size_t(index) >= Packages.size())
            throw tvx::HResultError(E_INVALIDARG, u"Range check error");
        out = Packages[std::size_t(index)].Info();
        if (out.Instance)
            out.Instance->AddRef();
    }
    void NotifyServicesReady() override;
    IBdsEditorTabListener* EditorTabListener() const noexcept override { return TabListener.get(); }

    // Calls every loaded package in load order, each guarded and held for
    // its call. Nothing a package can do from there changes the table.
    template <class Call>
    void ForEachLoaded(const char* method, Call&& call);

    // Library unload: drop what is still held without calling any package method.
    ~LoaderState()
    {
        TabListener = nullptr;
        Packages.clear();
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
    MessageBoxW(GetForegroundWindow(), tvx::AsOleChar(text.c_str()), tvx::AsOleChar(u"Talvix Products Loader"),
                MB_OK | MB_ICONSTOP);
}

// Creates one package; on failure shows the message, keeps its error text
// in `error` and returns null.
tvx::IntfPtr<IBdsPackage> CreatePackage(const CLSID& clsid, const std::u16string& subkey,
                                        const std::u16string& displayName, std::u16string& error)
{
    LoaderState& state = State();
    Stopwatch watch(state.Observer.Created != nullptr);
    try {
        tvx::IntfPtr<IUnknown> object;
        HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, tvx::IidOf<IUnknown>,
                                      object.put_void());
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
    } catch (const std::exception&) {
        std::u16string buffer;
        error = tvx::CurrentExceptionText(buffer);
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
    std::u16string buffer;
    // Points into `buffer` or at a fixed text, NUL-terminated either way.
    const char16_t* raised = nullptr;
    try {
        HRESULT hr = call();
        if (FAILED(hr))
            outcome = "failed";
    } catch (...) {
        outcome = "raised";
        raised = tvx::CurrentExceptionText(buffer).data();
    }
    if (state.Observer.Called)
        state.Observer.Called(state.Observer.Context, subkey.c_str(), method, watch.Seconds(), outcome);
    if (state.Observer.Raised && raised)
        state.Observer.Raised(state.Observer.Context, subkey.c_str(), method, raised);
}

void TellListLookedUp(const std::optional<PackageList>& list) noexcept
{
    const TalvixLoaderObserver& observer = State().Observer;
    if (!observer.ListLookedUp)
        return;
    try {
        const std::u16string path = u"HKEY_LOCAL_MACHINE\\" + PackageListKeyPath();
        observer.ListLookedUp(observer.Context, path.c_str(),
                              !list                       ? "missing"
                              : list->SubkeyNames.empty() ? "empty"
                                                          : "read");
    } catch (...) {
        // Only the diagnostics lose the line.
    }
}

// A package that never hears OnServicesReady usually waits for a call that
// some package was meant to make; the observer learns which.
void ReportNeverReady(const LoaderState& state)
{
    const TBdsServices* services = state.Services;
    if (!state.Observer.NeverReady || !services || state.State != WizardState::Entered)
        return;
    const bool dotNet = services->DotNetServicesInitialized();
    const bool toolbars = services->ToolBarServiceInitialized();
    if (dotNet && toolbars)
        return;
    const char* waitingFor = !dotNet && !toolbars ? "no package called OnDotNetServicesInitialized, and the IDE never "
                                                    "loaded its toolbars"
                             : !dotNet            ? "no package called OnDotNetServicesInitialized"
                                                  : "the IDE never loaded its toolbars";
    state.Observer.NeverReady(state.Observer.Context, waitingFor);
}

void LoadPackages(const PackageList& list)
{
    LoaderState& state = State();
    const std::size_t count = list.SubkeyNames.size();
    state.Packages.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::u16string& subkey = list.SubkeyNames[k];
        const std::u16string& displayName = state.DisplayNames.emplace_back(list.DisplayNames[k]);
        try {
            CLSID clsid{};
            if (FAILED(CLSIDFromString(tvx::AsOleChar(subkey.c_str()), &clsid))) {
                if (state.Observer.Skipped)
                    state.Observer.Skipped(state.Observer.Context, subkey.c_str(), "not a class identifier");
                continue;
            }
            PackageRecord& record = state.Packages.emplace_back();
            record.Subkey = subkey;
            record.Name = &displayName;
            record.Class = clsid;
            record.LoadOrder = list.LoadOrders[k];
            record.Instance = CreatePackage(clsid, subkey, displayName, record.Error);
            if (record.Instance) {
                record.State = PackageState::Loaded;
                if (!state.TabListener)
                    state.TabListener = record.Instance.try_as<IBdsEditorTabListener>();
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
    TellListLookedUp(list);
    if (!list || list->SubkeyNames.empty())
        return true;

    if (state.Observer.Listed)
        for (std::size_t k = 0; k < list->SubkeyNames.size(); ++k)
            state.Observer.Listed(state.Observer.Context, list->SubkeyNames[k].c_str(), list->DisplayNames[k].c_str(),
                                  list->LoadOrders[k], DescribeLoadOrderSource(list->Sources[k]));
    LoadPackages(*list);

    if (LoadedPackageCount() > 0) {
        state.Services = TBdsServices::Create(&state);
        IBdsServices* services = state.Services->Interface();
        state.ForEachLoaded("Initialize", [&](IBdsPackage* package) { return package->Initialize(services); });
    }
    return true;
}

void STDMETHODCALLTYPE TerminateWizard()
{
    LoaderState& state = State();
    ReportNeverReady(state);
    state.State = WizardState::Terminating;
    state.TabListener = nullptr;
    // The table is empty before the first Finalize; the records stay here
    // until their package is finalized and let go of.
    std::vector<PackageRecord> records = std::move(state.Packages);
    state.Packages.clear();
    // Before any Finalize: no IDE event may reach a package after its own.
    if (state.Services)
        state.Services->ShutDown();
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        if (record->State != PackageState::Loaded)
            continue;
        // Held across the call: a package may drop references while finalizing.
        tvx::IntfPtr<IBdsPackage> package = std::move(record->Instance);
        CallPackage(record->Subkey, "Finalize", [&] { return package->Finalize(); });
    }
    records.clear();
    state.State = WizardState::Terminated;
    // The root holds a reference on itself and stays; the loader only forgets it.
    if (TBdsServices* services = std::exchange(state.Services, nullptr))
        services->FreeServices();
}

LONG PackageInfoCount() noexcept { return State().Count(); }

void CopyPackageInfo(LONG index, PackageInfo& out) { State().Copy(index, out); }

std::size_t LoadedPackageCount() noexcept
{
    const auto& packages = State().Packages;
    return std::size_t(std::count_if(packages.begin(), packages.end(),
                                     [](const PackageRecord& record) { return record.State == PackageState::Loaded; }));
}

IBdsEditorTabListener* EditorTabListener() noexcept { return State().TabListener.get(); }

TBdsServices* ServicesRoot() noexcept { return State().Services; }

template <class Call>
void LoaderState::ForEachLoaded(const char* method, Call&& call)
{
    for (const PackageRecord& record : Packages) {
        if (record.State != PackageState::Loaded)
            continue;
        tvx::IntfPtr<IBdsPackage> package = record.Instance;
        CallPackage(record.Subkey, method, [&] { return call(package.get()); });
    }
}

void LoaderState::NotifyServicesReady()
{
    // A package that asks for the services while it is finalized would
    // otherwise start packages that are already finalized and let go of.
    if (State != WizardState::Entered)
        return;
    ForEachLoaded("OnServicesReady", [](IBdsPackage* package) { return package->OnServicesReady(); });
}

void SetLoaderObserver(const TalvixLoaderObserver* observer) noexcept
{
    State().Observer = observer ? *observer : TalvixLoaderObserver{};
}

} // namespace talvix
