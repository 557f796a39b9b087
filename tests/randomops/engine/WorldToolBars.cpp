// The toolbar steps of a random run and the toolbar checks.
#include "tests/randomops/engine/World.h"

#include "host/vcl/ComCtrls.h"
#include "host/vcl/StdCtrls.h"
#include "host/win32/Gdi.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"
#include "interop/VariantBool.h"
#include "loader/TalvixLoader.h"
#include "services/TalvixBdsServices.h"
#include "tests/support/TestSupport.h"
#include "toolbars/BdsToolBarControls.h"
#include "toolbars/BdsToolBarService.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace tvx::randomops {

namespace {

talvix::TBdsToolBar* ToolBarOf(IBdsToolBar* toolBar) { return static_cast<talvix::TBdsToolBar*>(toolBar); }
talvix::TBdsToolBarControl* ControlOf(IBdsToolBarControl* control)
{
    return talvix::TBdsToolBarControl::FromInterface(control);
}

// Toolbar names: a package's own, the IDE's (adopted), one the VCL refuses.
std::u16string ToolBarName(std::uint32_t choice)
{
    static const char16_t* const names[] = {u"PkgBar0",      u"PkgBar1",     u"PkgBar2",        u"StandardToolBar",
                                            u"DebugToolBar", u"ViewToolBar", u"DesktopToolBar", u"Bad Name"};
    return names[choice % std::size(names)];
}

std::u16string ControlName(std::uint32_t choice)
{
    static const char16_t* const names[] = {u"PkgCtl0", u"PkgCtl1", u"PkgCtl2", u"PkgCtl3", u"", u"Bad Name"};
    return names[choice % std::size(names)];
}

HBITMAP MaybeBitmap(std::uint32_t choice) { return choice % 4 == 0 ? nullptr : test::MagentaBitmap(); }

bool IsButton(IBdsToolBarControl* control)
{
    return IntfPtr<IBdsToolBarControl>(control).try_as<IBdsToolBarButton>() != nullptr;
}

} // namespace

void World::AddToolBar(const Op& op)
{
    std::u16string name = ToolBarName(op.A);
    IntfPtr<IBdsToolBar> toolBar;
    HRESULT hr = toolBars_->AddToolBar(Bstr(name).get(), Bstr(u"Title").get(), toolBar.put());
    TVX_RANDOMOPS_CHECK(hr == S_OK || (hr == E_INVALIDARG && name == u"Bad Name"), "AddToolBar",
                        "AddToolBar(" + Utf16ToUtf8(name) + ") answered " + Hex(hr));
    TVX_RANDOMOPS_CHECK((hr == S_OK) == bool(toolBar), "AddToolBar", "the result and the answer disagree");
    if (!toolBar)
        return;
    talvix::TBdsToolBar* wrapper = ToolBarOf(toolBar.get());
    TVX_RANDOMOPS_CHECK(wrapper->Open() && wrapper->NativeToolBar()->Name() == name, "AddToolBar",
                        "the new toolbar is not open under its name");
    TVX_RANDOMOPS_CHECK(talvix::ServicesRoot()->BdsToolBarService()->Lists(wrapper), "AddToolBar",
                        "the new toolbar is not listed");
    if (op.B % 8 != 0)
        toolBarHolds_.push_back(toolBar);
}

void World::FindToolBar(const Op& op)
{
    std::u16string name = ToolBarName(op.A);
    IntfPtr<IBdsToolBar> toolBar;
    HRESULT hr = toolBars_->FindToolBar(Bstr(name).get(), toolBar.put());
    TVX_RANDOMOPS_CHECK(hr == S_OK, "FindToolBar", "FindToolBar answered " + Hex(hr));
    if (!toolBar)
        return;
    talvix::TBdsToolBar* wrapper = ToolBarOf(toolBar.get());
    TVX_RANDOMOPS_CHECK(wrapper->Open() && wrapper->NativeToolBar()->Name() == name &&
                            talvix::ServicesRoot()->BdsToolBarService()->Lists(wrapper),
                        "FindToolBar", "FindToolBar answered a toolbar that is not listed under that name");
    if (op.B % 2)
        toolBarHolds_.push_back(toolBar);
}

void World::RemoveToolBar(const Op& op)
{
    if (toolBarHolds_.empty())
        return;
    IntfPtr<IBdsToolBar> toolBar = toolBarHolds_[op.A % toolBarHolds_.size()];
    HRESULT hr = toolBars_->RemoveToolBar(toolBar.get());
    TVX_RANDOMOPS_CHECK(hr == S_OK, "RemoveToolBar", "RemoveToolBar answered " + Hex(hr));
    talvix::TBdsToolBar* wrapper = ToolBarOf(toolBar.get());
    TVX_RANDOMOPS_CHECK(!talvix::ServicesRoot()->BdsToolBarService()->Lists(wrapper), "RemoveToolBar",
                        "a removed toolbar is still listed");
}

