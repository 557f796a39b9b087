// The mirrors against the simulated IDE's own module flows: what a package's
// notifier answers decides the IDE's save, and renames and closes reach it
// in the IDE's order.
#include "interop/Bstr.h"
#include "interop/InterfacedObject.h"
#include "services/TalvixBdsServices.h"
#include "sim/modules/IdeModules.h"
#include "tests/support/StartedIdeFixture.h"

#include <string>
#include <vector>

namespace {

using tvx::IntfPtr;

class RecordingNotifier final
    : public tvx::Implements<RecordingNotifier, IBDSNotifier, IBDSModuleNotifier, IBDSModuleNotifier90> {
public:
    LongBool STDMETHODCALLTYPE AfterSave() override { return Heard("AfterSave"), 1; }
    LongBool STDMETHODCALLTYPE BeforeSave() override { return Heard("BeforeSave"), SaveAnswer; }
    HRESULT STDMETHODCALLTYPE Destroyed() override { return Heard("Destroyed"); }
    HRESULT STDMETHODCALLTYPE Modified() override { return Heard("Modified"); }
    LongBool STDMETHODCALLTYPE CheckOverwrite() override { return Heard("CheckOverwrite"), 1; }
    HRESULT STDMETHODCALLTYPE ModuleRenamed(BSTR) override { return Heard("ModuleRenamed"); }
    HRESULT STDMETHODCALLTYPE BeforeRename(BSTR, BSTR) override { return Heard("BeforeRename"); }
    HRESULT STDMETHODCALLTYPE AfterRename(BSTR, BSTR) override { return Heard("AfterRename"); }
    std::vector<std::string> Log;
    LongBool SaveAnswer = 1;

private:
    HRESULT Heard(const char* what)
    {
        Log.emplace_back(what);
        return S_OK;
    }
};

class SimulatedModulesTest : public tvx::test::StartedIdeTest {
protected:
    void SetUp() override
    {
        StartedIdeTest::SetUp();
        IntfPtr<IUnknown> found;
        ASSERT_EQ(
            talvix::TBdsServices::Create()->Interface()->GetService(tvx::IidOf<IBDSModuleServices70>, found.put()),
            S_OK);
        modules = found.try_as<IBDSModuleServices70>();
        ASSERT_TRUE(modules);
        ASSERT_EQ(modules->FindModule(tvx::Bstr(u"C:\\Projects\\Demo\\Unit1.pas").get(), unit.put()), S_OK);
        ASSERT_TRUE(unit);
        notifier = IntfPtr<RecordingNotifier>(new RecordingNotifier);
        index = unit->AddNotifier(static_cast<IBDSModuleNotifier*>(notifier.get()));
        ASSERT_GE(index, 0);
    }
    bool UnitModified() { return Ide().Modules().Find(u"C:\\Projects\\Demo\\Unit1.pas")->Modified(); }

    IntfPtr<IBDSModuleServices70> modules;
    IntfPtr<IBDSModule> unit;
    IntfPtr<RecordingNotifier> notifier;
    LONG index = -1;
};

// Catches a zero from the package's BeforeSave not cancelling the IDE's
// save, or a cancelled save answered as done.
TEST_F(SimulatedModulesTest, AZeroFromBeforeSaveCancelsTheSave)
{
    Step("modify-module Unit1.pas");
    notifier->SaveAnswer = 0;
    EXPECT_EQ(unit->Save(0, 0), 0);
    EXPECT_TRUE(UnitModified());
    notifier->SaveAnswer = 1;
    EXPECT_EQ(unit->Save(2, 0), -1) << "true is all bits set";
    EXPECT_FALSE(UnitModified());
    EXPECT_EQ(notifier->Log, (std::vector<std::string>{"Modified", "CheckOverwrite", "BeforeSave", "CheckOverwrite",
                                                       "BeforeSave", "AfterSave"}));
}

// Catches renames and closes not reaching the package, or the IDE keeping
// the package's notifier after the module closed.
TEST_F(SimulatedModulesTest, RenameAndCloseReachThePackageAndCloseLetsGo)
{
    unit->SetFileName(tvx::Bstr(u"C:\\Projects\\Demo\\Main.pas").get());
    EXPECT_EQ(unit->Close(), -1);
    EXPECT_EQ(notifier->Log, (std::vector<std::string>{"BeforeRename", "ModuleRenamed", "AfterRename", "Destroyed"}));
    IUnknown* identity = static_cast<IBDSNotifier*>(notifier.get());
    identity->AddRef();
    EXPECT_EQ(identity->Release(), 1u) << "only the test holds it";
    unit->RemoveNotifier(index);
}

} // namespace
