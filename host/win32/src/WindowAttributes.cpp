// A window's attributes behind GetWindowLong and SetWindowLong: styles, id,
// user data, procedure, instance, parent and the class's extra bytes.
#include "host/win32/Kernel.h"
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"

#include <cstring>

using namespace tvx::win32::detail;

namespace {

// LONG-sized values of the extra bytes, at a byte offset.
bool ExtraSlot(WindowEntry& window, int index, std::size_t size, BYTE*& slot)
{
    if (index < 0 || std::size_t(index) + size > window.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    }
    slot = window.extra.data() + index;
    return true;
}

bool GetLongPtr(WindowEntry& window, int index, LONG_PTR& value)
{
    switch (index) {
    case GWL_STYLE: value = LONG(window.style); return true;
    case GWL_EXSTYLE: value = LONG(window.exStyle); return true;
    case GWLP_ID: value = window.id; return true;
    case GWLP_USERDATA: value = window.userData; return true;
    case GWLP_WNDPROC: value = reinterpret_cast<LONG_PTR>(window.proc); return true;
    case GWLP_HINSTANCE: value = reinterpret_cast<LONG_PTR>(window.instance); return true;
    case GWLP_HWNDPARENT: value = LONG_PTR(window.parent ? window.parent : window.owner); return true;
    default: break;
    }
    BYTE* slot = nullptr;
    if (!ExtraSlot(window, index, sizeof(LONG_PTR), slot))
        return false;
    std::memcpy(&value, slot, sizeof value);
    return true;
}

bool SetLongPtr(WindowEntry& window, int index, LONG_PTR value, LONG_PTR& previous)
{
    if (!GetLongPtr(window, index, previous))
        return false;
    switch (index) {
    case GWL_STYLE: window.style = DWORD(value); return true;
    case GWL_EXSTYLE: window.exStyle = DWORD(value); return true;
    case GWLP_ID: window.id = value; return true;
    case GWLP_USERDATA: window.userData = value; return true;
    case GWLP_WNDPROC: window.proc = reinterpret_cast<WNDPROC>(value); return true;
    case GWLP_HINSTANCE: window.instance = reinterpret_cast<HINSTANCE>(value); return true;
    case GWLP_HWNDPARENT: SetLastError(ERROR_INVALID_INDEX); return false;
    default: break;
    }
    BYTE* slot = nullptr;
    ExtraSlot(window, index, sizeof(LONG_PTR), slot);
    std::memcpy(slot, &value, sizeof value);
    return true;
}

} // namespace

TVX_WIN32_API LONG GetWindowLongW(HWND hWnd, int nIndex)
{
    if (nIndex == GWLP_WNDPROC || nIndex == GWLP_HINSTANCE || nIndex == GWLP_HWNDPARENT) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return 0;
    LONG_PTR value = 0;
    if (nIndex >= 0) {
        BYTE* slot = nullptr;
        if (!ExtraSlot(*window, nIndex, sizeof(LONG), slot))
            return 0;
        LONG v = 0;
        std::memcpy(&v, slot, sizeof v);
        return v;
    }
    return GetLongPtr(*window, nIndex, value) ? LONG(value) : 0;
}

TVX_WIN32_API LONG SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong)
{
    if (nIndex == GWLP_WNDPROC || nIndex == GWLP_HINSTANCE || nIndex == GWLP_HWNDPARENT) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return 0;
    if (nIndex >= 0) {
        BYTE* slot = nullptr;
        if (!ExtraSlot(*window, nIndex, sizeof(LONG), slot))
            return 0;
        LONG previous = 0;
        std::memcpy(&previous, slot, sizeof previous);
        std::memcpy(slot, &dwNewLong, sizeof dwNewLong);
        return previous;
    }
    LONG_PTR previous = 0;
    return SetLongPtr(*window, nIndex, dwNewLong, previous) ? LONG(previous) : 0;
}

TVX_WIN32_API LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    LONG_PTR value = 0;
    return window && GetLongPtr(*window, nIndex, value) ? value : 0;
}

TVX_WIN32_API LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    LONG_PTR previous = 0;
    return window && SetLongPtr(*window, nIndex, dwNewLong, previous) ? previous : 0;
}
