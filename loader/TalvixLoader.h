// The wizard entry, the package table and the terminate routine.
#pragma once

#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"
#include "loader/LoaderObserver.h"

#include <string>
#include <vector>

namespace talvix {

class TBdsServices;

// The entry the IDE calls once after loading the library.
bool InitWizard(IUnknown* borlandIDEServices, void* registerProc, TWizardTerminateProc* terminate);
// The routine the IDE calls once at shutdown.
void STDMETHODCALLTYPE TerminateWizard();

// Read access for the services root and the windows service.
LONG PackageInfoCount() noexcept;
// Copies record `index` into `out`, adding a reference to Instance; an index
// outside the table raises a range error carrying E_INVALIDARG.
void CopyPackageInfo(LONG index, PackageInfo& out);
// How many packages were created and take part until terminate.
std::size_t LoadedPackageCount() noexcept;
IBdsEditorTabListener* EditorTabListener() noexcept;
TBdsServices* ServicesRoot() noexcept;

void SetLoaderObserver(const TalvixLoaderObserver* observer) noexcept;

} // namespace talvix
