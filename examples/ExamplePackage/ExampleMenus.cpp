#include "ExampleMenus.h"

#include "ExampleBitmaps.h"
#include "ExampleDocument.h"
#include "ExampleModules.h"

#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsConstants.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

void Log(const std::u16string& line)
{
    std::u16string text = u"ExamplePackage: " + line;
    OutputDebugStringW(tvx::AsOleChar(text.c_str()));
}

// Shift, Ctrl and Alt as the IDE's shortcuts encode them.

// A blue diamond.
HBITMAP MakeDiamondBitmap()
{
    return example::MakeIconBitmap(0x002050C0,
                                   [](int x, int y) { return (x < 8 ? 7 - x : x - 8) + (y < 8 ? 7 - y : y - 8) <= 6; });
}

// One click sink per item; what it does is given when it is made.
class MenuClick final : public tvx::Implements<MenuClick, IBdsToolBarControlEvents> {
public:
    using Action = void (*)(IBdsMenuItem* item);
    MenuClick(IBdsMenuItem* item, Action action) : item_(item), action_(action) {}

    HRESULT STDMETHODCALLTYPE OnClick() override
    {
        return tvx::Guarded([&] { action_(item_); });
    }
    HRESULT STDMETHODCALLTYPE OnChange() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUpdate() override { return S_OK; }

private:
    // Not counted: the item holds this sink, and the package holds the item.
    IBdsMenuItem* item_;
    Action action_;
};

struct ExampleMenus {
    tvx::IntfPtr<IBdsMenuItem> submenu, hello, option, document, modified, newUnit, about;
};

ExampleMenus& Menus()
{
    static ExampleMenus menus;
    return menus;
}

std::u16string CaptionOf(IBdsMenuItem* item)
{
    tvx::Bstr caption;
    item->Get_Caption(caption.put());
    return caption.str();
}

void SayHello(IBdsMenuItem* item) { Log(u"clicked '" + CaptionOf(item) + u"': hello from the example package"); }

void ToggleOption(IBdsMenuItem* item)
{
    VARIANT_BOOL checked = VARIANT_FALSE;
    item->Get_Checked(&checked);
    item->Set_Checked(checked ? VARIANT_FALSE : VARIANT_TRUE);
    Log(std::u16string(u"clicked '") + CaptionOf(item) + u"': now " + (checked ? u"off" : u"on"));
}

void ShowDocument(IBdsMenuItem*) { ShowExampleDocument(); }
void ToggleModified(IBdsMenuItem*) { ToggleExampleDocumentModified(); }
void NewUnit(IBdsMenuItem*) { CreateExampleUnit(); }

void ShowAbout(IBdsMenuItem* item) { Log(u"clicked '" + CaptionOf(item) + u"'"); }

void OnClick(IBdsMenuItem* item, MenuClick::Action action)
{
    if (item)
        item->RegisterEvents(tvx::IntfPtr<IBdsToolBarControlEvents>(new MenuClick(item, action)).get());
}

tvx::IntfPtr<IBdsMenuItem> AddItem(IBdsMenuBarService* bar, const char16_t* reference, LONG location,
                                   const char16_t* name, const char16_t* caption, HBITMAP bitmap)
{
    tvx::IntfPtr<IBdsMenuItem> item;
    HRESULT hr = bar->AddMenuItem(tvx::Bstr(reference).get(), location, tvx::Bstr(name).get(), tvx::Bstr(caption).get(),
                                  bitmap, item.put());
    if (FAILED(hr))
        Log(std::u16string(u"could not add ") + name);
    return item;
}

} // namespace

void AddExampleMenus(IBdsServices* services)
{
    tvx::IntfPtr<IBdsMenuBarService> bar;
    if (!services || FAILED(services->Get_BdsMenuBarService(bar.put())) || !bar) {
        Log(u"no menu bar service");
        return;
    }
    using tvx::bds::kMenuItemBefore, tvx::bds::kMenuItemChild;
    ExampleMenus& m = Menus();
    m.submenu = AddItem(bar.get(), u"ToolsMenu\\ToolsOptionsItem", kMenuItemBefore, u"TalvixExampleMenu",
                        u"Talvix E&xample", nullptr);
    if (!m.submenu)
        return;
    const char16_t* path = u"ToolsMenu\\TalvixExampleMenu";
    m.hello = AddItem(bar.get(), path, kMenuItemChild, u"TalvixExampleHello", u"Say &Hello", MakeDiamondBitmap());
    m.option = AddItem(bar.get(), path, kMenuItemChild, u"TalvixExampleOption", u"&Option", nullptr);
    m.document = AddItem(bar.get(), path, kMenuItemChild, u"TalvixExampleDocument", u"Show &Document", nullptr);
    m.modified = AddItem(bar.get(), path, kMenuItemChild, u"TalvixExampleModified", u"Document &Modified", nullptr);
    m.newUnit = AddItem(bar.get(), path, kMenuItemChild, u"TalvixExampleNewUnit", u"New &Notes Unit", nullptr);
    m.about = AddItem(bar.get(), path, kMenuItemChild, u"TalvixExampleAbout", u"&About the Example...", nullptr);
    if (m.hello)
        m.hello->Set_Shortcut(tvx::bds::ShortCut('H', tvx::bds::kShortCutCtrl | tvx::bds::kShortCutAlt));
    if (m.about)
        m.about->Set_BeginGroup(VARIANT_TRUE);
    OnClick(m.hello.get(), &SayHello);
    OnClick(m.option.get(), &ToggleOption);
    OnClick(m.document.get(), &ShowDocument);
    OnClick(m.modified.get(), &ToggleModified);
    OnClick(m.newUnit.get(), &NewUnit);
    OnClick(m.about.get(), &ShowAbout);
    Log(u"added the Tools > Talvix Example menu");
}

void RemoveExampleMenus()
{
    ExampleMenus& m = Menus();
    // Children first, then the submenu that holds them.
    for (auto* item : {&m.about, &m.newUnit, &m.modified, &m.document, &m.option, &m.hello, &m.submenu}) {
        if (*item)
            (*item)->RegisterEvents(nullptr);
        *item = nullptr;
    }
}
