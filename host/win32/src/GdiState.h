// The emulated GDI's tables, shared by bitmaps and icons: one handle series
// for both, so that a handle names one object of one kind.
#pragma once

#include "host/win32/Gdi.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace tvx::win32::detail {

struct Bitmap {
    LONG width = 0;
    LONG height = 0;
    WORD bitsPixel = 32;
    // Rows of WidthBytes each, top row first, in the layout CreateBitmap takes.
    std::vector<BYTE> bits;
};

// Windows pads the rows of a device-dependent bitmap to 16 bits.
constexpr LONG WidthBytes(LONG width, WORD bitsPixel) noexcept { return (width * bitsPixel + 15) / 16 * 2; }

struct Icon {
    BOOL isIcon = TRUE;
    DWORD xHotspot = 0;
    DWORD yHotspot = 0;
    Bitmap mask;
    bool hasColor = false;
    Bitmap color;
};

// Deletes and destroys of one kind: every call per handle, and calls on a
// handle of that kind that was already gone.
struct DisposalRecord {
    std::map<std::uintptr_t, int> calls;
    std::size_t twice = 0;
};

struct GdiState {
    std::mutex lock;
    std::uint32_t next = 0;
    std::map<std::uint32_t, Bitmap> bitmaps;
    std::map<std::uint32_t, Icon> icons;
    // Every icon handle ever issued; the rest of the series are bitmaps.
    std::set<std::uint32_t> iconHandles;
    DisposalRecord bitmapDeletes;
    DisposalRecord iconDestroys;
};

// Never destroyed: packages may free handles from their static destructors.
GdiState& Gdi();
std::uintptr_t GdiKey(const void* handle) noexcept;
// The next handle of the series, 0 once it is used up. The caller holds the lock.
std::uint32_t IssueHandle(GdiState& state) noexcept;
// A handle the series gave out at some time, of either kind.
bool WasIssued(const GdiState& state, const void* handle) noexcept;
// The live bitmap or icon behind a handle; the caller holds the lock.
Bitmap* FindBitmap(GdiState& state, const void* handle);
Icon* FindIcon(GdiState& state, const void* handle);
// A handle the series gave out as an icon, live or destroyed since.
bool WasIssuedAsIcon(const GdiState& state, const void* handle);

} // namespace tvx::win32::detail
