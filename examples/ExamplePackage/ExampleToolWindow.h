// The example package's tool window: a dockable window in the IDE that
// carries a window the package makes itself, with a caption, an icon and a
// sink that logs what the IDE tells it.
#pragma once

#include "interop/TalvixBdsInterop.h"

// Makes the tool window and shows it.
void AddExampleToolWindow(IBdsServices* services);
// Lets go of the tool window and destroys the package's own window.
void RemoveExampleToolWindow();
