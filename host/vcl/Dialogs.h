// Message dialogs. The stand-in shows them through MessageBoxW of the win32
// stand-in, which records them, so a test or the simulator's report sees
// every message the IDE would have put on the screen.
#pragma once

#include "host/vcl/IdeApi.h"
#include "host/vcl/System.h"

// A modal box with the text and a single OK button, captioned with the
// application's title.
TVX_IDE_API void ShowMessage(const String& Msg);
