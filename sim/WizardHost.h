// Loads the wizard library from disk and drives its entry and terminate
// routine, as the IDE does.
#pragma once

#include "interop/TalvixBdsInterop.h"
#include "loader/LoaderObserver.h"

#include <string>

namespace tvx::sim {

class WizardHost {
public:
    explicit WizardHost(std::string path) : path_(std::move(path)) {}
    ~WizardHost();
    WizardHost(const WizardHost&) = delete;
    WizardHost& operator=(const WizardHost&) = delete;

    // False with `error` set when the library or its entry cannot be found.
    bool Load(std::string& error);
    // Calls INITWIZARD0001; the observer is installed first when the library offers the hook.
    bool CallEntry(IUnknown* borlandIDEServices, const TalvixLoaderObserver* observer);
    bool HasTerminate() const noexcept { return terminate_ != nullptr; }
    // Calls the terminate routine once, if the entry gave one.
    void Terminate();
    void Unload();
    const std::string& Path() const noexcept { return path_; }

private:
    std::string path_;
    HMODULE module_ = nullptr;
    TWizardInitProc entry_ = nullptr;
    TalvixSetLoaderObserverProc setObserver_ = nullptr;
    TWizardTerminateProc terminate_ = nullptr;
};

} // namespace tvx::sim
