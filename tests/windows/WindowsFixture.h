// What the windows tests share: a package's control and sink that record
// what the IDE tells them and answer what a test wants, and a fresh IDE with
// a services root and its windows service.
#pragma once

#include "host/win32/Win32.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "services/TalvixBdsServices.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "tests/support/HostFixture.h"

#include <functional>
#include <string>
#include <vector>

namespace tvx::test {

// The package's control: the window it made, or whatever answer a test wants.
class PackageControl final : public tvx::Implements<PackageControl, IWin32Window> {
public:
    HRESULT STDMETHODCALLTYPE Get_Handle(LONG* Handle) override
    {
        *Handle = LONG(reinterpret_cast<LONG_PTR>(Window));
        return Result;
    }
    HWND Window = nullptr;
    HRESULT Result = S_OK;
};

class PackageSink final : public tvx::Implements<PackageSink, IBdsWindowEvents> {
public:
    HRESULT STDMETHODCALLTYPE OnWindowClose() override { return Heard("close"); }
    HRESULT STDMETHODCALLTYPE OnWindowActivate() override { return Heard("activate"); }
    HRESULT STDMETHODCALLTYPE OnGetIconHandle(LONG* Handle) override
    {
        *Handle = Icon ? Icon() : 0;
        return Heard("icon");
    }
    std::vector<std::string> Log;
    // Runs after each call is logged.
    std::function<void(const std::string&)> Then;
    // The tab image handed over.
    std::function<LONG()> Icon;

private:
    HRESULT Heard(const std::string& what)
    {
        Log.push_back(what);
        if (Then)
            Then(what);
        return S_OK;
    }
};

class WindowsServiceTest : public FreshMachineTest<sim::SimulatedIde> {
protected:
    void SetUp() override
    {
        FreshMachineTest::SetUp();
        root = talvix::TBdsServices::Create();
        root->Interface()->Get_BdsWindowsService(service.put());
        ASSERT_TRUE(service);
        packageWindow = NewPackageWindow();
        control = new PackageControl;
        control->Window = packageWindow;
        controlRef = control->Identity();
        sink = new PackageSink;
        sinkRef = sink->Identity();
    }
    void TearDown() override
    {
        if (IsWindow(packageWindow))
            DestroyWindow(packageWindow);
        FreshMachineTest::TearDown();
    }
    // A top-level window of the package's own, hidden.
    static HWND NewPackageWindow()
    {
        return CreateWindowExW(0, u"Static", u"package", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    // Runs scenario steps as the user would; each must succeed.
    void Step(const std::string& text)
    {
        sim::ScenarioRunner runner;
        Ide().RegisterCommands(runner);
        for (auto& result : runner.Run(runner.Parse(text)))
            ASSERT_EQ(result.Error, "") << text;
    }

    talvix::TBdsServices* root = nullptr;
    IntfPtr<IBdsWindowsService> service;
    HWND packageWindow = nullptr;
    PackageControl* control = nullptr;
    IntfPtr<IUnknown> controlRef;
    PackageSink* sink = nullptr;
    IntfPtr<IUnknown> sinkRef;
};

} // namespace tvx::test
