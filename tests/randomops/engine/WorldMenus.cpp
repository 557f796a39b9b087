// The menu steps of a random run and the menu checks.
#include "tests/randomops/engine/World.h"

#include "host/vcl/Graphics.h"
#include "host/vcl/Menus.h"
#include "host/vcl/SysUtils.h"
#include "host/win32/Gdi.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"
#include "interop/VariantBool.h"
#include "loader/TalvixLoader.h"
#include "menus/BdsMenuBarService.h"
#include "menus/BdsMenuItem.h"
#include "services/TalvixBdsServices.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <functional>
#include <unordered_set>

namespace tvx::randomops {

namespace {

std::string U8(std::u16string_view text) { return Utf16ToUtf8(text); }

talvix::TBdsMenuItem* WrapperOf(IBdsMenuItem* item) { return static_cast<talvix::TBdsMenuItem*>(item); }

// Names a package gives its items: a few, so that they meet again; an
// unnamed one; one the VCL refuses.
std::u16string ItemName(std::uint32_t choice)
{
    static const char16_t* const names[] = {u"PkgItem0", u"PkgItem1", u"PkgItem2", u"PkgItem3",
                                            u"PkgItem4", u"pkgitem1", u"",         u"Bad Name"};
    return names[choice % std::size(names)];
}

// A package's bitmap: magenta with a blue centre, or none.
HBITMAP MaybeBitmap(std::uint32_t choice) { return choice % 3 != 0 ? nullptr : test::MagentaBitmap(); }

void Walk(TMenuItem* item, std::unordered_set<TMenuItem*>& seen)
{
    TVX_RANDOMOPS_CHECK(seen.insert(item).second, "MenuTree", "an item appears twice in the menu tree");
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        TVX_RANDOMOPS_CHECK(child->Parent() == item, "MenuTree", "a child's parent is not the item holding it");
        Walk(child, seen);
    }
}

} // namespace

std::vector<std::pair<TMenuItem*, std::u16string>> World::MenuPaths()
{
    std::vector<std::pair<TMenuItem*, std::u16string>> paths;
    std::function<void(TMenuItem*, const std::u16string&)> walk = [&](TMenuItem* item, const std::u16string& path) {
        paths.emplace_back(item, path);
        for (int i = 0; i < item->Count(); ++i) {
            TMenuItem* child = item->Items(i);
            if (child->Name().empty())
                continue;
            walk(child, path.empty() ? child->Name() : path + u"\\" + child->Name());
        }
    };
    walk(ide_->MainMenu().Menu()->Items(), u"");
    return paths;
}

// A path of an item the package can name, or one that names nothing; the
// item it names (null for none) goes to *item.
std::u16string World::PathChoice(std::uint32_t choice, TMenuItem** item)
{
    auto paths = MenuPaths();
    std::size_t index = choice % (paths.size() + 2);
    if (index >= paths.size()) {
        if (item)
            *item = nullptr;
        return index == paths.size() ? u"NoSuchMenu\\NoSuchItem" : u"FileMenu\\NoSuchItem";
    }
    if (item)
        *item = paths[index].first;
    return paths[index].second;
}

void World::GetMenuItem(const Op& op)
{
    TMenuItem* expected = nullptr;
    std::u16string path = PathChoice(op.A, &expected);
    IntfPtr<IBdsMenuItem> item;
    HRESULT hr = menus_->GetMenuItem(Bstr(path).get(), item.put());
    TVX_RANDOMOPS_CHECK(hr == S_OK, "GetMenuItem", "GetMenuItem(" + U8(path) + ") answered " + Hex(hr));
    TVX_RANDOMOPS_CHECK((item ? WrapperOf(item.get())->MenuItem() : nullptr) == expected, "GetMenuItem",
                        "GetMenuItem(" + U8(path) + ") answered the wrong item");
    if (item)
        TVX_RANDOMOPS_CHECK(talvix::ServicesRoot()->BdsMenuBarService()->MenuItems().FindByItem(expected) ==
                                WrapperOf(item.get()),
                            "GetMenuItem", "the wrapper handed out is not the one the service lists");
    if (item && op.B % 4 != 0)
        menuHolds_.push_back(item);
}

