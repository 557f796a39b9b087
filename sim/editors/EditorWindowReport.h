// The editor windows and the open modules as the report shows them: each
// window's tabs as last painted, where an add-in's frame sits in it and the
// foreign windows under that frame, and which windows show each module.
#pragma once

#include "sim/toolwindows/ToolWindowReport.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace tvx::sim {

struct EditorTabRecord {
    std::u16string Caption;
    int Image = -1;
    int Overlay = -1;
    bool Selected = false;
};

struct EditorWindowRecord {
    enum class Frame {
        None,
        // Over the whole editor area, status bar included.
        OnTop,
        // In the edit control's panel, beside the editor.
        Normal,
        // Anywhere else in the window; FrameParent names where.
        Elsewhere,
    };
    std::u16string Name;
    std::u16string Caption;
    int Width = 0;
    int Height = 0;
    // The file the editor shows; empty for none.
    std::u16string Shows;
    std::vector<EditorTabRecord> Tabs;
    Frame AddInFrame = Frame::None;
    std::u16string FrameParent;
    // The foreign windows under the frame, each with the windows under it.
    std::vector<WindowRecord> FrameWindows;
    bool StatusBarPanelVisible = false;
    // Empty once someone freed the item.
    std::optional<bool> ViewEditorItemVisible;
};

struct ModuleRecord {
    std::u16string FileName;
    // The unit's form; empty for a file without one.
    std::u16string Form;
    bool Modified = false;
    // The windows that show it, oldest first.
    std::vector<std::u16string> Windows;
};

struct EditorWindowsRecord {
    bool Taken = false;
    std::vector<EditorWindowRecord> Windows;
    // The action behind View > New Edit Window; empty when it is gone.
    std::optional<bool> NewEditWindowVisible;
    std::vector<ModuleRecord> Modules;
};

// "tab 0 "Unit1.pas": image 0, overlay -1, selected"
std::string EditorTabText(const EditorTabRecord& tab, int index);
// One block per window, then the action and the modules, indented.
std::string EditorWindowsText(const EditorWindowsRecord& record, int indent);
nlohmann::json EditorWindowsJson(const EditorWindowsRecord& record);

} // namespace tvx::sim
