// Emulated icons: a copy of the mask and colour bitmaps behind a handle of
// the GDI series, with a record of every destroy.
#include "host/win32/GdiEmulation.h"
#include "host/win32/Kernel.h"
#include "host/win32/User.h"
#include "host/win32/src/GdiState.h"

using namespace tvx::win32::detail;

namespace {

// A new bitmap handle holding a copy; null when the series is used up.
HBITMAP IssueBitmap(GdiState& state, const Bitmap& bitmap)
{
    std::uint32_t handle = IssueHandle(state);
    if (handle == 0)
        return nullptr;
    state.bitmaps.emplace(handle, bitmap);
    return reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(handle));
}

HICON IssueIcon(GdiState& state, Icon icon)
{
    std::uint32_t handle = IssueHandle(state);
    if (handle == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    state.iconHandles.insert(handle);
    state.icons.emplace(handle, std::move(icon));
    return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(handle));
}

} // namespace

TVX_WIN32_API HICON CreateIconIndirect(PICONINFO piconinfo)
{
    try {
        GdiState& state = Gdi();
        std::lock_guard guard(state.lock);
        const Bitmap* mask = piconinfo ? FindBitmap(state, piconinfo->hbmMask) : nullptr;
        const Bitmap* color = piconinfo && piconinfo->hbmColor ? FindBitmap(state, piconinfo->hbmColor) : nullptr;
        if (!mask || (piconinfo->hbmColor && !color)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        Icon icon;
        icon.isIcon = piconinfo->fIcon ? TRUE : FALSE;
        icon.mask = *mask;
        icon.hasColor = color != nullptr;
        if (color)
            icon.color = *color;
        // A monochrome icon's mask holds the AND and XOR halves one above the other.
        LONG height = color ? mask->height : mask->height / 2;
        icon.xHotspot = icon.isIcon ? DWORD(mask->width / 2) : piconinfo->xHotspot;
        icon.yHotspot = icon.isIcon ? DWORD(height / 2) : piconinfo->yHotspot;
        return IssueIcon(state, std::move(icon));
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

TVX_WIN32_API BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo)
{
    try {
        GdiState& state = Gdi();
        std::lock_guard guard(state.lock);
        const Icon* icon = FindIcon(state, hIcon);
        if (!icon) {
            SetLastError(ERROR_INVALID_CURSOR_HANDLE);
            return FALSE;
        }
        if (!piconinfo) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        HBITMAP mask = IssueBitmap(state, icon->mask);
        HBITMAP color = icon->hasColor && mask ? IssueBitmap(state, icon->color) : nullptr;
        if (!mask || (icon->hasColor && !color)) {
            if (mask)
                state.bitmaps.erase(std::uint32_t(GdiKey(mask)));
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return FALSE;
        }
        *piconinfo = ICONINFO{icon->isIcon, icon->xHotspot, icon->yHotspot, mask, color};
        return TRUE;
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

TVX_WIN32_API HICON CopyIcon(HICON hIcon)
{
    try {
        GdiState& state = Gdi();
        std::lock_guard guard(state.lock);
        const Icon* icon = FindIcon(state, hIcon);
        if (!icon) {
            SetLastError(ERROR_INVALID_CURSOR_HANDLE);
            return nullptr;
        }
        return IssueIcon(state, *icon);
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

TVX_WIN32_API BOOL DestroyIcon(HICON hIcon)
{
    GdiState& state = Gdi();
    std::lock_guard guard(state.lock);
    if (hIcon)
        ++state.iconDestroys.calls[GdiKey(hIcon)];
    if (FindIcon(state, hIcon)) {
        state.icons.erase(std::uint32_t(GdiKey(hIcon)));
        return TRUE;
    }
    if (WasIssuedAsIcon(state, hIcon))
        ++state.iconDestroys.twice;
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
}

TVX_WIN32_API int GetSystemMetrics(int nIndex)
{
    switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    default: return 0;
    }
}
