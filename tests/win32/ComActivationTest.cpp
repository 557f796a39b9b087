// Apartments and activation through class objects registered in-process with
// CoRegisterClassObject, the way tests and the simulator offer packages
// without files.
#include "host/win32/RegistryEmulation.h"
#include "host/win32/Win32.h"
#include "interop/Guard.h"
#include "tests/fixtures/FixtureSupport.h"

#include <stdexcept>
#include <thread>

namespace {

using namespace tvx::test;

constexpr CLSID kFakeClsid = tvx::ParseGuid("{CADFA604-599F-4A67-98C2-FF354C8BF281}");
constexpr IID kUnknownIid = tvx::ParseGuid("{350C986C-3857-4D8C-8549-CAC58F679BF5}");

int liveCounters = 0;

class FakeCounter final : public tvx::Implements<FakeCounter, ITestCounter> {
public:
    FakeCounter() { ++liveCounters; }
    ~FakeCounter() override { --liveCounters; }
    HRESULT STDMETHODCALLTYPE Increment(LONG* value) override
    {
        *value = 1;
        return S_OK;
    }
};

// A factory that behaves well or breaks the rules in one chosen way.
class FakeFactory final : public tvx::Implements<FakeFactory, IClassFactory> {
public:
    enum class Mode { Create, Fail, Throw, ThrowHResult, SucceedWithoutObject, FailWithJunk };
    explicit FakeFactory(Mode mode = Mode::Create, HRESULT failure = E_FAIL) : mode_(mode), failure_(failure) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        lastOuter = outer;
        switch (mode_) {
        case Mode::Create: {
            auto* counter = new FakeCounter();
            counter->AddRef();
            HRESULT hr = counter->QueryInterface(riid, ppv);
            counter->Release();
            return hr;
        }
        case Mode::Fail: return failure_;
        case Mode::Throw: throw std::runtime_error("factory broke");
        case Mode::ThrowHResult: throw tvx::HResultError(failure_, u"refused");
        case Mode::SucceedWithoutObject: *ppv = nullptr; return S_OK;
        case Mode::FailWithJunk: *ppv = SentinelPointer<void>(); return failure_;
        }
        return E_UNEXPECTED;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    IUnknown* lastOuter = nullptr;

private:
    Mode mode_;
    HRESULT failure_;
};

class ComActivationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tvx::win32::ResetRegistry();
        liveCounters = 0;
    }

    // Registers `factory` for kFakeClsid for the life of the test.
    DWORD Register(FakeFactory* factory, DWORD context = CLSCTX_INPROC_SERVER, DWORD flags = REGCLS_MULTIPLEUSE)
    {
        DWORD cookie = 0;
        EXPECT_EQ(CoRegisterClassObject(kFakeClsid, factory->Identity(), context, flags, &cookie), S_OK);
        cookies_.push_back(cookie);
        return cookie;
    }
    void TearDown() override
    {
        for (DWORD cookie : cookies_)
            CoRevokeClassObject(cookie);
    }

    std::vector<DWORD> cookies_;
};

// Catches an apartment count that is not per thread or accepts a change of model.
TEST_F(ComActivationTest, CoInitializeCountsPerThreadAndKeepsItsModel)
{
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    std::thread([] {
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    }).join();
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(reinterpret_cast<LPVOID>(1), COINIT_MULTITHREADED), E_INVALIDARG);
}

