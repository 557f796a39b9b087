// Test packages: in-process COM objects that play a product package. Each
// records every call into one ordered log shared by all packages of a test,
// notes what it saw at call time and can be told, per method, to fail or to
// throw. They link only the SDK and the win32 stand-in, as real packages do.
#pragma once

#include "host/win32/Recorder.h"
#include "host/win32/Win32.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::test {

// Every call into the packages of one test, in order: "Initialize P1",
// "Finalize P3", and "Create P1" / "Destroy P2" as objects come and go.
class CallLog {
public:
    void Add(std::string entry) { entries_.push_back(std::move(entry)); }
    const std::vector<std::string>& Entries() const noexcept { return entries_; }
    // The entries of one method (or "Create", "Destroy"), in order.
    std::vector<std::string> Of(std::string_view method) const;
    void Clear() noexcept { entries_.clear(); }

private:
    std::vector<std::string> entries_;
};

enum class PackageMethod { Initialize, OnServicesReady, Finalize, OnIdeTabSelected };
const char* MethodName(PackageMethod method) noexcept;

// What one package method does when it is called.
struct MethodOutcome {
    enum class Kind {
        Succeed,
        Fail,         // returns Failure
        Throw,        // throws std::runtime_error
        ThrowForeign, // throws something that is no std::exception
    };
    Kind What = Kind::Succeed;
    HRESULT Failure = E_FAIL;

    static MethodOutcome Succeeds() { return {}; }
    static MethodOutcome Fails(HRESULT failure = E_FAIL) { return {Kind::Fail, failure}; }
    static MethodOutcome Throws() { return {Kind::Throw, E_FAIL}; }
    static MethodOutcome ThrowsForeign() { return {Kind::ThrowForeign, E_FAIL}; }
};

// One test package's set-up and what it saw. Shared by the test and every
// object its class factory makes, and it outlives them: the loader may drop
// its last references only when the library unloads, after the test body.
struct PackageProbe {
    PackageProbe(std::string name, std::shared_ptr<CallLog> log) : Name(std::move(name)), Log(std::move(log)) {}

    std::string Name;
    std::shared_ptr<CallLog> Log;

    // Set-up.
    bool AnswersPackage = true;
    bool AnswersTabListener = false;
    std::map<PackageMethod, MethodOutcome> Outcomes;
    PackageProbe& On(PackageMethod method, MethodOutcome outcome)
    {
        Outcomes[method] = outcome;
        return *this;
    }

    // Observations.
    int Created = 0;
    int Alive = 0;
    // Each Services argument of Initialize, as given (the root is never freed).
    std::vector<IBdsServices*> InitializeServices;
    // get_PackagesCount through the kept services during each call.
    std::optional<LONG> CountAtInitialize;
    std::optional<LONG> CountAtFinalize;
};

std::shared_ptr<PackageProbe> MakeProbe(std::string name, std::shared_ptr<CallLog> log);

} // namespace tvx::test

// Lets a test tell which of its packages an interface pointer belongs to.
TVX_DECLARE_INTERFACE(ITestPackage, "{6F1C2B7E-94D3-4A5B-8C61-2E7F0A9D3B45}")
struct ITestPackage : IUnknown {
    virtual const char* STDMETHODCALLTYPE ProbeName() = 0;
};

namespace tvx::test {

// The package object. It keeps the services it is given, as a package does,
// and lets them go in Finalize.
class TestPackage final : public tvx::Implements<TestPackage, IBdsPackage, IBdsEditorTabListener, ITestPackage> {
public:
    explicit TestPackage(std::shared_ptr<PackageProbe> probe);
    ~TestPackage() override;

    // The probe's name of the test package behind `object`; empty for null
    // or for an object that is no test package.
    static std::string NameOf(IUnknown* object);

