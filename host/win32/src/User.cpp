// Message boxes and the foreground window of the emulated desktop.
#include "host/win32/User.h"
#include "host/win32/Kernel.h"
#include "host/win32/src/RecorderState.h"
#include "interop/Bstr.h"

namespace {

// The button Enter presses: the first of the box unless MB_DEFBUTTONn picks another.
int DefaultButton(UINT type)
{
    static constexpr int buttons[][3] = {
        {IDOK, 0, 0},                       // MB_OK
        {IDOK, IDCANCEL, 0},                // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},       // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},            // MB_YESNOCANCEL
        {IDYES, IDNO, 0},                   // MB_YESNO
        {IDRETRY, IDCANCEL, 0},             // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, // MB_CANCELTRYCONTINUE
    };
    const int* row = buttons[type & MB_TYPEMASK];
    UINT index = (type & MB_DEFMASK) >> 8;
    // A default beyond the last button falls back to the first, as a dialog
    // without that button would.
    if (index > 2 || row[index] == 0)
        index = 0;
    return row[index];
}

} // namespace

TVX_WIN32_API int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType)
{
    if ((uType & MB_TYPEMASK) > MB_CANCELTRYCONTINUE) {
        SetLastError(ERROR_INVALID_MSGBOX_STYLE);
        return 0;
    }
    try {
        tvx::win32::MessageBoxRecord record;
        record.owner = hWnd;
        record.text = std::u16string(tvx::WideTextView(lpText));
        record.caption = lpCaption ? std::u16string(tvx::WideTextView(lpCaption)) : u"Error";
        record.flags = uType;
        return tvx::win32::detail::RecordMessageBox(std::move(record), DefaultButton(uType));
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

TVX_WIN32_API HWND GetForegroundWindow() { return tvx::win32::detail::EmulatedForegroundWindow(); }