void World::SetToolBarProperty(const Op& op)
{
    if (toolBarHolds_.empty())
        return;
    IntfPtr<IBdsToolBar> toolBar = toolBarHolds_[op.A % toolBarHolds_.size()];
    const bool open = ToolBarOf(toolBar.get())->Open();
    const HRESULT live = open ? S_OK : E_UNEXPECTED;
    HRESULT hr = S_OK;
    switch (op.B % 8) {
    case 0:
        hr = toolBar->Set_Name(Bstr(ToolBarName(op.C)).get());
        TVX_RANDOMOPS_CHECK(hr == live || (open && hr == E_INVALIDARG), "ToolBarProperty",
                            "Set_Name answered " + Hex(hr));
        break;
    case 1:
        hr = toolBar->Set_Caption(Bstr(u"Caption").get());
        TVX_RANDOMOPS_CHECK(hr == live, "ToolBarProperty", "Set_Caption answered " + Hex(hr));
        break;
    case 2:
    case 3:
        hr = toolBar->Set_Visible(ToVariantBool(op.C % 4 != 0));
        TVX_RANDOMOPS_CHECK(hr == live, "ToolBarProperty", "Set_Visible answered " + Hex(hr));
        break;
    case 4:
        hr = toolBar->Set_Left(LONG(op.C % 1400) - 50);
        TVX_RANDOMOPS_CHECK(hr == live, "ToolBarProperty", "Set_Left answered " + Hex(hr));
        break;
    case 5:
        hr = toolBar->Set_Top(LONG(op.C % 90));
        TVX_RANDOMOPS_CHECK(hr == live, "ToolBarProperty", "Set_Top answered " + Hex(hr));
        break;
    case 6:
        hr = toolBar->Set_Floating(VARIANT_TRUE);
        TVX_RANDOMOPS_CHECK(hr == (open ? E_NOTIMPL : E_UNEXPECTED), "ToolBarProperty",
                            "Set_Floating answered " + Hex(hr));
        break;
    case 7: {
        LONG width = -1, height = -1;
        TVX_RANDOMOPS_CHECK(toolBar->Get_Width(&width) == live && toolBar->Get_Height(&height) == live,
                            "ToolBarProperty", "reading the size failed");
        TVX_RANDOMOPS_CHECK(open || (width == 0 && height == 0), "ToolBarProperty", "a closed toolbar reads a size");
        break;
    }
    }
}

void World::AddControl(const Op& op)
{
    if (toolBarHolds_.empty())
        return;
    IntfPtr<IBdsToolBar> toolBar = toolBarHolds_[op.A % toolBarHolds_.size()];
    const bool open = ToolBarOf(toolBar.get())->Open();
    LONG type = LONG(op.B % 6);
    IntfPtr<IBdsToolBarControl> control;
    HRESULT hr = toolBar->AddControl(type, control.put());
    HRESULT expected = !open ? E_UNEXPECTED : type >= 1 && type <= 4 ? S_OK : E_FAIL;
    TVX_RANDOMOPS_CHECK(hr == expected, "AddControl", "AddControl(" + std::to_string(type) + ") answered " + Hex(hr));
    TVX_RANDOMOPS_CHECK((hr == S_OK) == bool(control), "AddControl", "the result and the answer disagree");
    if (!control)
        return;
    TVX_RANDOMOPS_CHECK(ControlOf(control.get())->ToolBar() == ToolBarOf(toolBar.get()), "AddControl",
                        "the control does not belong to its toolbar");
    if (op.C % 8 != 0)
        controlHolds_.push_back(control);
}

void World::RemoveControl(const Op& op)
{
    if (toolBarHolds_.empty() || controlHolds_.empty())
        return;
    IntfPtr<IBdsToolBar> toolBar = toolBarHolds_[op.A % toolBarHolds_.size()];
    IntfPtr<IBdsToolBarControl> control = controlHolds_[op.B % controlHolds_.size()];
    // Open or closed, the toolbar ends the control, whichever toolbar it is on.
    HRESULT hr = toolBar->RemoveControl(control.get());
    TVX_RANDOMOPS_CHECK(hr == S_OK, "RemoveControl", "RemoveControl answered " + Hex(hr));
    TVX_RANDOMOPS_CHECK(!ControlOf(control.get())->Live(), "RemoveControl", "a removed control is still live");
}

