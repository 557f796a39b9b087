#include "sim/toolwindows/ToolWindowReport.h"

#include "interop/Utf.h"

#include <cstdio>
#include <sstream>

namespace tvx::sim {

namespace {

std::string U8(const std::u16string& s) { return Utf16ToUtf8(s); }

std::string Quoted(const std::u16string& s) { return "\"" + U8(s) + "\""; }

void WindowText(std::ostringstream& out, const WindowRecord& window, const std::string& pad)
{
    out << pad << WindowHandleText(window.Handle) << " " << U8(window.ClassName);
    // What the package put there, which the IDE knows nothing about.
    if (window.Foreign)
        out << ", foreign, " << Quoted(window.Text) << (window.Visible ? ", visible" : ", hidden") << ", client "
            << window.ClientWidth << "x" << window.ClientHeight;
    out << "\n";
    for (const auto& child : window.Children)
        WindowText(out, child, pad + "    ");
}

nlohmann::json WindowJson(const WindowRecord& window)
{
    nlohmann::json children = nlohmann::json::array();
    for (const auto& child : window.Children)
        children.push_back(WindowJson(child));
    return {{"handle", WindowHandleText(window.Handle)},
            {"class", U8(window.ClassName)},
            {"foreign", window.Foreign},
            {"text", U8(window.Text)},
            {"visible", window.Visible},
            {"clientWidth", window.ClientWidth},
            {"clientHeight", window.ClientHeight},
            {"children", children}};
}

const char* OutcomeName(DesktopFieldRecord::Outcome what)
{
    using Outcome = DesktopFieldRecord::Outcome;
    switch (what) {
    case Outcome::Freed: return "freed";
    case Outcome::Raised: return "raised";
    case Outcome::Empty: return "empty";
    case Outcome::NoLiveForm: return "noLiveForm";
    case Outcome::BeingFreed: return "beingFreed";
    case Outcome::UnregisteredMeanwhile: return "unregisteredMeanwhile";
    }
    return "empty";
}

} // namespace

std::string WindowTreeText(const WindowRecord& window, int indent)
{
    std::ostringstream out;
    WindowText(out, window, std::string(std::size_t(indent), ' '));
    return out.str();
}

nlohmann::json WindowTreeJson(const WindowRecord& window) { return WindowJson(window); }

std::string WindowHandleText(std::uintptr_t handle)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "hwnd 0x%llX", static_cast<unsigned long long>(handle));
    return buffer;
}

std::string IconHandleText(std::uintptr_t handle)
{
    if (!handle)
        return "no icon";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "icon 0x%llX", static_cast<unsigned long long>(handle));
    return buffer;
}

std::string ToolWindowsText(const std::vector<ToolWindowRecord>& windows, int indent)
{
    std::ostringstream out;
    const std::string pad(std::size_t(indent), ' ');
    for (const auto& w : windows) {
        out << pad << "[" << U8(w.Name) << "] section " << U8(w.DeskSection) << " " << Quoted(w.Caption)
            << (w.Visible ? ", visible" : ", hidden")
            << (w.DockSite.empty() ? ", floating" : ", docked in " + U8(w.DockSite)) << ", size " << w.Width << "x"
            << w.Height << (w.Active ? ", active" : "") << (w.Dockable ? "" : ", not dockable") << ", "
            << IconHandleText(w.Icon) << "\n";
        if (w.Window)
            WindowText(out, *w.Window, pad + "    ");
        else
            out << pad << "    no window\n";
    }
    return out.str();
}

std::string DesktopFieldText(const DesktopFieldRecord& field)
{
    using Outcome = DesktopFieldRecord::Outcome;
    const std::string head = "field " + U8(field.Field) + ": ";
    switch (field.What) {
    case Outcome::Freed: return head + "freed " + U8(field.Form);
    case Outcome::Raised: return head + "freeing " + U8(field.Form) + " raised: " + U8(field.Error);
    case Outcome::Empty: return head + "empty";
    case Outcome::NoLiveForm: return head + "held no live form, set to nil";
    case Outcome::BeingFreed: return head + U8(field.Form) + " was already being freed, set to nil";
    case Outcome::UnregisteredMeanwhile: return head + "unregistered meanwhile, not touched";
    }
    return head;
}

nlohmann::json ToolWindowsJson(const std::vector<ToolWindowRecord>& windows)
{
    nlohmann::json list = nlohmann::json::array();
    for (const auto& w : windows)
        list.push_back({{"name", U8(w.Name)},
                        {"deskSection", U8(w.DeskSection)},
                        {"caption", U8(w.Caption)},
                        {"visible", w.Visible},
                        {"dockable", w.Dockable},
                        {"active", w.Active},
                        {"floating", w.DockSite.empty()},
                        {"dockSite", w.DockSite.empty() ? nlohmann::json() : nlohmann::json(U8(w.DockSite))},
                        {"width", w.Width},
                        {"height", w.Height},
                        {"icon", w.Icon ? nlohmann::json(IconHandleText(w.Icon)) : nlohmann::json()},
                        {"window", w.Window ? WindowJson(*w.Window) : nlohmann::json()}});
    return list;
}

nlohmann::json DesktopFieldsJson(const std::vector<DesktopFieldRecord>& fields)
{
    nlohmann::json list = nlohmann::json::array();
    for (const auto& f : fields)
        list.push_back(
            {{"field", U8(f.Field)}, {"outcome", OutcomeName(f.What)}, {"form", U8(f.Form)}, {"error", U8(f.Error)}});
    return list;
}

} // namespace tvx::sim
