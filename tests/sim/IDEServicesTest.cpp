#include "sim/IDEServices.h"
#include "host/ide/ToolsAPI.h"
#include "tests/support/TestSupport.h"

TVX_DECLARE_INTERFACE(IModuleLike, "{55A5E848-27FB-4880-8E7C-7F05A9802482}")
TVX_DECLARE_INTERFACE(IMissingLike, "{8209041F-F37F-4570-88B8-6C310FFFF81A}")
struct IModuleLike : IUnknown {
    virtual int Answer() = 0;
};
struct IMissingLike : IUnknown {};

namespace {

class ModuleLike : public tvx::Implements<ModuleLike, IModuleLike> {
public:
    int Answer() override { return 42; }
};

template <class T, class I>
tvx::IntfPtr<I> Make()
{
    return tvx::IntfPtr<I>::Attach(tvx::NewInterface<T, I>());
}

class IDEServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = Make<TIDEServices, IBorlandIDEServices>();
        services = static_cast<TIDEServices*>(root.get());
        module = Make<ModuleLike, IModuleLike>();
    }
    tvx::IntfPtr<IBorlandIDEServices> root;
    TIDEServices* services = nullptr;
    tvx::IntfPtr<IModuleLike> module;
};

} // namespace

// Catches a lookup that raises, or answers something, for a missing service.
TEST_F(IDEServicesTest, MissingServiceAnswersFalseAndNull)
{
    EXPECT_FALSE(root->SupportsService(tvx::IidOf<IMissingLike>));
    EXPECT_EQ(root->GetService(tvx::IidOf<IMissingLike>).get(), nullptr);
    void* out = tvx::test::SentinelPointer<void>();
    EXPECT_FALSE(root->GetService(tvx::IidOf<IMissingLike>, &out));
    EXPECT_EQ(out, nullptr);
    tvx::IntfPtr<IMissingLike> viaSupports;
    EXPECT_FALSE(Supports(root.get(), viaSupports));
}

// Catches any of the lookup forms missing a registered service, handing out
// the wrong pointer, or miscounting references.
TEST_F(IDEServicesTest, EveryLookupFormFindsARegisteredService)
{
    services->AddService<IModuleLike>(module.get());
    EXPECT_REF(module.get(), 2);
    EXPECT_TRUE(root->SupportsService(tvx::IidOf<IModuleLike>));
    {
        tvx::IntfPtr<IUnknown> found = root->GetService(tvx::IidOf<IModuleLike>);
        EXPECT_EQ(static_cast<void*>(found.get()), static_cast<void*>(module.get()));
        void* raw = nullptr;
        ASSERT_TRUE(root->GetService(tvx::IidOf<IModuleLike>, &raw));
        auto typed = tvx::IntfPtr<IModuleLike>::Attach(static_cast<IModuleLike*>(raw));
        EXPECT_EQ(typed->Answer(), 42);
        EXPECT_EQ(IntfCast<IModuleLike>(root.get())->Answer(), 42);
    }
    EXPECT_REF(module.get(), 2);
    services->RemoveService(tvx::IidOf<IModuleLike>);
    EXPECT_REF(module.get(), 1);
    EXPECT_FALSE(root->SupportsService(tvx::IidOf<IModuleLike>));
}

// Catches a cast of the root object that answers null instead of raising.
TEST_F(IDEServicesTest, CastToMissingServiceRaisesIntfCastError)
{
    EXPECT_THROW(IntfCast<IMissingLike>(root.get()), EIntfCastError);
    EXPECT_EQ(IntfCast<IBorlandIDEServices70>(root.get()).get(), root.get());
}

// Catches a service registered under an interface its object lacks, which
// would hand out a pointer of the wrong type.
TEST_F(IDEServicesTest, ServiceMustAnswerItsInterface)
{
    EXPECT_THROW(services->AddService(tvx::IidOf<IMissingLike>, module.get()), EIntfCastError);
    EXPECT_FALSE(root->SupportsService(tvx::IidOf<IMissingLike>));
}