void World::ClearToolBar(const Op& op)
{
    if (toolBarHolds_.empty())
        return;
    IntfPtr<IBdsToolBar> toolBar = toolBarHolds_[op.A % toolBarHolds_.size()];
    const bool open = ToolBarOf(toolBar.get())->Open();
    HRESULT hr = toolBar->Clear();
    TVX_RANDOMOPS_CHECK(hr == (open ? S_OK : E_UNEXPECTED), "ClearToolBar", "Clear answered " + Hex(hr));
    for (const auto& held : controlHolds_)
        TVX_RANDOMOPS_CHECK(ControlOf(held.get())->ToolBar() != ToolBarOf(toolBar.get()), "ClearToolBar",
                            "a control outlived its toolbar's Clear");
}

void World::SetControlProperty(const Op& op)
{
    if (controlHolds_.empty())
        return;
    IntfPtr<IBdsToolBarControl> control = controlHolds_[op.A % controlHolds_.size()];
    const bool live = ControlOf(control.get())->Live();
    const HRESULT ok = live ? S_OK : E_UNEXPECTED;
    const bool button = IsButton(control.get());
    HRESULT hr = S_OK;
    switch (op.B % 8) {
    case 0: {
        hr = control->Set_Caption(Bstr(u"Go").get());
        TVX_RANDOMOPS_CHECK(hr == ok, "ControlProperty", "Set_Caption answered " + Hex(hr));
        Bstr caption;
        if (button && control->Get_Caption(caption.put()) == S_OK)
            TVX_RANDOMOPS_CHECK(caption.str() == u"Go", "ControlProperty", "the button's caption does not read back");
        break;
    }
    case 1: {
        VARIANT_BOOL flag = ToVariantBool(op.C % 3 != 0);
        hr = control->Set_Enabled(flag);
        TVX_RANDOMOPS_CHECK(hr == ok, "ControlProperty", "Set_Enabled answered " + Hex(hr));
        break;
    }
    case 2:
    case 3:
        hr = control->Set_Visible(ToVariantBool(op.C % 3 != 0));
        TVX_RANDOMOPS_CHECK(hr == ok, "ControlProperty", "Set_Visible answered " + Hex(hr));
        break;
    case 4:
        hr = control->Set_Name(Bstr(ControlName(op.C)).get());
        TVX_RANDOMOPS_CHECK(hr == ok || (live && hr == E_INVALIDARG), "ControlProperty",
                            "Set_Name answered " + Hex(hr));
        break;
    case 5:
        hr = control->Set_ToolTip(Bstr(u"Tip").get());
        TVX_RANDOMOPS_CHECK(hr == ok, "ControlProperty", "Set_ToolTip answered " + Hex(hr));
        break;
    case 6:
        hr = control->Set_ShortCut(LONG(op.C % 0x10000));
        TVX_RANDOMOPS_CHECK(hr == ok, "ControlProperty", "Set_ShortCut answered " + Hex(hr));
        break;
    case 7: {
        Bstr name;
        VARIANT_BOOL visible = 7;
        TVX_RANDOMOPS_CHECK(control->Get_Name(name.put()) == ok && control->Get_Visible(&visible) == ok,
                            "ControlProperty", "reading the control failed");
        TVX_RANDOMOPS_CHECK(live || visible == VARIANT_FALSE, "ControlProperty", "an ended control reads as visible");
        break;
    }
    }
}

void World::SetButtonImage(const Op& op)
{
    if (controlHolds_.empty())
        return;
    IntfPtr<IBdsToolBarControl> control = controlHolds_[op.A % controlHolds_.size()];
    auto button = control.try_as<IBdsToolBarButton>();
    if (!button)
        return;
    HRESULT hr = S_OK;
    if (op.B % 2) {
        hr = button->SetImage(MaybeBitmap(op.C));
    } else {
        VARIANT_BOOL down = ToVariantBool(op.C % 2);
        hr = button->Set_Down(down);
    }
    TVX_RANDOMOPS_CHECK(hr == S_OK || hr == E_FAIL || hr == E_UNEXPECTED, "ButtonImage",
                        "the button answered " + Hex(hr));
}

