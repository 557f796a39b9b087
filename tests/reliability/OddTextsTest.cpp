// Texts a package passes as BSTRs: null, empty, a megabyte long, with
// embedded NULs, with unpaired surrogates. Captions, hints, combo items,
// help keywords and splash lines keep every unit exactly (a null BSTR reads
// as empty); names the VCL refuses are refused with E_INVALIDARG and leave
// nothing behind; lookups by such texts find nothing.
#include "tests/reliability/ReliabilityFixture.h"

#include "host/vcl/ComCtrls.h"
#include "sim/splashabout/IdeSplashAbout.h"
#include "sim/splashabout/SplashAboutServices.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

// A name the VCL accepts: empty, or an identifier.
bool IsIdentifier(const std::u16string& text)
{
    if (text.empty())
        return true;
    auto letter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
    if (!letter(text[0]))
        return false;
    return std::all_of(text.begin(), text.end(), [&](char16_t c) { return letter(c) || (c >= u'0' && c <= u'9'); });
}

class OddTextsTest : public BadPackageTest {
protected:
    // Runs `use` with each odd text as a BSTR the package owns.
    template <class Use>
    void ForEachText(Use&& use)
    {
        for (const OddText& text : OddTexts()) {
            SCOPED_TRACE(text.Name);
            Bstr owned = Bstr::Attach(AllocOddText(text));
            use(text, owned.get());
        }
    }
};

// Catches texts cut at a NUL, surrogates replaced or dropped on the way
// through UTF-8, and a null BSTR read through.
TEST_F(OddTextsTest, CaptionsHintsAndItemsKeepEveryUnit)
{
    IntfPtr<IBdsMenuItem> item = bad->HeldAs<IBdsMenuItem>("item");
    IntfPtr<IBdsToolBar> toolBar = bad->HeldAs<IBdsToolBar>("toolbar");
    IntfPtr<IBdsToolBarControl> button = bad->HeldAs<IBdsToolBarControl>("button");
    IntfPtr<IBdsToolBarControl> combo = bad->HeldAs<IBdsToolBarControl>("combo");
    IntfPtr<IBdsToolBarComboBox> comboBox = combo.as<IBdsToolBarComboBox>();
    ForEachText([&](const OddText& text, BSTR b) {
        Bstr read;
        EXPECT_EQ(item->Set_Caption(b), S_OK);
        EXPECT_EQ(item->Get_Caption(read.put()), S_OK);
        EXPECT_EQ(read.str(), text.Text) << "menu caption";
        EXPECT_EQ(toolBar->Set_Caption(b), S_OK);
        EXPECT_EQ(toolBar->Get_Caption(read.put()), S_OK);
        EXPECT_EQ(read.str(), text.Text) << "toolbar caption";
        EXPECT_EQ(button->Set_Caption(b), S_OK);
        EXPECT_EQ(button->Get_Caption(read.put()), S_OK);
        EXPECT_EQ(read.str(), text.Text) << "button caption";
        EXPECT_EQ(button->Set_ToolTip(b), S_OK);
        EXPECT_EQ(button->Get_ToolTip(read.put()), S_OK);
        EXPECT_EQ(read.str(), text.Text) << "button hint";
        EXPECT_EQ(combo->Set_Caption(b), S_OK);
        EXPECT_EQ(combo->Get_Caption(read.put()), S_OK);
        EXPECT_EQ(read.str(), text.Text + u" ") << "combo caption";
        EXPECT_EQ(combo->Set_ToolTip(b), S_OK);
        EXPECT_EQ(combo->Get_ToolTip(read.put()), S_OK);
        EXPECT_EQ(read.str(), text.Text) << "combo hint";
        EXPECT_EQ(comboBox->Set_Text(b), S_OK);
        EXPECT_EQ(comboBox->Get_Text(read.put()), S_OK);
        EXPECT_EQ(read.str(), text.Text) << "combo text";
        LONG index = -1;
        EXPECT_EQ(comboBox->AddItem(b, &index), S_OK);
        EXPECT_EQ(comboBox->GetItem(index, read.put()), S_OK);
        EXPECT_EQ(read.str(), text.Text) << "combo item";
        EXPECT_EQ(comboBox->SetItem(0, b), S_OK);
        EXPECT_EQ(comboBox->GetItem(0, read.put()), S_OK);
        EXPECT_EQ(read.str(), text.Text) << "combo item replaced";
    });
    ExpectWitnessWorks();
}