void World::AddMenuItem(const Op& op, bool insert)
{
    TMenuItem* reference = nullptr;
    std::u16string path = PathChoice(op.A, &reference);
    std::u16string name = ItemName(op.C);
    std::u16string caption = u"Caption " + std::u16string(1, char16_t(u'A' + (op.C >> 4) % 26));
    HBITMAP bitmap = MaybeBitmap(op.C >> 12);
    IntfPtr<IBdsMenuItem> item;
    HRESULT hr;
    TMenuItem* parent = nullptr;
    int position = -1;
    if (insert) {
        LONG index = LONG(op.B % 8) - 1;
        parent = reference;
        hr = menus_->InsertMenuItem(Bstr(path).get(), index, Bstr(name).get(), Bstr(caption).get(), bitmap, item.put());
        TVX_RANDOMOPS_CHECK(hr == S_OK || hr == E_INVALIDARG, "InsertMenuItem", "InsertMenuItem answered " + Hex(hr));
        TVX_RANDOMOPS_CHECK(!item || reference, "InsertMenuItem",
                            "an item was made under a parent that does not exist");
        // No parent, or a negative index, places nothing and is no error.
        TVX_RANDOMOPS_CHECK(hr != S_OK || bool(item) == (reference && index >= 0), "InsertMenuItem",
                            "InsertMenuItem answered S_OK " + std::string(item ? "with" : "without") + " an item");
        if (hr == S_OK && !item)
            return;
    } else {
        LONG location = LONG(op.B % 4);
        parent = location >= 2 ? reference : reference ? reference->Parent() : nullptr;
        if (reference && location < 2 && parent)
            position = reference->MenuIndex() + (location == 1 ? 1 : 0);
        hr = menus_->AddMenuItem(Bstr(path).get(), location, Bstr(name).get(), Bstr(caption).get(), bitmap, item.put());
        TVX_RANDOMOPS_CHECK(hr == S_OK || hr == E_INVALIDARG, "AddMenuItem", "AddMenuItem answered " + Hex(hr));
        TVX_RANDOMOPS_CHECK(hr == S_OK || !reference || !parent || name == u"Bad Name" || !name.empty(), "AddMenuItem",
                            "AddMenuItem refused an unnamed item at a valid place");
    }
    TVX_RANDOMOPS_CHECK((hr == S_OK) == bool(item), "AddMenuItem", "the result and the answer disagree");
    if (!item)
        return;
    TMenuItem* made = WrapperOf(item.get())->MenuItem();
    TVX_RANDOMOPS_CHECK(made && made->Parent() == parent, "AddMenuItem",
                        "the item is not under " + (parent ? U8(parent->Name()) : std::string("nothing")));
    if (!name.empty())
        TVX_RANDOMOPS_CHECK(SameText(made->Name(), name), "AddMenuItem",
                            "the item found or made is not named " + U8(name));
    else if (position >= 0)
        TVX_RANDOMOPS_CHECK(made->MenuIndex() == position, "AddMenuItem",
                            "the unnamed item is not where it was asked for");
    if (op.B % 16 < 12)
        menuHolds_.push_back(item);
}

void World::RemoveMenuItem(const Op& op)
{
    TMenuItem* item = nullptr;
    std::u16string path = PathChoice(op.A, &item);
    HRESULT hr = menus_->RemoveMenuItem(Bstr(path).get());
    TVX_RANDOMOPS_CHECK(hr == S_OK, "RemoveMenuItem", "RemoveMenuItem(" + U8(path) + ") answered " + Hex(hr));
    // The item stays in the menu while the package holds its wrapper, but
    // the service no longer lists one for it.
    TVX_RANDOMOPS_CHECK(!talvix::ServicesRoot()->BdsMenuBarService()->MenuItems().FindByItem(item), "RemoveMenuItem",
                        "the service still lists a wrapper for " + U8(path));
}