// Catches a registration that does not hold its reference or a revoke that
// releases twice or accepts unknown cookies.
TEST_F(ComActivationTest, RegistrationHoldsOneReferenceUntilRevoked)
{
    tvx::IntfPtr<IClassFactory> factory(new FakeFactory());
    DWORD cookie = 0xdeadbeef;
    ASSERT_EQ(CoRegisterClassObject(kFakeClsid, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    EXPECT_NE(cookie, 0xdeadbeefu);
    EXPECT_REF(factory.get(), 2);
    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_REF(factory.get(), 1);
    EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
    EXPECT_REF(factory.get(), 1);
    EXPECT_EQ(CoRegisterClassObject(kFakeClsid, nullptr, CLSCTX_INPROC_SERVER, 0, &cookie), E_INVALIDARG);
    EXPECT_EQ(cookie, 0u);
}

// Catches activation that skips in-process registrations, leaks a factory
// reference or hands out an object with more than one reference.
TEST_F(ComActivationTest, CoCreateInstanceUsesTheRegisteredClassObject)
{
    tvx::IntfPtr<FakeFactory> factory(new FakeFactory());
    Register(factory.get());
    ITestCounter* counter = SentinelPointer<ITestCounter>();
    ASSERT_EQ(CoCreateInstance(kFakeClsid, nullptr, CLSCTX_INPROC_SERVER, tvx::IidOf<ITestCounter>,
                               reinterpret_cast<void**>(&counter)),
              S_OK);
    ASSERT_NE(counter, nullptr);
    EXPECT_REF(counter, 1);
    EXPECT_REF(factory->Identity(), 2);
    counter->Release();
    EXPECT_EQ(liveCounters, 0);
    EXPECT_EQ(CoCreateInstance(kFakeClsid, nullptr, CLSCTX_INPROC_SERVER, kUnknownIid, nullptr), E_POINTER);

    IClassFactory* classObject = nullptr;
    ASSERT_EQ(CoGetClassObject(kFakeClsid, CLSCTX_ALL, nullptr, tvx::IidOf<IClassFactory>,
                               reinterpret_cast<void**>(&classObject)),
              S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(classObject), factory->Identity());
    classObject->Release();
    EXPECT_REF(factory->Identity(), 2);
}

// Catches a registration found for a context it was not made for.
TEST_F(ComActivationTest, RegistrationsAnswerOnlyTheirContext)
{
    tvx::IntfPtr<FakeFactory> factory(new FakeFactory());
    Register(factory.get(), CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE);
    IUnknown* object = SentinelPointer<IUnknown>();
    EXPECT_EQ(CoCreateInstance(kFakeClsid, nullptr, CLSCTX_INPROC_SERVER, tvx::IidOf<IUnknown>,
                               reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);

    // A multiple-use local server serves its own process in-proc as well.
    Register(factory.get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE);
    ASSERT_EQ(CoCreateInstance(kFakeClsid, nullptr, CLSCTX_INPROC_SERVER, tvx::IidOf<IUnknown>,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    object->Release();
}

// Catches factory failures turned into success, out values left dangling,
// exceptions escaping into the caller, and results passed on unchanged where
// they should be.
TEST_F(ComActivationTest, FactoryFailuresReachTheCallerWithAClearedOutValue)
{
    using Mode = FakeFactory::Mode;
    struct Case {
        const char* label;
        Mode mode;
        HRESULT failure;
        IUnknown* outer;
        HRESULT expected;
        const char16_t* errorInfo;
    } const cases[] = {
        {"no aggregation", Mode::Fail, CLASS_E_NOAGGREGATION, SentinelPointer<IUnknown>(), CLASS_E_NOAGGREGATION,
         nullptr},
        {"access denied", Mode::Fail, E_ACCESSDENIED, nullptr, E_ACCESSDENIED, nullptr},
        {"throws", Mode::Throw, E_FAIL, nullptr, E_UNEXPECTED, u"factory broke"},
        {"throws an HRESULT", Mode::ThrowHResult, E_ACCESSDENIED, nullptr, E_ACCESSDENIED, u"refused"},
        {"success without object", Mode::SucceedWithoutObject, E_FAIL, nullptr, E_UNEXPECTED, nullptr},
        {"failure with junk", Mode::FailWithJunk, E_OUTOFMEMORY, nullptr, E_OUTOFMEMORY, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        tvx::IntfPtr<FakeFactory> factory(new FakeFactory(c.mode, c.failure));
        DWORD cookie = Register(factory.get());
        IUnknown* object = SentinelPointer<IUnknown>();
        EXPECT_EQ(CoCreateInstance(kFakeClsid, c.outer, CLSCTX_INPROC_SERVER, tvx::IidOf<IUnknown>,
                                   reinterpret_cast<void**>(&object)),
                  c.expected);
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(factory->lastOuter, c.outer);
        if (c.errorInfo) {
            EXPECT_EQ(TakeErrorDescription(), c.errorInfo);
        }
        EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
        EXPECT_REF(factory->Identity(), 1);
    }
}

} // namespace
