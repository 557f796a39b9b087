// A picture of the simulated IDE as a user would see it: the main menu with
// the menus that hold package items opened, the toolbars, the docked and
// floating tool windows and the editor windows' tabs, drawn with cairo.
#pragma once

#include <string>

namespace tvx::sim {

class SimulatedIde;

// Writes the picture to `file`, PNG or SVG by its extension; answers what
// went wrong, or an empty text.
std::string DrawIdePicture(SimulatedIde& ide, const std::string& file);

} // namespace tvx::sim