void World::SetMenuItemProperty(const Op& op)
{
    if (menuHolds_.empty())
        return;
    IntfPtr<IBdsMenuItem> item = menuHolds_[op.A % menuHolds_.size()];
    talvix::TBdsMenuItem* wrapper = WrapperOf(item.get());
    TMenuItem* target = wrapper->MenuItem();
    const HRESULT live = target ? S_OK : E_UNEXPECTED;
    const VARIANT_BOOL flag = ToVariantBool(op.C % 2);
    HRESULT hr = S_OK;
    auto readBack = [&](auto get, auto expected, const char* what) {
        decltype(expected) value{};
        HRESULT read = (item.get()->*get)(&value);
        TVX_RANDOMOPS_CHECK(read == live, "MenuItemProperty",
                            std::string("reading ") + what + " answered " + Hex(read));
        if (read == S_OK)
            TVX_RANDOMOPS_CHECK(value == expected, "MenuItemProperty", std::string(what) + " does not read back");
    };
    switch (op.B % 8) {
    case 0: {
        std::u16string caption = u"Cap" + std::u16string(1, char16_t(u'a' + op.C % 26));
        hr = item->Set_Caption(Bstr(caption).get());
        TVX_RANDOMOPS_CHECK(hr == live, "MenuItemProperty", "Set_Caption answered " + Hex(hr));
        Bstr read;
        if (item->Get_Caption(read.put()) == S_OK)
            TVX_RANDOMOPS_CHECK(read.str() == caption, "MenuItemProperty", "the caption does not read back");
        break;
    }
    case 1:
        hr = item->Set_Enabled(flag);
        TVX_RANDOMOPS_CHECK(hr == live, "MenuItemProperty", "Set_Enabled answered " + Hex(hr));
        readBack(&IBdsMenuItem::Get_Enabled, flag, "Enabled");
        break;
    case 2:
        hr = item->Set_Visible(flag);
        TVX_RANDOMOPS_CHECK(hr == live, "MenuItemProperty", "Set_Visible answered " + Hex(hr));
        readBack(&IBdsMenuItem::Get_Visible, flag, "Visible");
        break;
    case 3:
        hr = item->Set_Checked(flag);
        TVX_RANDOMOPS_CHECK(hr == live, "MenuItemProperty", "Set_Checked answered " + Hex(hr));
        readBack(&IBdsMenuItem::Get_Checked, flag, "Checked");
        break;
    case 4: {
        static const LONG shortcuts[] = {0, 0x4053, 0x2070, 0x10000, -1};
        LONG value = shortcuts[op.C % std::size(shortcuts)];
        hr = item->Set_Shortcut(value);
        bool valid = value >= 0 && value <= 0xFFFF;
        TVX_RANDOMOPS_CHECK(hr == (target ? (valid ? S_OK : E_INVALIDARG) : E_UNEXPECTED), "MenuItemProperty",
                            "Set_Shortcut answered " + Hex(hr));
        if (valid)
            readBack(&IBdsMenuItem::Get_Shortcut, value, "Shortcut");
        break;
    }
    case 5:
    case 6: {
        // Turning a group off frees the separator before the item, whoever made it.
        if (target && !flag && target->MenuIndex() > 0) {
            TMenuItem* before = target->Parent()->Items(target->MenuIndex() - 1);
            if (before->IsLine())
                mayFree_.insert(before);
        }
        hr = item->Set_BeginGroup(flag);
        TVX_RANDOMOPS_CHECK(hr == live || (target && hr == E_INVALIDARG), "MenuItemProperty",
                            "Set_BeginGroup answered " + Hex(hr));
        break;
    }
    case 7: {
        Bstr name;
        hr = item->Get_Name(name.put());
        TVX_RANDOMOPS_CHECK(hr == live, "MenuItemProperty", "Get_Name answered " + Hex(hr));
        if (target)
            TVX_RANDOMOPS_CHECK(name.str() == target->Name(), "MenuItemProperty", "Get_Name is not the item's name");
        LONG count = -1;
        hr = item->Get_ChildCount(&count);
        TVX_RANDOMOPS_CHECK(hr == live && (!target || count == target->Count()), "MenuItemProperty",
                            "Get_ChildCount answered " + Hex(hr) + " with " + std::to_string(count));
        VARIANT_BOOL group = 7;
        hr = item->Get_BeginGroup(&group);
        TVX_RANDOMOPS_CHECK(hr == live, "MenuItemProperty", "Get_BeginGroup answered " + Hex(hr));
        break;
    }
    }
}

