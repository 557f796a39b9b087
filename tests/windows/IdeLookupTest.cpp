// The lookups of IDE objects by class names, captions and module names: the
// fallback to an open module's view, whole and case-sensitive class names,
// and the module index a package passes.
#include "sim/editors/IdeEditorWindows.h"
#include "tests/windows/WindowsFixture.h"
#include "windows/BdsIdeUtils.h"

namespace {

using tvx::IntfPtr;

// Editor services whose top view is gone, as while the IDE switches views.
class NoTopView final : public tvx::Implements<NoTopView, IOTAEditorServices> {
public:
    IntfPtr<IOTAEditView> GetTopView() override { return nullptr; }
    int AddNotifier(INTAEditServicesNotifier*) override { return -1; }
    void RemoveNotifier(int) override {}
};

// Named like the edit control, but another class.
class TEditControlEx final : public TWinControl {
    TVX_CLASS(TEditControlEx, TWinControl)
    using TWinControl::TWinControl;
};
TVX_DEFINE_CLASS(TEditControlEx)

class IdeLookupTest : public tvx::test::WindowsServiceTest {
protected:
    tvx::sim::TEditWindow& Window() { return *Ide().EditorWindows().Front(); }
};

// Catches the routines that must not use the module fallback using it, and
// the others missing it.
TEST_F(IdeLookupTest, OnlyTheEditorRoutinesFallBackToAModulesView)
{
    ASSERT_EQ(talvix::GetEditControlParent(), Window().EditControlPanel());
    Ide().Services().AddService<IOTAEditorServices>(new NoTopView);
    EXPECT_TRUE(talvix::GetTopEditView()) << "Unit1.pas's view, found past its form file";
    EXPECT_EQ(talvix::FindEditWindowComponent(u"TIDEGradientTabSet"), Window().TabSet());
    EXPECT_EQ(talvix::GetEditWindowStatusBar(), Window().StatusBar());
    EXPECT_EQ(talvix::GetEditControlParent(), nullptr);
    talvix::SetViewEditorMenuItemVisible(false);
    EXPECT_TRUE(Window().ViewEditorItem()->Visible());
    LONG index = 0;
    EXPECT_EQ(service->DocumentFrameOnTop(&index), S_OK);
    EXPECT_EQ(index, -1);
}

// Catches a class name matched by prefix or ignoring case.
TEST_F(IdeLookupTest, ClassNamesMatchWholeAndCaseSensitive)
{
    EXPECT_EQ(talvix::FindEditWindowComponent(u"TIDEGradientTabSet"), Window().TabSet());
    EXPECT_EQ(talvix::FindEditWindowComponent(u"TIdeGradientTabSet"), nullptr);
    EXPECT_EQ(talvix::FindEditWindowComponent(u"TIDEGradientTab"), nullptr);
    auto* impostor = new TEditControlEx(&Window());
    impostor->SetParent(Window().EditorArea());
    Window().Editor()->Free();
    EXPECT_EQ(talvix::GetEditControlParent(), nullptr);
}

// Catches a module looked up by name when the index is outside the list,
// or the module at the index used when its file name differs.
TEST_F(IdeLookupTest, TheModuleIndexDecidesWhetherAModuleIsLookedFor)
{
    const String unit = u"C:\\Projects\\Demo\\Unit1.pas", project = u"C:\\Projects\\Demo\\Project1.dpr";
    ASSERT_EQ(Ide().Modules().Count(), 2);
    EXPECT_EQ(talvix::FindDocumentModule(unit, 0)->GetFileName(), unit);
    EXPECT_EQ(talvix::FindDocumentModule(project, 0)->GetFileName(), project);
    EXPECT_EQ(talvix::FindDocumentModule(u"c:\\projects\\demo\\project1.dpr", 1)->GetFileName(), project)
        << "a name differing in case only is looked up by name";
    EXPECT_FALSE(talvix::FindDocumentModule(unit, 2));
    EXPECT_FALSE(talvix::FindDocumentModule(unit, -1));
    EXPECT_FALSE(talvix::FindDocumentModule(u"C:\\Elsewhere\\Unit1.pas", 0));
}

} // namespace
