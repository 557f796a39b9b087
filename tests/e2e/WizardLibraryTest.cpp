// The built wizard library as the IDE meets it: found by name, entered,
// terminated and unloaded, more than once in one process.
#include "tests/support/WizardLibrary.h"
#include "host/win32/GdiEmulation.h"
#include "tests/support/HostFixture.h"
#include "tests/support/TestPackages.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

namespace {

using namespace tvx::test;
using Names = std::vector<std::string>;

class WizardLibraryTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        bitmaps_ = tvx::win32::LiveBitmapCount();
        doubleDeletes_ = tvx::win32::DoubleDeleteCount();
        icons_ = tvx::win32::LiveIconCount();
        doubleDestroys_ = tvx::win32::DoubleDestroyIconCount();
    }
    // Every run ends with no bitmap or icon handle left alive or deleted twice.
    void TearDown() override
    {
        HostFixture::TearDown();
        EXPECT_EQ(tvx::win32::LiveBitmapCount(), bitmaps_) << "bitmap handles left alive";
        EXPECT_EQ(tvx::win32::DoubleDeleteCount(), doubleDeletes_) << "a bitmap handle was deleted twice";
        EXPECT_EQ(tvx::win32::LiveIconCount(), icons_) << "icon handles left alive";
        EXPECT_EQ(tvx::win32::DoubleDestroyIconCount(), doubleDestroys_) << "an icon handle was destroyed twice";
    }

    TestPackageSet packages;

private:
    std::size_t bitmaps_ = 0;
    std::size_t doubleDeletes_ = 0;
    std::size_t icons_ = 0;
    std::size_t doubleDestroys_ = 0;
};

// Catches the entry exported under a decorated or mangled name, or not at all.
TEST_F(WizardLibraryTest, EntryIsFoundByName)
{
    WizardLibrary library;
    ASSERT_TRUE(library.IsOpen()) << ::dlerror();
    EXPECT_NE(library.Entry(), nullptr) << ::dlerror();
}

// Catches state that survives an unload (a second load that sees the first
// one's packages or root) and a library that cannot be loaded again.
TEST_F(WizardLibraryTest, LoadsRunsAndUnloadsTwice)
{
    packages.Add("P1", TestClsid(1), 1);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        packages.Log().Clear();
        WizardLibrary library;
        ASSERT_TRUE(library.IsOpen()) << ::dlerror();
        TWizardInitProc entry = library.Entry();
        ASSERT_NE(entry, nullptr);
        TWizardTerminateProc terminate = nullptr;
        EXPECT_TRUE(entry(Ide().ServicesUnknown(), nullptr, &terminate));
        ASSERT_NE(terminate, nullptr);
        terminate();
        library.Close();
        EXPECT_FALSE(WizardStillMapped()) << "the library stayed loaded after its last close";
        EXPECT_EQ(packages.Log().Entries(), (Names{"Create P1", "Initialize P1", "Finalize P1", "Destroy P1"}));
    }
}

// Catches packages leaked, or finalized, when the library unloads while it
// still holds them.
TEST_F(WizardLibraryTest, UnloadReleasesHeldPackagesWithoutCallingThem)
{
    auto p1 = packages.Add("P1", TestClsid(1), 1);
    {
        WizardLibrary library;
        ASSERT_TRUE(library.IsOpen()) << ::dlerror();
        TWizardTerminateProc terminate = nullptr;
        ASSERT_TRUE(library.Entry()(Ide().ServicesUnknown(), nullptr, &terminate));
    }
    EXPECT_FALSE(Ide().App().OnMessage()) << "the root's message hook outlived the library's code";
    EXPECT_EQ(packages.Log().Entries(), (Names{"Create P1", "Initialize P1", "Destroy P1"}));
    EXPECT_EQ(p1->Alive, 0);
}

} // namespace
