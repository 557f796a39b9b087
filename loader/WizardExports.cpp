// The wizard library's exports: the entry the IDE looks up by name, and the
// loader's diagnostics hook.
#include "loader/TalvixLoader.h"

TVX_EXPORT bool STDMETHODCALLTYPE INITWIZARD0001(IUnknown* BorlandIDEServices, void* RegisterProc,
                                                 TWizardTerminateProc* Terminate)
{
    return talvix::InitWizard(BorlandIDEServices, RegisterProc, Terminate);
}

TVX_EXPORT void TalvixSetLoaderObserver(const TalvixLoaderObserver* observer) { talvix::SetLoaderObserver(observer); }
