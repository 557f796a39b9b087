// The example package and the IDE's modules: a notifier on the module that
// is current when the services are ready (it logs saves, changes and
// renames), a notifier on the editor windows, and a unit of its own made
// through a module creator.
#pragma once

#include "interop/TalvixBdsInterop.h"

void StartExampleModules(IBdsServices* services);
// Makes the unit ExampleNotes.pas from the package's own source.
void CreateExampleUnit();
// Takes both notifiers off and lets go of everything.
void StopExampleModules();
