#include "sim/toolwindows/WindowChanges.h"

#include "interop/Utf.h"
#include "sim/toolwindows/IdeToolWindows.h"

namespace tvx::sim {

namespace {

// Every foreign window at any depth, each alone: a foreign window's own
// children may have been taken out before it went.
void CollectEveryForeign(const WindowRecord& window, std::vector<WindowRecord>& foreign)
{
    for (const WindowRecord& child : window.Children) {
        if (child.Foreign) {
            WindowRecord alone = child;
            alone.Children.clear();
            foreign.push_back(std::move(alone));
        }
        CollectEveryForeign(child, foreign);
    }
}

void CollectOutermostForeign(const WindowRecord& window, std::vector<WindowRecord>& foreign)
{
    for (const WindowRecord& child : window.Children) {
        if (child.Foreign)
            foreign.push_back(child);
        else
            CollectOutermostForeign(child, foreign);
    }
}

} // namespace

HWND WindowOf(TWinControl* control) { return control->HandleAllocated() ? control->Handle() : nullptr; }

std::string WindowText(HWND window)
{
    return window ? WindowHandleText(reinterpret_cast<std::uintptr_t>(window)) : "no window";
}

std::string WindowChange(HWND before, HWND after)
{
    if (before == after)
        return WindowText(after) + (after ? ", unchanged" : "");
    return WindowText(before) + " -> " + WindowText(after);
}

std::vector<WindowRecord> ForeignWindowsUnder(const WindowRecord& window)
{
    std::vector<WindowRecord> foreign;
    CollectOutermostForeign(window, foreign);
    return foreign;
}

ForeignWindowWatch::ForeignWindowWatch(HWND window)
{
    if (window)
        CollectEveryForeign(IdeToolWindows::DescribeWindow(window), foreign_);
}

void ForeignWindowWatch::AddLines(std::vector<std::string>& lines) const
{
    for (const WindowRecord& w : foreign_)
        if (!IsWindow(reinterpret_cast<HWND>(w.Handle)))
            lines.push_back("the foreign window " + WindowHandleText(w.Handle) + " (" + Utf16ToUtf8(w.ClassName) +
                            ") was destroyed with it");
}

} // namespace tvx::sim