void World::ComboOperation(const Op& op)
{
    if (controlHolds_.empty())
        return;
    IntfPtr<IBdsToolBarControl> control = controlHolds_[op.A % controlHolds_.size()];
    auto combo = control.try_as<IBdsToolBarComboBox>();
    if (!combo)
        return;
    const bool live = ControlOf(control.get())->Live();
    const HRESULT ok = live ? S_OK : E_UNEXPECTED;
    LONG count = -1;
    HRESULT hr = combo->Get_ItemCount(&count);
    TVX_RANDOMOPS_CHECK(hr == ok && (live || count == 0), "Combo", "Get_ItemCount answered " + Hex(hr));
    const LONG index = LONG(op.C % 6) - 1;
    const bool inRange = index >= 0 && index < count;
    switch (op.B % 9) {
    case 0:
    case 1: {
        LONG at = -1;
        hr = combo->AddItem(Bstr(u"Item").get(), &at);
        TVX_RANDOMOPS_CHECK(hr == ok && (!live || at == count), "Combo", "AddItem answered " + Hex(hr));
        break;
    }
    case 2:
        hr = combo->RemoveItem(index);
        TVX_RANDOMOPS_CHECK(hr == (!live     ? E_UNEXPECTED
                                   : inRange ? S_OK
                                             : E_INVALIDARG),
                            "Combo", "RemoveItem answered " + Hex(hr));
        break;
    case 3:
        hr = combo->SetItem(index, Bstr(u"Other").get());
        TVX_RANDOMOPS_CHECK(hr == (!live     ? E_UNEXPECTED
                                   : inRange ? S_OK
                                             : E_INVALIDARG),
                            "Combo", "SetItem answered " + Hex(hr));
        break;
    case 4: {
        Bstr item;
        hr = combo->GetItem(index, item.put());
        TVX_RANDOMOPS_CHECK(hr == (!live     ? E_UNEXPECTED
                                   : inRange ? S_OK
                                             : E_INVALIDARG),
                            "Combo", "GetItem answered " + Hex(hr));
        break;
    }
    case 5:
        hr = combo->ClearItems();
        TVX_RANDOMOPS_CHECK(hr == ok, "Combo", "ClearItems answered " + Hex(hr));
        break;
    case 6:
        hr = combo->Set_Text(Bstr(u"typed").get());
        TVX_RANDOMOPS_CHECK(hr == ok, "Combo", "Set_Text answered " + Hex(hr));
        break;
    case 7:
        hr = combo->Set_SelectedItem(index);
        TVX_RANDOMOPS_CHECK(hr == ok || (live && hr == E_FAIL), "Combo", "Set_SelectedItem answered " + Hex(hr));
        break;
    case 8:
        hr = combo->Set_CaptionVisible(ToVariantBool(op.C % 2));
        TVX_RANDOMOPS_CHECK(hr == ok, "Combo", "Set_CaptionVisible answered " + Hex(hr));
        break;
    }
}

void World::RegisterControlEvents(const Op& op)
{
    if (controlHolds_.empty())
        return;
    IntfPtr<IBdsToolBarControl> control = controlHolds_[op.A % controlHolds_.size()];
    IntfPtr<HarnessSink> sink;
    if (op.C % 5 != 0) {
        sink = IntfPtr<HarnessSink>(new HarnessSink(*this, op.B));
        sink->ControlOwner = control.get();
    }
    HRESULT hr = control->RegisterEvents(sink.get());
    TVX_RANDOMOPS_CHECK(hr == (ControlOf(control.get())->Live() ? S_OK : E_UNEXPECTED), "RegisterControlEvents",
                        "RegisterEvents answered " + Hex(hr));
}

void World::ClickButton(const Op& op)
{
    std::vector<TToolBar*> bars = ide_->Toolbars().ToolBars();
    if (bars.empty())
        return;
    TToolBar* bar = bars[op.A % bars.size()];
    if (bar->ButtonCount() == 0)
        return;
    int index = int(op.B % std::uint32_t(bar->ButtonCount()));
    // Copies: a package may free the toolbar from inside the click.
    const String barName = bar->Name();
    ide_->Toolbars().ClickButton(barName, Utf8ToUtf16(std::to_string(index)));
}

void World::UseCombo(const Op& op, bool type)
{
    std::vector<TToolBar*> bars = ide_->Toolbars().ToolBars();
    if (bars.empty())
        return;
    TToolBar* bar = bars[op.A % bars.size()];
    std::vector<TComboBox*> combos;
    for (TControl* control : bar->OrderedControls())
        if (auto* combo = dynamic_cast<TComboBox*>(control); combo && !combo->Name().empty())
            combos.push_back(combo);
    if (combos.empty())
        return;
    TComboBox* combo = combos[op.B % combos.size()];
    int count = combo->Items()->Count();
    // Copies: a package may free the combo box from inside its event.
    const String barName = bar->Name();
    const String comboName = combo->Name();
    if (type) {
        // A list-only combo box takes only the text of one of its items.
        if (combo->CanEditText())
            ide_->Toolbars().Type(barName, comboName, op.C % 2 ? u"Item" : u"typed");
        else if (count > 0)
            ide_->Toolbars().Type(barName, comboName,
                                  String(combo->Items()->Strings(int(op.C % std::uint32_t(count)))));
    } else {
        if (count > 0)
            ide_->Toolbars().Pick(barName, comboName, int(op.C % std::uint32_t(count)));
    }
}

