// The simulated IDE with its standard toolbars, a toolbar service over it,
// a sink that records every event, and helpers that make toolbars and
// controls as a package does.
#pragma once

#include "host/vcl/ComCtrls.h"
#include "host/vcl/StdCtrls.h"
#include "host/win32/GdiEmulation.h"
#include "host/win32/Recorder.h"
#include "host/win32/RegistryEmulation.h"
#include "host/win32/Win32.h"
#include "host/win32/WindowEmulation.h"
#include "interop/Bstr.h"
#include "sim/SimulatedIde.h"
#include "tests/support/HostFixture.h"
#include "tests/support/TestPackages.h"
#include "tests/support/TestSupport.h"
#include "toolbars/BdsToolBarControls.h"
#include "toolbars/BdsToolBarService.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tvx::test {

// A package's sink: logs "<name> OnClick" (OnChange, OnUpdate) into a log
// shared by the sinks of one test; Does runs inside each event, and
// OnLastRelease when its last reference goes (package code that runs
// wherever the library lets go of the sink).
class RecordingSink final : public Implements<RecordingSink, IBdsToolBarControlEvents> {
public:
    RecordingSink(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    ~RecordingSink() override
    {
        if (OnLastRelease)
            OnLastRelease();
    }

    HRESULT STDMETHODCALLTYPE OnClick() override { return Note("OnClick"); }
    HRESULT STDMETHODCALLTYPE OnChange() override { return Note("OnChange"); }
    HRESULT STDMETHODCALLTYPE OnUpdate() override { return Note("OnUpdate"); }

    std::function<void(const std::string& event)> Does;
    std::function<void()> OnLastRelease;

private:
    HRESULT Note(const std::string& event)
    {
        log_.push_back(name_ + " " + event);
        if (Does)
            Does(event);
        return S_OK;
    }
    std::string name_;
    std::vector<std::string>& log_;
};

// Looks like a toolbar to a package, but this system did not make it.
class ForeignToolBar final : public NotImplementedToolBar<ForeignToolBar> {};

// Looks like a control to a package, but this system did not make it.
class ForeignControl final : public NotImplementedControl<ForeignControl> {};

// A fresh machine with the simulated IDE running, its toolbars not loaded
// yet. Everything a test body holds goes before the IDE does.
class SimulatedIdeFixture : public FreshMachineTest<sim::SimulatedIde> {
protected:
    sim::IdeToolbars& IdeBars() { return Ide().Toolbars(); }
};

// The same with a toolbar service made for the test.
class ToolbarFixture : public SimulatedIdeFixture {
protected:
    void SetUp() override
    {
        SimulatedIdeFixture::SetUp();
        serviceObject = talvix::TBdsToolBarService::Create();
        service = serviceObject->Interface();
    }
    void TearDown() override
    {
        service = nullptr;
        SimulatedIdeFixture::TearDown();
    }

    IntfPtr<IBdsToolBar> AddToolBar(const std::u16string& name, const std::u16string& title = u"Title")
    {
        IntfPtr<IBdsToolBar> toolBar;
        EXPECT_EQ(service->AddToolBar(Bstr(name).get(), Bstr(title).get(), toolBar.put()), S_OK) << "AddToolBar";
        return toolBar;
    }

    static IntfPtr<IBdsToolBarControl> AddControl(IBdsToolBar* toolBar, LONG type)
    {
        IntfPtr<IBdsToolBarControl> control;
        EXPECT_EQ(toolBar->AddControl(type, control.put()), S_OK) << "AddControl " << type;
        return control;
    }

    template <class I>
    static IntfPtr<I> Add(IBdsToolBar* toolBar, LONG type)
    {
        return AddControl(toolBar, type).template as<I>();
    }

    static TToolBar* Native(IBdsToolBar* toolBar)
    {
        auto self = IntfPtr<IBdsToolBar>(toolBar).as<IGetSelf>();
        return static_cast<talvix::TBdsToolBar*>(self->GetSelf())->NativeToolBar();
    }

    static talvix::TBdsToolBarControl* Wrapper(IUnknown* control)
    {
        return talvix::TBdsToolBarControl::FromInterface(IntfPtr<IUnknown>(control).as<IBdsToolBarControl>().get());
    }
    static TToolButton* Button(IUnknown* control)
    {
        return static_cast<talvix::TBdsToolBarButton*>(Wrapper(control))->ToolButton();
    }
    static TComboBox* Combo(IUnknown* control)
    {
        return static_cast<talvix::TBdsToolBarComboBox*>(Wrapper(control))->ComboBox();
    }
    static TLabel* Label(IUnknown* control)
    {
        return static_cast<talvix::TBdsToolBarComboBox*>(Wrapper(control))->CaptionLabel();
    }

    static std::u16string NameOf(IBdsToolBar* toolBar)
    {
        Bstr name;
        toolBar->Get_Name(name.put());
        return name.str();
    }

    IntfPtr<RecordingSink> Sink(const std::string& name)
    {
        return IntfPtr<RecordingSink>(new RecordingSink(name, log));
    }

    talvix::TBdsToolBarService* serviceObject = nullptr;
    IntfPtr<IBdsToolBarService> service;
    std::vector<std::string> log;
};

} // namespace tvx::test
