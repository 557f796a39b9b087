// Splash and About entries: which host operation is called, with which
// arguments in which order, and what happens without the host's service.
#include "sim/splashabout/SplashAboutServices.h"
#include "tests/services/ServicesFixture.h"

#include <optional>

namespace {

using namespace tvx::test;

HBITMAP Bitmap(std::uintptr_t n) { return reinterpret_cast<HBITMAP>(n); }

// A splash screen that expects only its first operation.
class StrictSplash final : public tvx::Implements<StrictSplash, IOTASplashScreenServices> {
public:
    void AddPluginBitmap(const String& ACaption, HBITMAP ABitmap, bool AIsUnRegistered, const String& ALicenseStatus,
                         const String& ASKUName) override
    {
        line = TSplashPluginLine{ACaption, ABitmap, AIsUnRegistered, ALicenseStatus, ASKUName};
    }
    void StatusMessage(const String&) override { ADD_FAILURE() << "StatusMessage called"; }

    std::optional<TSplashPluginLine> line;
};

// An About box that expects only its sixth operation.
class StrictAboutBox final : public tvx::Implements<StrictAboutBox, IOTAAboutBoxServices> {
public:
    int AddPluginInfo(const String&, const String&, HBITMAP, bool, const String&, const String&) override
    {
        return Unexpected("AddPluginInfo");
    }
    void RemovePluginInfo(int) override { Unexpected("RemovePluginInfo"); }
    int AddProductInfoShort(const String&, const String&, const String&, const String&, HBITMAP, HBITMAP, bool,
                            const String&, const String&) override
    {
        return Unexpected("AddProductInfoShort");
    }
    void RemoveProductInfo(int) override { Unexpected("RemoveProductInfo"); }
    int ProductInfoCount() override { return Unexpected("ProductInfoCount"); }
    int AddProductInfo(const String& ADialogTitle, const String& ACopyright, const String& ATitle,
                       const String& ADescription, HBITMAP AAboutImage, HBITMAP AProductImage, bool AIsUnRegistered,
                       const String& ALicenseStatus, const String& ASKUName, std::int32_t AReserved1,
                       std::int32_t AReserved2) override
    {
        TAboutBoxEntry e;
        e.IsProduct = true;
        e.DialogTitle = ADialogTitle;
        e.Copyright = ACopyright;
        e.Title = ATitle;
        e.Description = ADescription;
        e.AboutImage = AAboutImage;
        e.ProductImage = AProductImage;
        e.IsUnRegistered = AIsUnRegistered;
        e.LicenseStatus = ALicenseStatus;
        e.SKUName = ASKUName;
        entry = e;
        reserved = {AReserved1, AReserved2};
        return 5;
    }

    std::optional<TAboutBoxEntry> entry;
    std::pair<std::int32_t, std::int32_t> reserved{-1, -1};

private:
    int Unexpected(const char* name)
    {
        ADD_FAILURE() << name << " called";
        return 0;
    }
};

class SplashAboutTest : public ServicesTest {
protected:
    void TearDown() override
    {
        SplashScreenServices = nullptr;
        ServicesTest::TearDown();
    }
};

// Catches arguments passed in the interface's order instead of the host's,
// a bitmap lost, or the Boolean taken from one value only.
TEST_F(SplashAboutTest, SplashLineGoesToTheFirstOperationInTheHostsOrder)
{
    tvx::IntfPtr<StrictSplash> splash(new StrictSplash());
    SplashScreenServices = splash.get();
    IBdsServices* root = NewRoot().Interface();
    for (VARIANT_BOOL unregistered : {VARIANT_BOOL(0), VARIANT_TRUE, VARIANT_BOOL(1)}) {
        SCOPED_TRACE(unregistered);
        tvx::Bstr caption(u"Caption"), license(u"Trial"), sku(u"Pro");
        ASSERT_EQ(root->AddSplashInfo(Bitmap(0x51), caption.get(), license.get(), unregistered, sku.get()), S_OK);
        ASSERT_TRUE(splash->line);
        EXPECT_EQ(splash->line->Caption, u"Caption");
        EXPECT_EQ(splash->line->Bitmap, Bitmap(0x51));
        EXPECT_EQ(splash->line->IsUnRegistered, unregistered != 0);
        EXPECT_EQ(splash->line->LicenseStatus, u"Trial");
        EXPECT_EQ(splash->line->SKUName, u"Pro");
    }
}

// Catches a crash, or a failure reported, when the IDE has no splash screen;
// null texts read as empty.
TEST_F(SplashAboutTest, WithoutASplashScreenNothingHappens)
{
    IBdsServices* root = NewRoot().Interface();
    EXPECT_EQ(root->AddSplashInfo(nullptr, nullptr, nullptr, VARIANT_FALSE, nullptr), S_OK);

    tvx::IntfPtr<StrictSplash> splash(new StrictSplash());
    SplashScreenServices = splash.get();
    EXPECT_EQ(root->AddSplashInfo(nullptr, nullptr, nullptr, VARIANT_FALSE, nullptr), S_OK);
    ASSERT_TRUE(splash->line);
    EXPECT_EQ(splash->line->Caption, u"");
}

// Catches the wrong About-box operation, or any argument moved: every text
// is distinct, and the two trailing values are zero.
TEST_F(SplashAboutTest, AboutEntryGoesToTheSixthOperationInTheHostsOrder)
{
    tvx::IntfPtr<StrictAboutBox> about(new StrictAboutBox());
    Ide().Services().AddService<IOTAAboutBoxServices>(about.get());
    IBdsServices* root = NewRoot().Interface();
    tvx::Bstr dialog(u"Dialog"), copyright(u"(c)"), title(u"Title"), description(u"Text"), license(u"Licence"),
        sku(u"SKU");
    ASSERT_EQ(root->AddAboutBoxInfo(Bitmap(0xA1), Bitmap(0xB2), dialog.get(), copyright.get(), title.get(),
                                    description.get(), license.get(), 2, sku.get()),
              S_OK);
    ASSERT_TRUE(about->entry);
    EXPECT_EQ(about->entry->DialogTitle, u"Dialog");
    EXPECT_EQ(about->entry->Copyright, u"(c)");
    EXPECT_EQ(about->entry->Title, u"Title");
    EXPECT_EQ(about->entry->Description, u"Text");
    EXPECT_EQ(about->entry->AboutImage, Bitmap(0xA1));
    EXPECT_EQ(about->entry->ProductImage, Bitmap(0xB2));
    EXPECT_TRUE(about->entry->IsUnRegistered);
    EXPECT_EQ(about->entry->LicenseStatus, u"Licence");
    EXPECT_EQ(about->entry->SKUName, u"SKU");
    EXPECT_EQ(about->reserved, (std::pair<std::int32_t, std::int32_t>{0, 0}));
}

// Catches a missing About box raised into the package or reported as success.
TEST_F(SplashAboutTest, WithoutAnAboutBoxServiceTheCallFailsWithENoInterface)
{
    IBdsServices* root = NewRoot().Interface();
    tvx::Bstr title(u"Title");
    EXPECT_EQ(root->AddAboutBoxInfo(nullptr, nullptr, nullptr, nullptr, title.get(), nullptr, nullptr, VARIANT_FALSE,
                                    nullptr),
              E_NOINTERFACE);
    EXPECT_FALSE(TakeErrorDescription().empty());
}

} // namespace
