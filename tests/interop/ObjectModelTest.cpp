// The interfaced-object base, IntfPtr and the interop guard.
#include "tests/support/TestSupport.h"

#include "interop/Guard.h"

#include <stdexcept>

using namespace tvx;

TVX_DECLARE_INTERFACE(ITestAlpha, "{11111111-2222-3333-4444-555555555555}")
struct ITestAlpha : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Alpha(LONG* pRetVal) = 0;
};
TVX_DECLARE_INTERFACE(ITestBeta, "{11111111-2222-3333-4444-666666666666}")
struct ITestBeta : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Beta(BSTR* pRetVal) = 0;
};
TVX_DECLARE_INTERFACE(ITestGamma, "{11111111-2222-3333-4444-777777777777}")
struct ITestGamma : ITestBeta {
    using Base = ITestBeta;
    virtual HRESULT STDMETHODCALLTYPE Gamma() = 0;
};

namespace {

int destroyed = 0;

class TwoFaced final : public Implements<TwoFaced, ITestAlpha, ITestGamma> {
public:
    ~TwoFaced() override { ++destroyed; }
    HRESULT STDMETHODCALLTYPE Alpha(LONG* pRetVal) override
    {
        return Guarded([&] {
            ClearOut(pRetVal);
            if (fail)
                throw std::runtime_error("alpha broke");
            *pRetVal = 42;
        });
    }
    HRESULT STDMETHODCALLTYPE Beta(BSTR* pRetVal) override
    {
        return Guarded([&] {
            ClearOut(pRetVal);
            throw HResultError(E_INVALIDARG, u"bad beta");
        });
    }
    HRESULT STDMETHODCALLTYPE Gamma() override
    {
        return Guarded([]() -> HRESULT { throw 7; }, E_UNEXPECTED);
    }
    bool fail = false;
};

} // namespace

// The count starts at 0: the first reference keeps the object, the last ends it.
TEST(InterfacedObject, CountStartsAtZeroAndLastReleaseDestroys)
{
    destroyed = 0;
    auto* object = new TwoFaced;
    EXPECT_EQ(object->RefCount(), 0u);
    {
        IntfPtr<ITestAlpha> alpha(object);
        EXPECT_REF(alpha.get(), 1);
        IntfPtr<ITestAlpha> copy = alpha;
        EXPECT_REF(alpha.get(), 2);
    }
    EXPECT_EQ(destroyed, 1);
}

// IUnknown identity: every interface of one object answers the same IUnknown.
TEST(InterfacedObject, UnknownIdentityIsStable)
{
    IntfPtr<ITestAlpha> alpha(new TwoFaced);
    IntfPtr<ITestBeta> beta = alpha.as<ITestBeta>();
    IntfPtr<ITestGamma> gamma = alpha.as<ITestGamma>();
    EXPECT_EQ(IdentityOf(alpha.get()).get(), IdentityOf(beta.get()).get());
    EXPECT_EQ(IdentityOf(gamma.get()).get(), IdentityOf(beta.get()).get());
    EXPECT_EQ(static_cast<void*>(beta.get()), static_cast<void*>(static_cast<ITestBeta*>(gamma.get())));
    EXPECT_REF(alpha.get(), 3);
}

// Unknown interfaces give E_NOINTERFACE, a cleared out value and no reference taken.
TEST(InterfacedObject, UnknownInterfaceClearsOutValue)
{
    IntfPtr<ITestAlpha> alpha(new TwoFaced);
    void* out = test::SentinelPointer<void>();
    constexpr GUID other = ParseGuid("{99999999-2222-3333-4444-555555555555}");
    EXPECT_EQ(alpha->QueryInterface(other, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(alpha->QueryInterface(other, nullptr), E_POINTER);
    EXPECT_REF(alpha.get(), 1);
    EXPECT_FALSE(alpha.try_as<IClassFactory>());
    EXPECT_THROW(alpha.as<IClassFactory>(), HResultError);
}

// put() must release the old value before handing out the address.
TEST(IntfPtr, PutReleasesPreviousValue)
{
    destroyed = 0;
    IntfPtr<ITestAlpha> alpha(new TwoFaced);
    IntfPtr<ITestAlpha> other(new TwoFaced);
    ITestAlpha** slot = alpha.put();
    EXPECT_EQ(*slot, nullptr);
    EXPECT_EQ(destroyed, 1);
    other.copy_to(slot);
    EXPECT_REF(other.get(), 2);
    alpha = nullptr;
    EXPECT_REF(other.get(), 1);
    ITestAlpha* raw = other.detach();
    EXPECT_EQ(raw->Release(), 0u);
    EXPECT_EQ(destroyed, 2);
}

// An exception inside a guarded method becomes its result and its message the error info.
TEST(Guard, ExceptionBecomesResultAndErrorInfo)
{
    IntfPtr<ITestAlpha> alpha(new TwoFaced);
    auto* object = static_cast<TwoFaced*>(alpha.get());
    LONG value = 0xdead;
    EXPECT_EQ(alpha->Alpha(&value), S_OK);
    EXPECT_EQ(value, 42);

    object->fail = true;
    value = 0xdead;
    EXPECT_EQ(alpha->Alpha(&value), E_FAIL);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(test::TakeErrorDescription(), u"alpha broke");
    EXPECT_EQ(test::TakeErrorDescription(), u"") << "GetErrorInfo hands the info out once";

    IntfPtr<ITestGamma> gamma = alpha.as<ITestGamma>();
    BSTR text = test::SentinelPointer<OLECHAR>();
    EXPECT_EQ(gamma->Beta(&text), E_INVALIDARG) << "the carried code wins";
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(test::TakeErrorDescription(), u"bad beta");
    EXPECT_EQ(gamma->Gamma(), E_UNEXPECTED) << "a non-standard throw yields the method's own failure";
}

// Methods without an HRESULT give their type's zero value.
TEST(Guard, ValueMethodsReturnZeroOnException)
{
    auto throwing = []() -> LONG { throw std::logic_error("nope"); };
    EXPECT_EQ(GuardedValue<LONG>(throwing), 0);
    EXPECT_EQ(test::TakeErrorDescription(), u"nope");
    auto pointer = []() -> OLECHAR* { throw std::bad_alloc(); };
    EXPECT_EQ(GuardedValue<OLECHAR*>(pointer), nullptr);
}
