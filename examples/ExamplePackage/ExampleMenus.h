// The example package's menus: a submenu under Tools with a picture, a
// shortcut, a check mark, a begin-group separator and click handlers.
#pragma once

#include "interop/TalvixBdsInterop.h"

// Adds the submenu; the items stay while the package holds them.
void AddExampleMenus(IBdsServices* services);
// Lets go of every item: the IDE takes them out of its menu.
void RemoveExampleMenus();
