#include "tests/support/TestPackages.h"

#include "interop/Guid.h"
#include "interop/Utf.h"
#include "tests/support/PackageListRegistry.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

namespace tvx::test {

std::vector<std::string> CallLog::Of(std::string_view method) const
{
    std::vector<std::string> found;
    const std::string prefix = std::string(method) + " ";
    for (const std::string& entry : entries_)
        if (entry.starts_with(prefix))
            found.push_back(entry);
    return found;
}

const char* MethodName(PackageMethod method) noexcept
{
    switch (method) {
    case PackageMethod::Initialize: return "Initialize";
    case PackageMethod::OnServicesReady: return "OnServicesReady";
    case PackageMethod::Finalize: return "Finalize";
    case PackageMethod::OnIdeTabSelected: return "OnIdeTabSelected";
    }
    return "?";
}

std::shared_ptr<PackageProbe> MakeProbe(std::string name, std::shared_ptr<CallLog> log)
{
    return std::make_shared<PackageProbe>(std::move(name), std::move(log));
}

TestPackage::TestPackage(std::shared_ptr<PackageProbe> probe) : probe_(std::move(probe))
{
    ++probe_->Created;
    ++probe_->Alive;
    probe_->Log->Add("Create " + probe_->Name);
}

TestPackage::~TestPackage()
{
    --probe_->Alive;
    probe_->Log->Add("Destroy " + probe_->Name);
}

std::string TestPackage::NameOf(IUnknown* object)
{
    IntfPtr<ITestPackage> package = IntfPtr<IUnknown>(object).try_as<ITestPackage>();
    return package ? std::string(package->ProbeName()) : std::string();
}

HRESULT TestPackage::QueryInterface(REFIID riid, void** ppvObject) noexcept
{
    const bool refused = (IsEqualGuid(riid, IidOf<IBdsPackage>) && !probe_->AnswersPackage) ||
                         (IsEqualGuid(riid, IidOf<IBdsEditorTabListener>) && !probe_->AnswersTabListener);
    if (refused) {
        if (ppvObject)
            *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    return Implements::QueryInterface(riid, ppvObject);
}

std::optional<LONG> TestPackage::PackagesCount() const
{
    LONG count = -1;
    if (!services_ || FAILED(services_->get_PackagesCount(&count)))
        return std::nullopt;
    return count;
}

HRESULT TestPackage::Respond(PackageMethod method)
{
    probe_->Log->Add(std::string(MethodName(method)) + " " + probe_->Name);
    auto found = probe_->Outcomes.find(method);
    const MethodOutcome outcome = found == probe_->Outcomes.end() ? MethodOutcome{} : found->second;
    switch (outcome.What) {
    case MethodOutcome::Kind::Succeed: return S_OK;
    case MethodOutcome::Kind::Fail: return outcome.Failure;
    case MethodOutcome::Kind::Throw: throw std::runtime_error(probe_->Name + " refuses " + MethodName(method));
    case MethodOutcome::Kind::ThrowForeign: throw 42;
    }
    return E_UNEXPECTED;
}

HRESULT TestPackage::Initialize(IBdsServices* Services)
{
    probe_->InitializeServices.push_back(Services);
    services_ = Services;
    probe_->CountAtInitialize = PackagesCount();
    return Respond(PackageMethod::Initialize);
}

HRESULT TestPackage::OnServicesReady() { return Respond(PackageMethod::OnServicesReady); }

HRESULT TestPackage::Finalize()
{
    probe_->CountAtFinalize = PackagesCount();
    services_ = nullptr;
    return Respond(PackageMethod::Finalize);
}

HRESULT TestPackage::OnIdeTabSelected() { return Respond(PackageMethod::OnIdeTabSelected); }

HRESULT TestClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject)
{
    if (!ppvObject)
        return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    if (!probe_)
        return failure_;
    IntfPtr<IUnknown> object(static_cast<IBdsPackage*>(new TestPackage(probe_)));
    return object->QueryInterface(riid, ppvObject);
}

HRESULT TestClassFactory::LockServer(BOOL) { return S_OK; }

ScopedClassObject::ScopedClassObject(REFCLSID clsid, IUnknown* classObject)
{
    HRESULT hr = CoRegisterClassObject(clsid, classObject, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    if (FAILED(hr))
        ADD_FAILURE() << "CoRegisterClassObject " << FormatGuid(clsid) << " failed: " << std::hex << hr;
}

ScopedClassObject::~ScopedClassObject() { Revoke(); }

ScopedClassObject::ScopedClassObject(ScopedClassObject&& other) noexcept : cookie_(std::exchange(other.cookie_, 0)) {}

ScopedClassObject& ScopedClassObject::operator=(ScopedClassObject&& other) noexcept
{
    if (this != &other) {
        Revoke();
        cookie_ = std::exchange(other.cookie_, 0);
    }
    return *this;
}

void ScopedClassObject::Revoke() noexcept
{
    if (DWORD cookie = std::exchange(cookie_, 0))
        CoRevokeClassObject(cookie);
}

ScopedClassObject RegisterTestPackage(REFCLSID clsid, std::shared_ptr<PackageProbe> probe)
{
    IntfPtr<IClassFactory> factory(new TestClassFactory(std::move(probe)));
    return ScopedClassObject(clsid, factory.get());
}

ScopedClassObject RegisterFailingFactory(REFCLSID clsid, HRESULT failure)
{
    IntfPtr<IClassFactory> factory(new TestClassFactory(failure));
    return ScopedClassObject(clsid, factory.get());
}

ScopedMessageBoxLog::ScopedMessageBoxLog(std::shared_ptr<CallLog> log) : log_(std::move(log))
{
    win32::RecorderObserver observer;
    observer.context = log_.get();
    observer.messageBox = [](void* context, const win32::MessageBoxRecord& record) {
        const std::u16string firstLine = record.text.substr(0, record.text.find(u'\n'));
        static_cast<CallLog*>(context)->Add("MessageBox " + Utf16ToUtf8(firstLine));
    };
    win32::SetRecorderObserver(observer);
}

ScopedMessageBoxLog::~ScopedMessageBoxLog() { win32::SetRecorderObserver({}); }

GUID TestClsid(std::uint32_t number)
{
    GUID id = ParseGuid("{00000000-5E7A-4B1C-8D2E-3F4A5B6C7D8E}");
    id.Data1 = number;
    return id;
}

std::shared_ptr<PackageProbe> TestPackageSet::Add(const std::string& name, REFCLSID clsid,
                                                  std::optional<LONG> loadOrder)
{
    auto probe = MakeProbe(name, log_);
    registrations_.push_back(RegisterTestPackage(clsid, probe));
    ListPackage(FormatGuidW(clsid), Utf8ToUtf16(name), loadOrder);
    return probe;
}

void TestPackageSet::AddUnregistered(const std::string& name, REFCLSID clsid, std::optional<LONG> loadOrder)
{
    ListPackage(FormatGuidW(clsid), Utf8ToUtf16(name), loadOrder);
}

} // namespace tvx::test
