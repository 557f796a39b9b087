// The windows this thread has, read from the system.
#include "host/win32/WindowEmulation.h"

#include <string_view>

namespace tvx::win32 {
namespace {

// The system's own windows of the thread (the input method's) are not counted.
BOOL CALLBACK AddWindow(HWND window, LPARAM into)
{
    wchar_t name[32]{};
    GetClassNameW(window, name, 32);
    if (std::wstring_view(name) != L"IME" && std::wstring_view(name) != L"MSCTFIME UI")
        reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
    return TRUE;
}

} // namespace

std::size_t LiveWindowCount()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), &AddWindow, reinterpret_cast<LPARAM>(&windows));
    // EnumChildWindows walks every level below a top-level window.
    const std::size_t topLevel = windows.size();
    for (std::size_t i = 0; i < topLevel; ++i)
        EnumChildWindows(windows[i], &AddWindow, reinterpret_cast<LPARAM>(&windows));
    return windows.size();
}

std::vector<HWND> WindowParentChain(HWND window)
{
    std::vector<HWND> chain;
    for (HWND w = IsWindow(window) ? window : nullptr; w && w != GetDesktopWindow(); w = GetAncestor(w, GA_PARENT))
        chain.push_back(w);
    return chain;
}

} // namespace tvx::win32