void World::NavigateMenuItem(const Op& op)
{
    if (menuHolds_.empty())
        return;
    IntfPtr<IBdsMenuItem> item = menuHolds_[op.A % menuHolds_.size()];
    TMenuItem* target = WrapperOf(item.get())->MenuItem();
    IntfPtr<IBdsMenuItem> found;
    HRESULT hr = S_OK;
    TMenuItem* expected = nullptr;
    TMenuItem* parent = target ? target->Parent() : nullptr;
    switch (op.B % 4) {
    case 0:
        hr = item->Get_ParentMenuItem(found.put());
        expected = parent;
        break;
    case 1:
        hr = item->Get_NextMenuItem(found.put());
        if (parent && target->MenuIndex() + 1 < parent->Count())
            expected = parent->Items(target->MenuIndex() + 1);
        break;
    case 2:
        hr = item->Get_PrevMenuItem(found.put());
        if (parent && target->MenuIndex() > 0)
            expected = parent->Items(target->MenuIndex() - 1);
        break;
    case 3: {
        LONG index = target ? LONG(op.C % std::uint32_t(target->Count() + 2)) - 1 : 0;
        hr = item->ChildMenuItem(index, found.put());
        if (target && index >= 0 && index < target->Count())
            expected = target->Items(index);
        break;
    }
    }
    TVX_RANDOMOPS_CHECK(hr == (target ? S_OK : E_UNEXPECTED), "NavigateMenuItem", "navigation answered " + Hex(hr));
    TVX_RANDOMOPS_CHECK((found ? WrapperOf(found.get())->MenuItem() : nullptr) == expected, "NavigateMenuItem",
                        "navigation found the wrong item");
    if (found && op.C % 2)
        menuHolds_.push_back(found);
}

void World::IdeFreesMenuItem(const Op& op)
{
    // Rarely, and never a whole top-level menu: a long run keeps a menu to work on.
    if (op.B % 8 != 0)
        return;
    // Mostly its own items; sometimes one a package made (the IDE rebuilding
    // a menu frees whatever is in it).
    TMenuItem* root = ide_->MainMenu().Menu()->Items();
    std::vector<TMenuItem*> candidates;
    if (op.C % 4 != 0) {
        for (const auto& [item, parent] : ideItems_)
            if (parent != root)
                candidates.push_back(item);
    } else {
        for (const auto& [item, path] : MenuPaths())
            if (item->Parent() && item->Parent() != root && item->Owner() == ide_->MainMenu().Menu())
                candidates.push_back(item);
    }
    if (candidates.empty())
        return;
    TMenuItem* doomed = candidates[op.A % candidates.size()];
    std::function<void(TMenuItem*)> allow = [&](TMenuItem* item) {
        mayFree_.insert(item);
        for (int i = 0; i < item->Count(); ++i)
            allow(item->Items(i));
    };
    allow(doomed);
    doomed->Free();
}

void World::CheckMenus()
{
    std::unordered_set<TMenuItem*> tree;
    Walk(ide_->MainMenu().Menu()->Items(), tree);

    // The IDE's own items: freed only by the IDE or by a group turned off,
    // the others still in place.
    for (TComponent* gone : freed_) {
        auto it = ideItems_.find(static_cast<TMenuItem*>(gone));
        if (it == ideItems_.end())
            continue;
        TVX_RANDOMOPS_CHECK(mayFree_.count(it->first) != 0, "IdeItemFreed",
                            "one of the IDE's own menu items was freed");
        ideItems_.erase(it);
    }
    freed_.clear();
    for (const auto& [item, parent] : ideItems_)
        TVX_RANDOMOPS_CHECK(tree.count(item) && item->Parent() == parent, "IdeItemMoved",
                            "the IDE's item " + U8(item->Name()) + " left its place");

    // The service's list: one wrapper per item, every item in the menu.
    talvix::TMenuItems& listed = talvix::ServicesRoot()->BdsMenuBarService()->MenuItems();
    std::unordered_set<TMenuItem*> wrapped;
    {
        TThreadList::Locked list(listed);
        for (void* p : *list) {
            TMenuItem* item = static_cast<talvix::TBdsMenuItem*>(p)->MenuItem();
            TVX_RANDOMOPS_CHECK(item != nullptr, "MenuWrapperList", "an ended wrapper is still listed");
            TVX_RANDOMOPS_CHECK(tree.count(item) != 0, "MenuWrapperList", "a listed wrapper's item is not in the menu");
            TVX_RANDOMOPS_CHECK(wrapped.insert(item).second, "MenuWrapperList", "two listed wrappers share one item");
        }
    }

    // The package's wrappers: each item in the menu or the wrapper ended,
    // and at least the package's references counted.
    for (const auto& held : menuHolds_) {
        TMenuItem* item = WrapperOf(held.get())->MenuItem();
        TVX_RANDOMOPS_CHECK(!item || tree.count(item), "HeldMenuWrapper", "a held wrapper's item is not in the menu");
        TVX_RANDOMOPS_CHECK(test::RefCount(held.get()) >= Holds(menuHolds_, held.get()), "MenuWrapperReferences",
                            "a menu wrapper has fewer references than the package holds");
    }
}

} // namespace tvx::randomops
