#include "host/vcl/Dialogs.h"

#include "host/vcl/Forms.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"

void ShowMessage(const String& Msg)
{
    // The VCL's own dialog has no icon; it is owned by the active window,
    // which the application knows and the stand-in does not.
    String caption = Application ? Application->Title() : String();
    MessageBoxW(nullptr, tvx::AsOleChar(Msg.c_str()), tvx::AsOleChar(caption.c_str()), MB_OK);
}
