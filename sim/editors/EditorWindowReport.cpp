#include "sim/editors/EditorWindowReport.h"

#include "interop/Utf.h"

#include <sstream>

namespace tvx::sim {

namespace {

std::string U8(const std::u16string& s) { return Utf16ToUtf8(s); }

std::string Quoted(const std::u16string& s) { return "\"" + U8(s) + "\""; }

const char* FrameName(EditorWindowRecord::Frame frame)
{
    using Frame = EditorWindowRecord::Frame;
    switch (frame) {
    case Frame::None: return "none";
    case Frame::OnTop: return "on top";
    case Frame::Normal: return "normal";
    case Frame::Elsewhere: return "elsewhere";
    }
    return "none";
}

const char* FrameKey(EditorWindowRecord::Frame frame)
{
    using Frame = EditorWindowRecord::Frame;
    switch (frame) {
    case Frame::None: return "none";
    case Frame::OnTop: return "onTop";
    case Frame::Normal: return "normal";
    case Frame::Elsewhere: return "elsewhere";
    }
    return "none";
}

std::string VisibleText(const std::optional<bool>& visible)
{
    return visible ? (*visible ? "visible" : "hidden") : "gone";
}

nlohmann::json OptionalJson(const std::optional<bool>& value) { return value ? nlohmann::json(*value) : nullptr; }

void WindowText(std::ostringstream& out, const EditorWindowRecord& w, const std::string& pad)
{
    out << pad << "[" << U8(w.Name) << "] " << Quoted(w.Caption) << ", size " << w.Width << "x" << w.Height
        << ", the editor shows " << (w.Shows.empty() ? "nothing" : U8(w.Shows)) << "\n";
    const std::string inner = pad + "    ";
    if (w.Tabs.empty())
        out << inner << "no tabs\n";
    for (std::size_t i = 0; i < w.Tabs.size(); ++i)
        out << inner << EditorTabText(w.Tabs[i], int(i)) << "\n";
    out << inner << "add-in frame: " << FrameName(w.AddInFrame);
    if (w.AddInFrame != EditorWindowRecord::Frame::None)
        out << " (in " << U8(w.FrameParent) << ")";
    out << "\n";
    for (const WindowRecord& window : w.FrameWindows)
        out << WindowTreeText(window, int(inner.size()) + 4);
    out << inner << "status bar panel: " << (w.StatusBarPanelVisible ? "visible" : "hidden") << "\n";
    out << inner << "View Editor item: " << VisibleText(w.ViewEditorItemVisible) << "\n";
}

} // namespace

std::string EditorTabText(const EditorTabRecord& tab, int index)
{
    return "tab " + std::to_string(index) + " " + Quoted(tab.Caption) + ": image " + std::to_string(tab.Image) +
           ", overlay " + std::to_string(tab.Overlay) + (tab.Selected ? ", selected" : "");
}

std::string EditorWindowsText(const EditorWindowsRecord& record, int indent)
{
    std::ostringstream out;
    const std::string pad(std::size_t(indent), ' ');
    if (record.Windows.empty())
        out << pad << "no editor window is open\n";
    for (const EditorWindowRecord& w : record.Windows)
        WindowText(out, w, pad);
    out << pad << "New Edit Window action (ViewNewEditorCommand): " << VisibleText(record.NewEditWindowVisible) << "\n";
    out << pad << "Modules (" << record.Modules.size() << " open):\n";
    for (const ModuleRecord& m : record.Modules) {
        out << pad << "    " << U8(m.FileName);
        if (!m.Form.empty())
            out << " (form " << U8(m.Form) << ")";
        out << (m.Modified ? ": modified" : ": not modified") << ", shown in ";
        if (m.Windows.empty())
            out << "no window";
        for (std::size_t i = 0; i < m.Windows.size(); ++i)
            out << (i ? ", " : "") << U8(m.Windows[i]);
        out << "\n";
    }
    return out.str();
}

nlohmann::json EditorWindowsJson(const EditorWindowsRecord& record)
{
    nlohmann::json windows = nlohmann::json::array();
    for (const EditorWindowRecord& w : record.Windows) {
        nlohmann::json tabs = nlohmann::json::array();
        for (const EditorTabRecord& t : w.Tabs)
            tabs.push_back(
                {{"caption", U8(t.Caption)}, {"image", t.Image}, {"overlay", t.Overlay}, {"selected", t.Selected}});
        nlohmann::json frameWindows = nlohmann::json::array();
        for (const WindowRecord& window : w.FrameWindows)
            frameWindows.push_back(WindowTreeJson(window));
        windows.push_back({{"name", U8(w.Name)},
                           {"caption", U8(w.Caption)},
                           {"width", w.Width},
                           {"height", w.Height},
                           {"shows", U8(w.Shows)},
                           {"tabs", tabs},
                           {"addInFrame", FrameKey(w.AddInFrame)},
                           {"frameParent", U8(w.FrameParent)},
                           {"frameWindows", frameWindows},
                           {"statusBarPanelVisible", w.StatusBarPanelVisible},
                           {"viewEditorItemVisible", OptionalJson(w.ViewEditorItemVisible)}});
    }
    nlohmann::json modules = nlohmann::json::array();
    for (const ModuleRecord& m : record.Modules) {
        nlohmann::json shownIn = nlohmann::json::array();
        for (const auto& name : m.Windows)
            shownIn.push_back(U8(name));
        modules.push_back(
            {{"fileName", U8(m.FileName)}, {"form", U8(m.Form)}, {"modified", m.Modified}, {"windows", shownIn}});
    }
    return {{"windows", windows},
            {"newEditWindowVisible", OptionalJson(record.NewEditWindowVisible)},
            {"modules", modules}};
}

} // namespace tvx::sim
