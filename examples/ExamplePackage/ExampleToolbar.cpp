#include "ExampleToolbar.h"

#include "ExampleBitmaps.h"

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
    std::u16string text = u"ExampleToolbar: " + line;
    OutputDebugStringW(tvx::AsOleChar(text.c_str()));
}

std::u16string Number(long value)
{
    std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

// A green square.
HBITMAP MakeSquareBitmap()
{
    return example::MakeIconBitmap(0x0030A040, [](int x, int y) { return x >= 3 && x < 13 && y >= 3 && y < 13; });
}

struct ExampleToolbar {
    tvx::IntfPtr<IBdsToolBarService> service;
    tvx::IntfPtr<IBdsToolBar> toolBar;
    tvx::IntfPtr<IBdsToolBarButton> button;
    tvx::IntfPtr<IBdsToolBarComboBox> combo;
    int clicks = 0;
    int updates = 0;
};

ExampleToolbar& Toolbar()
{
    static ExampleToolbar toolbar;
    return toolbar;
}

std::u16string ComboText()
{
    tvx::Bstr text;
    if (Toolbar().combo)
        Toolbar().combo->Get_Text(text.put());
    return text.str();
}

class ButtonSink final : public tvx::Implements<ButtonSink, IBdsToolBarControlEvents> {
public:
    HRESULT STDMETHODCALLTYPE OnClick() override
    {
        return tvx::Guarded([&] { Log(u"hello button clicked " + Number(++Toolbar().clicks) + u" time(s)"); });
    }
    HRESULT STDMETHODCALLTYPE OnChange() override { return S_OK; }
    // The button shows itself pressed once it has been clicked.
    HRESULT STDMETHODCALLTYPE OnUpdate() override
    {
        return tvx::Guarded([&] {
            ExampleToolbar& t = Toolbar();
            Log(u"update " + Number(++t.updates));
            if (t.button)
                t.button->Set_Down(t.clicks > 0 ? VARIANT_TRUE : VARIANT_FALSE);
        });
    }
};

class ComboSink final : public tvx::Implements<ComboSink, IBdsToolBarControlEvents> {
public:
    HRESULT STDMETHODCALLTYPE OnClick() override
    {
        return tvx::Guarded([&] { Log(u"configuration picked: " + ComboText()); });
    }
    HRESULT STDMETHODCALLTYPE OnChange() override
    {
        return tvx::Guarded([&] { Log(u"configuration now '" + ComboText() + u"'"); });
    }
    HRESULT STDMETHODCALLTYPE OnUpdate() override { return S_OK; }
};

template <class I>
tvx::IntfPtr<I> AddControl(IBdsToolBar* toolBar, LONG type)
{
    tvx::IntfPtr<IBdsToolBarControl> control;
    if (FAILED(toolBar->AddControl(type, control.put())))
        return nullptr;
    return control.try_as<I>();
}

void SetName(IUnknown* control, const char16_t* name, const char16_t* caption, const char16_t* tip,
             IBdsToolBarControlEvents* sink)
{
    auto common = tvx::IntfPtr<IUnknown>(control).try_as<IBdsToolBarControl>();
    if (!common)
        return;
    common->Set_Name(tvx::Bstr(name).get());
    common->Set_Caption(tvx::Bstr(caption).get());
    common->Set_ToolTip(tvx::Bstr(tip).get());
    common->RegisterEvents(sink);
}

} // namespace

void AddExampleToolbar(IBdsServices* services)
{
    ExampleToolbar& t = Toolbar();
    if (!services || FAILED(services->Get_BdsToolBarService(t.service.put())) || !t.service) {
        Log(u"no toolbar service");
        return;
    }
    if (FAILED(t.service->AddToolBar(tvx::Bstr(u"TalvixExampleToolBar").get(), tvx::Bstr(u"Talvix Example").get(),
                                     t.toolBar.put()))) {
        Log(u"could not add the toolbar");
        return;
    }
    t.button = AddControl<IBdsToolBarButton>(t.toolBar.get(), tvx::bds::kToolBarButton);
    t.toolBar->AddSeparator();
    t.combo = AddControl<IBdsToolBarComboBox>(t.toolBar.get(), tvx::bds::kToolBarEditCombo);
    if (t.button) {
        SetName(t.button.get(), u"TalvixHelloButton", u"Hello", u"Say hello",
                tvx::IntfPtr<IBdsToolBarControlEvents>(new ButtonSink()).get());
        if (FAILED(t.button->SetImage(MakeSquareBitmap())))
            Log(u"the button has no picture");
    }
    if (t.combo) {
        SetName(t.combo.get(), u"TalvixConfigCombo", u"Config", u"Build configuration",
                tvx::IntfPtr<IBdsToolBarControlEvents>(new ComboSink()).get());
        LONG index = 0;
        for (const char16_t* item : {u"Debug", u"Release", u"Profile"})
            t.combo->AddItem(tvx::Bstr(item).get(), &index);
        t.combo->Set_SelectedItem(0);
        t.combo->Set_CaptionVisible(VARIANT_TRUE);
    }
    t.toolBar->Set_Visible(VARIANT_TRUE);
    LONG count = 0;
    t.toolBar->Get_ControlCount(&count);
    Log(u"added the Talvix Example toolbar with " + Number(count) + u" control(s)");
}

void RemoveExampleToolbar()
{
    ExampleToolbar& t = Toolbar();
    // The sinks go first; letting go of a control then takes it off the toolbar.
    if (auto control = t.button.try_as<IBdsToolBarControl>())
        control->RegisterEvents(nullptr);
    if (auto control = t.combo.try_as<IBdsToolBarControl>())
        control->RegisterEvents(nullptr);
    t.button = nullptr;
    t.combo = nullptr;
    if (t.service && t.toolBar)
        t.service->RemoveToolBar(t.toolBar.get());
    t.toolBar = nullptr;
    t.service = nullptr;
}
