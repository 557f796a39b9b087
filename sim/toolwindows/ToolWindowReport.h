// The IDE's tool windows as the report shows them: one record per dockable
// form with where it sits and the windows under it, and what the desktop
// did with the forms its registered fields held.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tvx::sim {

// A window and the windows under it, in the order GetWindow walks them.
struct WindowRecord {
    std::uintptr_t Handle = 0;
    std::u16string ClassName;
    // No control of the IDE's owns it: someone made it with CreateWindowExW.
    bool Foreign = false;
    std::vector<WindowRecord> Children;
    std::u16string Text;
    // It and every window above it carry WS_VISIBLE.
    bool Visible = false;
    int ClientWidth = 0;
    int ClientHeight = 0;
};

struct ToolWindowRecord {
    std::u16string Name;
    std::u16string DeskSection;
    std::u16string Caption;
    bool Visible = false;
    bool Dockable = true;
    bool Active = false;
    // Empty while the form floats.
    std::u16string DockSite;
    int Width = 0;
    int Height = 0;
    // The form icon's handle; 0 for none.
    std::uintptr_t Icon = 0;
    std::optional<WindowRecord> Window;
};

// What became of one registered field when the desktop freed its forms.
struct DesktopFieldRecord {
    enum class Outcome {
        Freed,
        // Freeing the form raised; the field is nil all the same.
        Raised,
        Empty,
        // The field held a pointer that is no live form; it is nil now.
        NoLiveForm,
        // The form was already being freed by someone else.
        BeingFreed,
        // An earlier form's OnDestroy let go of the field: it was not touched.
        UnregisteredMeanwhile,
    };
    std::u16string Field;
    Outcome What = Outcome::Empty;
    std::u16string Form;
    std::u16string Error;
};

// "hwnd 0x1A": every window handle the simulator prints has this one form.
std::string WindowHandleText(std::uintptr_t handle);
// "icon 0x2B", or "no icon" for 0.
std::string IconHandleText(std::uintptr_t handle);

// One line for the window and one for each window under it, indented by
// depth; a foreign window's line also has its text, visibility and client size.
std::string WindowTreeText(const WindowRecord& window, int indent);
nlohmann::json WindowTreeJson(const WindowRecord& window);

// One line per tool window, and one per window under it, indented by depth;
// a foreign window's line also has its text, visibility and client size.
std::string ToolWindowsText(const std::vector<ToolWindowRecord>& windows, int indent);
std::string DesktopFieldText(const DesktopFieldRecord& field);
nlohmann::json ToolWindowsJson(const std::vector<ToolWindowRecord>& windows);
nlohmann::json DesktopFieldsJson(const std::vector<DesktopFieldRecord>& fields);

} // namespace tvx::sim
