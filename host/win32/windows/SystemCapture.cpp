// What Windows showed, read back from Windows itself: each message box is read
// from its own dialog (caption, text, buttons, icon, default button) by a
// thread hook and answered by pressing one of its buttons, and debugger output
// is taken from the exception OutputDebugString raises for a debugger.
#include "host/win32/windows/SystemCapture.h"
#include "host/win32/src/RecorderState.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tvx::win32::detail {
namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr wchar_t kSeenProperty[] = L"TalvixRecordedBox";

std::u16string WindowText(HWND window)
{
    std::u16string text(std::size_t(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(std::size_t(GetWindowTextW(window, reinterpret_cast<LPWSTR>(text.data()), int(text.size()))));
    return text;
}

// The MB_ type from the set of buttons the box shows.
UINT ButtonsType(HWND box)
{
    auto has = [box](int id) { return GetDlgItem(box, id) != nullptr; };
    if (has(IDABORT) && has(IDRETRY))
        return MB_ABORTRETRYIGNORE;
    if (has(IDTRYAGAIN))
        return MB_CANCELTRYCONTINUE;
    if (has(IDYES))
        return has(IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
    if (has(IDRETRY))
        return MB_RETRYCANCEL;
    return has(IDCANCEL) ? MB_OKCANCEL : MB_OK;
}

UINT IconType(HWND box)
{
    struct Known {
        LPCWSTR id;
        UINT flag;
    };
    static const std::array<Known, 4> known{{{IDI_HAND, MB_ICONHAND},
                                             {IDI_QUESTION, MB_ICONQUESTION},
                                             {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                             {IDI_ASTERISK, MB_ICONASTERISK}}};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        HICON shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        for (const Known& k : known)
            if (shown && shown == LoadIconW(nullptr, k.id))
                return k.flag;
    }
    return 0;
}

int DefaultButton(HWND box)
{
    const LRESULT id = SendMessageW(box, DM_GETDEFID, 0, 0);
    return HIWORD(id) == DC_HASDEFID ? int(LOWORD(id)) : IDOK;
}

UINT DefaultButtonFlag(HWND box, int defaultId)
{
    static const std::array<int, 11> order{IDOK, IDCANCEL, IDABORT, IDRETRY,    IDIGNORE,  IDYES,
                                           IDNO, IDCLOSE,  IDHELP,  IDTRYAGAIN, IDCONTINUE};
    UINT position = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (std::find(order.begin(), order.end(), id) == order.end())
            continue;
        if (id == defaultId)
            return position << 8;
        ++position;
    }
    return 0;
}

void RecordShownBox(HWND box)
{
    HWND textControl = GetDlgItem(box, kMessageTextId);
    if (!textControl || GetPropW(box, kSeenProperty))
        return;
    SetPropW(box, kSeenProperty, reinterpret_cast<HANDLE>(1));
    MessageBoxRecord record;
    record.owner = GetWindow(box, GW_OWNER);
    record.caption = WindowText(box);
    record.text = WindowText(textControl);
    const int defaultId = DefaultButton(box);
    record.flags = ButtonsType(box) | IconType(box) | DefaultButtonFlag(box, defaultId);
    const int answer = RecordMessageBox(std::move(record), defaultId);
    HWND button = GetDlgItem(box, answer);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

LRESULT CALLBACK OnWindowActivated(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        std::array<wchar_t, 16> className{};
        HWND window = reinterpret_cast<HWND>(wParam);
        if (GetClassNameW(window, className.data(), int(className.size())) &&
            className.data() == std::wstring_view(L"#32770"))
            RecordShownBox(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

constexpr DWORD kDebugPrint = 0x40010006;     // DBG_PRINTEXCEPTION_C
constexpr DWORD kDebugPrintWide = 0x4001000A; // DBG_PRINTEXCEPTION_WIDE_C

LONG CALLBACK OnDebuggerException(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD& e = *info->ExceptionRecord;
    if ((e.ExceptionCode != kDebugPrint && e.ExceptionCode != kDebugPrintWide) || e.NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    const auto length = std::size_t(e.ExceptionInformation[0]);
    std::u16string text;
    if (e.ExceptionCode == kDebugPrintWide) {
        text.assign(reinterpret_cast<const char16_t*>(e.ExceptionInformation[1]), length ? length - 1 : 0);
    } else {
        const auto* ansi = reinterpret_cast<const char*>(e.ExceptionInformation[1]);
        const int count = length > 1 ? MultiByteToWideChar(CP_ACP, 0, ansi, int(length - 1), nullptr, 0) : 0;
        text.resize(std::size_t(count));
        if (count)
            MultiByteToWideChar(CP_ACP, 0, ansi, int(length - 1), reinterpret_cast<LPWSTR>(text.data()), count);
    }
    RecordDebugString(std::move(text));
    // As a debugger does: the output is taken, the program goes on.
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace

void StartSystemCapture()
{
    SetWindowsHookExW(WH_CBT, OnWindowActivated, nullptr, GetCurrentThreadId());
    AddVectoredExceptionHandler(1, OnDebuggerException);
}

} // namespace tvx::win32::detail