    const char* STDMETHODCALLTYPE ProbeName() override { return probe_->Name.c_str(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) noexcept override;

    HRESULT STDMETHODCALLTYPE Initialize(IBdsServices* Services) override;
    HRESULT STDMETHODCALLTYPE OnServicesReady() override;
    HRESULT STDMETHODCALLTYPE Finalize() override;
    HRESULT STDMETHODCALLTYPE OnIdeTabSelected() override;

private:
    HRESULT Respond(PackageMethod method);
    std::optional<LONG> PackagesCount() const;

    std::shared_ptr<PackageProbe> probe_;
    tvx::IntfPtr<IBdsServices> services_;
};

// A class factory that makes a TestPackage for its probe, or refuses every
// CreateInstance with a failure code.
class TestClassFactory final : public tvx::Implements<TestClassFactory, IClassFactory> {
public:
    explicit TestClassFactory(std::shared_ptr<PackageProbe> probe) : probe_(std::move(probe)) {}
    explicit TestClassFactory(HRESULT failure) : failure_(failure) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

private:
    std::shared_ptr<PackageProbe> probe_;
    HRESULT failure_ = S_OK;
};

// A class object registered in-process (CoRegisterClassObject) for the life
// of the holder, so the COM runtime serves the class without any file.
class ScopedClassObject {
public:
    ScopedClassObject(REFCLSID clsid, IUnknown* classObject);
    ~ScopedClassObject();
    ScopedClassObject(ScopedClassObject&& other) noexcept;
    ScopedClassObject& operator=(ScopedClassObject&& other) noexcept;
    ScopedClassObject(const ScopedClassObject&) = delete;
    ScopedClassObject& operator=(const ScopedClassObject&) = delete;

    DWORD Cookie() const noexcept { return cookie_; }
    void Revoke() noexcept;

private:
    DWORD cookie_ = 0;
};

ScopedClassObject RegisterTestPackage(REFCLSID clsid, std::shared_ptr<PackageProbe> probe);
ScopedClassObject RegisterFailingFactory(REFCLSID clsid, HRESULT failure);

// While it lives, every message box is also logged, as "MessageBox " and the
// first line of its text, so a test sees where it came among package calls.
class ScopedMessageBoxLog {
public:
    explicit ScopedMessageBoxLog(std::shared_ptr<CallLog> log);
    ~ScopedMessageBoxLog();
    ScopedMessageBoxLog(const ScopedMessageBoxLog&) = delete;
    ScopedMessageBoxLog& operator=(const ScopedMessageBoxLog&) = delete;

private:
    std::shared_ptr<CallLog> log_;
};

// A class identifier whose text sorts by `number`: {number-5E7A-4B1C-8D2E-3F4A5B6C7D8E}.
GUID TestClsid(std::uint32_t number);

// The packages of one test: each listed in the registry with its name as
// display name and served in-process, all logging into one CallLog.
class TestPackageSet {
public:
    TestPackageSet() : log_(std::make_shared<CallLog>()) {}

    // A package under `clsid`; a null load order leaves LoadOrder absent.
    std::shared_ptr<PackageProbe> Add(const std::string& name, REFCLSID clsid, std::optional<LONG> loadOrder);
    // A listed class that nobody serves.
    void AddUnregistered(const std::string& name, REFCLSID clsid, std::optional<LONG> loadOrder);

    CallLog& Log() noexcept { return *log_; }
    const std::shared_ptr<CallLog>& SharedLog() const noexcept { return log_; }

private:
    std::shared_ptr<CallLog> log_;
    std::vector<ScopedClassObject> registrations_;
};

// A toolbar, and a toolbar control, that a package made itself: every
// method answers E_NOTIMPL. The library must know they are not its own.
template <class Self>
class NotImplementedToolBar : public tvx::Implements<Self, IBdsToolBar> {
public:
    HRESULT STDMETHODCALLTYPE Get_Name(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Name(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Caption(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Caption(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Left(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Left(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Top(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Top(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Width(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Height(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Floating(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Floating(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_ControlCount(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddSeparator() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddControl(LONG, IBdsToolBarControl**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveControl(IBdsToolBarControl*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }
};

template <class Self>
class NotImplementedControl : public tvx::Implements<Self, IBdsToolBarControl> {
public:
    HRESULT STDMETHODCALLTYPE Get_Caption(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Caption(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Enabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Enabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_Name(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_Name(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_ToolTip(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_ToolTip(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get_ShortCut(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set_ShortCut(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterEvents(IBdsToolBarControlEvents*) override { return E_NOTIMPL; }
};

} // namespace tvx::test
