// What the services tests share: a services root made as the loader makes
// it, the IDE's registry keys, and small package-side objects (message
// handlers, drag-and-drop providers and helpers) that record their calls.
#pragma once

#include "host/win32/Win32.h"
#include "loader/TalvixLoader.h"
#include "services/TalvixBdsServices.h"
#include "sim/IDEServices.h"
#include "tests/support/HostFixture.h"
#include "tests/support/PackageListRegistry.h"
#include "tests/support/TestPackages.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tvx::test {

inline constexpr char16_t kIdeKey[] = u"SOFTWARE\\CodeGear\\BDS\\8.0";

inline void WriteText(HKEY root, const std::u16string& path, const char16_t* name, const std::u16string& value)
{
    EXPECT_EQ(WriteRegistryValue(root, path, name, TextValue(value)), ERROR_SUCCESS);
}

// A message handler whose behaviour each test sets; it notes its calls in
// one shared log ("A", "B").
class RecordingHandler final : public Implements<RecordingHandler, IMessageHandler> {
public:
    RecordingHandler(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}

    HRESULT STDMETHODCALLTYPE HandleMessage(MSG* Msg, VARIANT_BOOL* CallPrevious, VARIANT_BOOL* Handled) override
    {
        log_.push_back(name_);
        if (OnMessage)
            OnMessage(*Msg, *CallPrevious, *Handled);
        return S_OK;
    }

    std::function<void(MSG&, VARIANT_BOOL&, VARIANT_BOOL&)> OnMessage;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

// A drag-and-drop helper with a fixed answer, or failing at one step.
class FixedHelper final : public Implements<FixedHelper, IDragDropHelper> {
public:
    FixedHelper(LONG left, LONG top, std::vector<std::string>& log) : left_(left), top_(top), log_(log) {}

    HRESULT STDMETHODCALLTYPE Execute() override { return Step("Execute"); }
    HRESULT STDMETHODCALLTYPE get_Left(LONG* pRetVal) override
    {
        *pRetVal = left_;
        return Step("get_Left");
    }
    HRESULT STDMETHODCALLTYPE get_Top(LONG* pRetVal) override
    {
        *pRetVal = top_;
        return Step("get_Top");
    }

    std::string FailAt;
    HRESULT Failure = E_FAIL;

private:
    HRESULT Step(const std::string& step)
    {
        log_.push_back(step);
        return step == FailAt ? Failure : S_OK;
    }

    LONG left_, top_;
    std::vector<std::string>& log_;
};

// A provider that answers a given object (or null) and notes each question
// as "<name> <class name>".
class RecordingProvider final : public Implements<RecordingProvider, IDragDropHelperProvider> {
public:
    RecordingProvider(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}

    HRESULT STDMETHODCALLTYPE GetDragDropHelper(BSTR ClassName, IUnknown** Helper) override
    {
        log_.push_back(name_ + " " + Utf16ToUtf8(BstrView(ClassName)));
        *Helper = nullptr;
        Answer.copy_to(Helper);
        return Result;
    }

    IntfPtr<IUnknown> Answer;
    HRESULT Result = S_OK;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class ServicesTest : public HostFixture {
protected:
    // A root made as the loader makes it, in the IDE of this test.
    talvix::TBdsServices& NewRoot() { return *talvix::TBdsServices::Create(); }

    // The IDE's call of the wizard entry, with the packages of the test.
    bool Enter()
    {
        TWizardTerminateProc terminate = nullptr;
        return talvix::InitWizard(Ide().ServicesUnknown(), nullptr, &terminate);
    }
    talvix::TBdsServices& LoaderRoot()
    {
        talvix::TBdsServices* root = talvix::ServicesRoot();
        if (!root)
            throw std::logic_error("the loader made no services root");
        return *root;
    }

    TestPackageSet packages;
};

} // namespace tvx::test
