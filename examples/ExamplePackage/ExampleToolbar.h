// The example package's toolbar: a button with a picture, a separator and an
// editable combo box with a caption, each with a sink that logs what the
// user does and the IDE's update calls.
#pragma once

#include "interop/TalvixBdsInterop.h"

// Makes the toolbar and shows it; it stays while the package holds it.
void AddExampleToolbar(IBdsServices* services);
// Lets go of the controls and removes the toolbar from the IDE.
void RemoveExampleToolbar();
