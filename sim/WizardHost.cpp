#include "sim/WizardHost.h"

#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"

#include <utility>

namespace tvx::sim {

namespace {
// FARPROC is the generic export type; the export's real type is known here.
template <class Proc>
Proc ProcAddress(HMODULE module, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
} // namespace

WizardHost::~WizardHost() { Unload(); }

bool WizardHost::Load(std::string& error)
{
    std::u16string path = Utf8ToUtf16(path_);
    module_ = LoadLibraryW(AsOleChar(path.c_str()));
    if (!module_) {
        error = "cannot load the wizard library " + path_ + ": " +
                Utf16ToUtf8(win32::SystemErrorMessage(HRESULT_FROM_WIN32(GetLastError())));
        std::string detail = win32::LastLibraryLoadDiagnostic();
        if (!detail.empty())
            error += " (" + detail + ")";
        return false;
    }
    entry_ = ProcAddress<TWizardInitProc>(module_, tvx::WizardEntryName);
    setObserver_ = ProcAddress<TalvixSetLoaderObserverProc>(module_, "TalvixSetLoaderObserver");
    if (!entry_) {
        error = std::string(tvx::WizardEntryName) + " not exported by " + path_;
        return false;
    }
    return true;
}

bool WizardHost::CallEntry(IUnknown* borlandIDEServices, const TalvixLoaderObserver* observer)
{
    if (setObserver_)
        setObserver_(observer);
    return entry_(borlandIDEServices, nullptr, &terminate_);
}

void WizardHost::Terminate()
{
    if (auto terminate = std::exchange(terminate_, nullptr))
        terminate();
}

void WizardHost::Unload()
{
    if (setObserver_)
        setObserver_(nullptr);
    setObserver_ = nullptr;
    entry_ = nullptr;
    terminate_ = nullptr;
    if (HMODULE module = std::exchange(module_, nullptr))
        FreeLibrary(module);
}

} // namespace tvx::sim
