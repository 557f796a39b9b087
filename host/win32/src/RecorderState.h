// The recorder's side used by the emulated functions themselves.
#pragma once

#include "host/win32/Recorder.h"

namespace tvx::win32::detail {

// Records the box and returns the answer: the first queued one, else `defaultAnswer`.
int RecordMessageBox(MessageBoxRecord record, int defaultAnswer);
void RecordDebugString(std::u16string text);
void RecordShellLaunch(ShellLaunchRecord record);
HWND EmulatedForegroundWindow();

} // namespace tvx::win32::detail