void World::IdeFreesToolBar(const Op& op)
{
    // Rarely: the IDE has only a few toolbars of its own.
    if (op.B % 8 != 0)
        return;
    static const char16_t* const standard[] = {u"StandardToolBar", u"ViewToolBar", u"DebugToolBar", u"DesktopToolBar"};
    if (TToolBar* bar = ide_->Toolbars().FindToolBar(standard[op.A % std::size(standard)]))
        bar->Free();
}

void World::CheckToolBars()
{
    std::vector<TToolBar*> natives = ide_->Toolbars().ToolBars();
    auto alive = [&](TToolBar* bar) { return std::find(natives.begin(), natives.end(), bar) != natives.end(); };
    talvix::TBdsToolBarService* service = talvix::ServicesRoot()->BdsToolBarService();

    std::unordered_set<const void*> seen;
    for (const auto& held : toolBarHolds_) {
        talvix::TBdsToolBar* toolBar = ToolBarOf(held.get());
        if (!seen.insert(toolBar).second)
            continue;
        const bool listed = service->Lists(toolBar);
        TVX_RANDOMOPS_CHECK(!toolBar->Open() || alive(toolBar->NativeToolBar()), "ToolBarNative",
                            "an open toolbar's native toolbar is gone from the IDE");
        TVX_RANDOMOPS_CHECK(
            test::RefCount(held.get()) == Holds(toolBarHolds_, held.get()) + (listed ? 1 : 0), "ToolBarReferences",
            "a toolbar has " + std::to_string(test::RefCount(held.get())) + " references, the package holds " +
                std::to_string(Holds(toolBarHolds_, held.get())) + (listed ? " and the service one" : ""));
        if (toolBar->Open()) {
            std::unordered_set<const void*> mine;
            for (const auto& control : controlHolds_)
                if (ControlOf(control.get())->ToolBar() == toolBar)
                    mine.insert(ControlOf(control.get()));
            LONG count = -1;
            TVX_RANDOMOPS_CHECK(held->Get_ControlCount(&count) == S_OK && count == LONG(mine.size()),
                                "ToolBarControlCount",
                                "the toolbar counts " + std::to_string(count) + " controls, the package holds " +
                                    std::to_string(mine.size()));
        }
    }

    seen.clear();
    for (const auto& held : controlHolds_) {
        talvix::TBdsToolBarControl* control = ControlOf(held.get());
        TVX_RANDOMOPS_CHECK(control != nullptr, "ControlIdentity", "a control does not answer as this system's");
        if (!seen.insert(control).second)
            continue;
        TVX_RANDOMOPS_CHECK(test::RefCount(held.get()) == Holds(controlHolds_, held.get()), "ControlReferences",
                            "a control has " + std::to_string(test::RefCount(held.get())) +
                                " references, the package holds " + std::to_string(Holds(controlHolds_, held.get())));
        if (!control->Live())
            continue;
        talvix::TBdsToolBar* toolBar = control->ToolBar();
        TVX_RANDOMOPS_CHECK(toolBar->Open(), "ControlToolBar", "a live control's toolbar is closed");
        TToolBar* native = toolBar->NativeToolBar();
        TVX_RANDOMOPS_CHECK(alive(native), "ControlToolBar", "a live control's native toolbar is gone");
        if (auto* button = dynamic_cast<talvix::TBdsToolBarButton*>(control))
            TVX_RANDOMOPS_CHECK(button->ToolButton() && button->ToolButton()->Parent() == native, "ControlVcl",
                                "a live button is not on its toolbar");
        if (auto* combo = dynamic_cast<talvix::TBdsToolBarComboBox*>(control))
            TVX_RANDOMOPS_CHECK(combo->ComboBox() && combo->ComboBox()->Parent() == native && combo->CaptionLabel() &&
                                    combo->CaptionLabel()->Parent() == native,
                                "ControlVcl", "a live combo box is not on its toolbar");
    }
}

} // namespace tvx::randomops
