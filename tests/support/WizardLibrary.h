// The built wizard library opened from disk as the IDE opens it, for the
// end-to-end tests: found by name, entered and unloaded. POSIX only.
#pragma once

#include "interop/TalvixBdsInterop.h"
#include "tests/support/TestSupport.h"

#include <dlfcn.h>

#include <string>

namespace tvx::test {

inline std::string WizardPath() { return BinaryDir() + "/TalvixLoader.so"; }

// The wizard library opened for one test step and closed at its end.
class WizardLibrary {
public:
    WizardLibrary() : handle_(::dlopen(WizardPath().c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~WizardLibrary() { Close(); }
    WizardLibrary(const WizardLibrary&) = delete;
    WizardLibrary& operator=(const WizardLibrary&) = delete;

    bool IsOpen() const noexcept { return handle_ != nullptr; }
    TWizardInitProc Entry() const { return reinterpret_cast<TWizardInitProc>(::dlsym(handle_, tvx::WizardEntryName)); }
    void Close()
    {
        if (handle_)
            ::dlclose(handle_);
        handle_ = nullptr;
    }

private:
    void* handle_;
};

inline bool WizardStillMapped()
{
    void* handle = ::dlopen(WizardPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        ::dlclose(handle);
    return handle != nullptr;
}

} // namespace tvx::test
