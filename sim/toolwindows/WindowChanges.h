// What a step did to window handles, as the steps print it: a control's
// handle before and after, and the foreign windows that went with it.
#pragma once

#include "host/vcl/Controls.h"
#include "sim/toolwindows/ToolWindowReport.h"

#include <string>
#include <vector>

namespace tvx::sim {

// The control's window, or null while it has none (asking would make one).
HWND WindowOf(TWinControl* control);
// "hwnd 0x1A", or "no window".
std::string WindowText(HWND window);
// "hwnd 0x1A -> hwnd 0x2B", or "hwnd 0x1A, unchanged".
std::string WindowChange(HWND before, HWND after);

// The windows under a window that someone else made: re-creating the
// window destroys them with it, unless their owner took them out first.
class ForeignWindowWatch {
public:
    explicit ForeignWindowWatch(HWND window);
    // One line for each watched window that is gone now.
    void AddLines(std::vector<std::string>& lines) const;

private:
    std::vector<WindowRecord> foreign_;
};

// The foreign windows under a window (not under another foreign one), each
// with the windows under it.
std::vector<WindowRecord> ForeignWindowsUnder(const WindowRecord& window);

} // namespace tvx::sim
