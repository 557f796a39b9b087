// Windows only: starts reading message boxes and debugger output back from
// the system for the recorder, on the calling thread.
#pragma once

namespace tvx::win32::detail {

void StartSystemCapture();

} // namespace tvx::win32::detail
