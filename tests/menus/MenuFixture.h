// A small IDE main menu behind INTAServices, the menu bar service over it,
// and a click sink that counts, for the menu tests.
#pragma once

#include "host/vcl/ImgList.h"
#include "host/vcl/Menus.h"
#include "host/win32/GdiEmulation.h"
#include "host/win32/Recorder.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "menus/BdsMenuBarService.h"
#include "tests/support/HostFixture.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace tvx::test {

// A package's click sink: counts each event; OnClickDoes runs inside OnClick.
class CountingEvents final : public Implements<CountingEvents, IBdsToolBarControlEvents> {
public:
    HRESULT STDMETHODCALLTYPE OnClick() override
    {
        ++Clicks;
        if (OnClickDoes)
            OnClickDoes();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnChange() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUpdate() override { return S_OK; }

    int Clicks = 0;
    std::function<void()> OnClickDoes;
};

// The IDE's items are owned by a form, as in the IDE; the menu:
//   FileMenu: FileOpenItem, N1 "-", FileSaveItem, FileExitItem
//   ToolsMenu: Tool0 .. Tool4
//   HelpMenu: HelpAboutItem
class MenuFixture : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        liveBitmaps_ = win32::LiveBitmapCount();
        doubleDeletes_ = win32::DoubleDeleteCount();
        BuildMenu();
        native_ = IntfPtr<INTAServices>(new FakeNativeServices());
        Native().MainMenu = menu_;
        Native().ImageList = images_;
        Ide().Services().AddService<INTAServices>(native_.get());
        service_ = talvix::TBdsMenuBarService::Create();
    }

    void TearDown() override
    {
        DestroyService();
        delete form_;
        form_ = nullptr;
        native_ = nullptr;
        HostFixture::TearDown();
        // Every test leaves the GDI as it found it.
        EXPECT_EQ(win32::LiveBitmapCount(), liveBitmaps_) << "bitmap handles leaked";
        EXPECT_EQ(win32::DoubleDeleteCount(), doubleDeletes_) << "a bitmap handle was deleted twice";
    }

    void BuildMenu()
    {
        form_ = new TComponent(nullptr);
        images_ = new TImageList(form_);
        menu_ = new TMainMenu(form_);
        menu_->SetImages(images_);
        TMenuItem* file = AddIdeItem(menu_->Items(), u"FileMenu", u"&File");
        AddIdeItem(file, u"FileOpenItem", u"&Open...");
        AddIdeItem(file, u"N1", u"-");
        AddIdeItem(file, u"FileSaveItem", u"&Save");
        AddIdeItem(file, u"FileExitItem", u"E&xit");
        TMenuItem* tools = AddIdeItem(menu_->Items(), u"ToolsMenu", u"&Tools");
        for (char16_t n = u'0'; n <= u'4'; ++n)
            AddIdeItem(tools, std::u16string(u"Tool") + n, std::u16string(u"Tool &") + n);
        TMenuItem* help = AddIdeItem(menu_->Items(), u"HelpMenu", u"&Help");
        AddIdeItem(help, u"HelpAboutItem", u"&About...");
    }

    TMenuItem* AddIdeItem(TMenuItem* parent, const String& name, const String& caption)
    {
        auto* item = new TMenuItem(form_);
        item->SetName(name);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    }

    // A service over the current menu, unless one is running.
    void StartService()
    {
        if (!service_)
            service_ = talvix::TBdsMenuBarService::Create();
    }
    bool ServiceRunning() const noexcept { return service_ != nullptr; }

    // Runs the service's destructor, which nothing in the product does.
    void DestroyService() { delete std::exchange(service_, nullptr); }

    FakeNativeServices& Native() { return *static_cast<FakeNativeServices*>(native_.get()); }
    talvix::TBdsMenuBarService& Service() { return *service_; }
    IBdsMenuBarService* Bar() { return service_->Interface(); }
    TMainMenu* Menu() { return menu_; }
    TCustomImageList* Images() { return images_; }
    TComponent* Form() { return form_; }

    // The IDE's own lookup, independent of the service under test.
    TMenuItem* Item(std::u16string_view path)
    {
        TMenuItem* item = menu_->Items();
        while (item && !path.empty()) {
            std::size_t slash = std::min(path.find(u'\\'), path.size());
            TMenuItem* next = nullptr;
            for (int i = 0; i < item->Count() && !next; ++i)
                if (item->Items(i)->Name() == path.substr(0, slash))
                    next = item->Items(i);
            item = next;
            path.remove_prefix(std::min(slash + 1, path.size()));
        }
        return item;
    }

    std::vector<String> ChildNames(std::u16string_view path)
    {
        std::vector<String> names;
        TMenuItem* parent = Item(path);
        for (int i = 0; i < parent->Count(); ++i)
            names.push_back(parent->Items(i)->Name());
        return names;
    }

    IntfPtr<IBdsMenuItem> Get(std::u16string_view path)
    {
        IntfPtr<IBdsMenuItem> item;
        EXPECT_EQ(Bar()->GetMenuItem(Bstr(path).get(), item.put()), S_OK);
        return item;
    }

    IntfPtr<IBdsMenuItem> Add(std::u16string_view reference, LONG location, std::u16string_view name,
                              std::u16string_view caption, HBITMAP bitmap = nullptr, HRESULT expected = S_OK)
    {
        IntfPtr<IBdsMenuItem> item;
        EXPECT_EQ(Bar()->AddMenuItem(Bstr(reference).get(), location, Bstr(name).get(), Bstr(caption).get(), bitmap,
                                     item.put()),
                  expected);
        return item;
    }

    IntfPtr<IBdsMenuItem> Insert(std::u16string_view parent, LONG index, std::u16string_view name,
                                 HBITMAP bitmap = nullptr, HRESULT expected = S_OK)
    {
        IntfPtr<IBdsMenuItem> item;
        EXPECT_EQ(
            Bar()->InsertMenuItem(Bstr(parent).get(), index, Bstr(name).get(), Bstr(name).get(), bitmap, item.put()),
            expected);
        return item;
    }

    static std::u16string NameOf(IBdsMenuItem* item)
    {
        Bstr name;
        EXPECT_EQ(item->Get_Name(name.put()), S_OK);
        return name.str();
    }

private:
    TComponent* form_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TImageList* images_ = nullptr;
    IntfPtr<INTAServices> native_;
    talvix::TBdsMenuBarService* service_ = nullptr;
    std::size_t liveBitmaps_ = 0;
    std::size_t doubleDeletes_ = 0;
};

} // namespace tvx::test
