// What the example package does with the services root beyond reading it:
// splash and About entries, a message handler, a drag-and-drop helper,
// help, and the IDE's shortcuts.
#pragma once

#include "interop/TalvixBdsInterop.h"

// From Initialize: adds the entries, registers the handler and the helper
// provider, and reports the package's own services as initialized.
void StartExampleServices(IBdsServices* services);
// From OnServicesReady: asks whether the IDE uses a few keys.
void ExampleServicesReady();
// From Finalize: lets the services go while the loader is still there.
void StopExampleServices();