// Catches odd texts lost on the way to the IDE's help, splash screen and
// About box, and lookups that match them to something.
TEST_F(OddTextsTest, HelpSplashAndLookupsTakeOddTextsAsTheyAre)
{
    IBdsServices* services = bad->Services.get();
    IntfPtr<IBdsHelpService> help;
    ASSERT_EQ(services->Get_BdsHelpService(help.put()), S_OK);
    IntfPtr<IBdsMenuBarService> menuBar = MenuBar(services);
    IntfPtr<IBdsToolBarService> toolBars = ToolBars(services);
    const auto& splash = Ide().SplashAbout().Splash();
    const auto& about = Ide().SplashAbout().AboutBox();
    ForEachText([&](const OddText& text, BSTR b) {
        EXPECT_EQ(help->ShowHelpByKeyword(b), S_OK);
        ASSERT_FALSE(Ide().App().HelpKeywords().empty());
        EXPECT_EQ(Ide().App().HelpKeywords().back(), text.Text);
        EXPECT_EQ(services->AddSplashInfo(nullptr, b, b, VARIANT_FALSE, b), S_OK);
        ASSERT_FALSE(splash.PluginLines().empty());
        EXPECT_EQ(splash.PluginLines().back().Caption, text.Text);
        EXPECT_EQ(services->AddAboutBoxInfo(nullptr, nullptr, b, b, b, b, b, VARIANT_FALSE, b), S_OK);
        ASSERT_FALSE(about.Entries().empty());
        EXPECT_EQ(about.Entries().back().Description, text.Text);

        VARIANT_BOOL registered = VARIANT_TRUE;
        EXPECT_EQ(services->Get_IsComponentRegistered(b, &registered), S_OK);
        EXPECT_EQ(registered, VARIANT_FALSE);
        IntfPtr<IBdsToolBar> found;
        EXPECT_EQ(toolBars->FindToolBar(b, found.put()), S_OK);
        EXPECT_EQ(found, nullptr);
        if (!text.Text.empty()) {
            // An empty path is the root; any other odd path names nothing.
            IntfPtr<IBdsMenuItem> item;
            EXPECT_EQ(menuBar->GetMenuItem(b, item.put()), S_OK);
            EXPECT_EQ(item, nullptr);
            EXPECT_EQ(menuBar->RemoveMenuItem(b), S_OK);
        }
    });
    ExpectWitnessWorks();
}

// Catches a name the VCL refuses that still leaves an item, toolbar or
// changed control behind, or that is reported as success.
TEST_F(OddTextsTest, OddNamesAreRefusedOrTakenWhole)
{
    IBdsServices* services = bad->Services.get();
    IntfPtr<IBdsMenuBarService> menuBar = MenuBar(services);
    IntfPtr<IBdsToolBarService> toolBars = ToolBars(services);
    IntfPtr<IBdsToolBarControl> button = bad->HeldAs<IBdsToolBarControl>("button");
    const std::size_t toolbarCount = Ide().Toolbars().ToolBars().size();
    int n = 0;
    ForEachText([&](const OddText& text, BSTR b) {
        const bool valid = IsIdentifier(text.Text);
        const std::string key = "odd" + std::to_string(n++);
        TMenuItem* help = Ide().MainMenu().Find(u"HelpMenu");
        const int children = help->Count();
        IntfPtr<IBdsMenuItem> item;
        EXPECT_EQ(menuBar->AddMenuItem(Bstr(u"HelpMenu").get(), kChildItem, b, Bstr(u"Odd").get(), MagentaBitmap(),
                                       item.put()),
                  valid ? S_OK : E_INVALIDARG);
        EXPECT_EQ(item != nullptr, valid);
        EXPECT_EQ(help->Count(), children + (valid ? 1 : 0)) << "placed only when accepted";
        bad->Hold(key + "item", item);

        IntfPtr<IBdsToolBar> bar;
        EXPECT_EQ(toolBars->AddToolBar(b, Bstr(u"Odd").get(), bar.put()), valid ? S_OK : E_INVALIDARG);
        EXPECT_EQ(bar != nullptr, valid);
        if (bar) {
            Bstr name;
            EXPECT_EQ(bar->Get_Name(name.put()), S_OK);
            EXPECT_EQ(name.str(), text.Text);
            EXPECT_EQ(toolBars->RemoveToolBar(bar.get()), S_OK);
        }
        EXPECT_EQ(Ide().Toolbars().ToolBars().size(), toolbarCount);

        EXPECT_EQ(button->Set_Name(b), valid ? S_OK : E_INVALIDARG);
        Bstr name;
        EXPECT_EQ(button->Get_Name(name.put()), S_OK);
        EXPECT_EQ(name.str(), valid ? text.Text : u"BadButton");
        EXPECT_EQ(button->Set_Name(Bstr(u"BadButton").get()), S_OK);
    });
    ExpectWitnessWorks();
}

} // namespace
