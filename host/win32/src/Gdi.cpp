// Emulated GDI bitmaps: pixels in memory behind small integer handles, with a
// record of every delete so that tests can prove a handle went exactly once.
#include "host/win32/Gdi.h"
#include "host/win32/GdiEmulation.h"
#include "host/win32/Kernel.h"
#include "host/win32/src/GdiState.h"

#include <algorithm>
#include <cstring>

namespace tvx::win32::detail {

namespace {

// Above the small values Windows uses for stock objects; a multiple of four
// as Windows handles are, and far below 2^31 so a 32-bit integer carries it.
constexpr std::uint32_t kFirstHandle = 0x00050004;
constexpr std::uint32_t kHandleStep = 4;
constexpr std::uint32_t kLastHandle = 0x7FFFFFF0;

} // namespace

GdiState& Gdi()
{
    static GdiState* state = new GdiState();
    return *state;
}

std::uintptr_t GdiKey(const void* handle) noexcept { return reinterpret_cast<std::uintptr_t>(handle); }

std::uint32_t IssueHandle(GdiState& state) noexcept
{
    if (state.next == 0)
        state.next = kFirstHandle;
    if (state.next > kLastHandle)
        return 0;
    std::uint32_t handle = state.next;
    state.next += kHandleStep;
    return handle;
}

bool WasIssued(const GdiState& state, const void* handle) noexcept
{
    std::uintptr_t key = GdiKey(handle);
    return key >= kFirstHandle && key < state.next && (key - kFirstHandle) % kHandleStep == 0;
}

Bitmap* FindBitmap(GdiState& state, const void* handle)
{
    std::uintptr_t key = GdiKey(handle);
    if (key > 0xFFFFFFFFu)
        return nullptr;
    auto it = state.bitmaps.find(std::uint32_t(key));
    return it == state.bitmaps.end() ? nullptr : &it->second;
}

Icon* FindIcon(GdiState& state, const void* handle)
{
    std::uintptr_t key = GdiKey(handle);
    if (key > 0xFFFFFFFFu)
        return nullptr;
    auto it = state.icons.find(std::uint32_t(key));
    return it == state.icons.end() ? nullptr : &it->second;
}

bool WasIssuedAsIcon(const GdiState& state, const void* handle)
{
    return WasIssued(state, handle) && state.iconHandles.count(std::uint32_t(GdiKey(handle))) != 0;
}

} // namespace tvx::win32::detail

using namespace tvx::win32::detail;

namespace {

// Keeps a runaway size from exhausting memory; no IDE image comes near it.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

std::size_t ByteSize(const Bitmap& bitmap) { return bitmap.bits.size(); }

int Calls(const DisposalRecord& record, const void* handle)
{
    auto it = record.calls.find(GdiKey(handle));
    return it == record.calls.end() ? 0 : it->second;
}

} // namespace

TVX_WIN32_API HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits)
{
    if (nWidth <= 0 || nHeight <= 0 || nPlanes != 1 || (nBitCount != 32 && nBitCount != 1)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (static_cast<long long>(nWidth) * nHeight > kMaxPixels) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    try {
        Bitmap bitmap;
        bitmap.width = nWidth;
        bitmap.height = nHeight;
        bitmap.bitsPixel = WORD(nBitCount);
        bitmap.bits.assign(std::size_t(WidthBytes(nWidth, bitmap.bitsPixel)) * std::size_t(nHeight), 0);
        if (lpBits)
            std::memcpy(bitmap.bits.data(), lpBits, ByteSize(bitmap));
        GdiState& state = Gdi();
        std::lock_guard guard(state.lock);
        std::uint32_t handle = IssueHandle(state);
        if (handle == 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        state.bitmaps.emplace(handle, std::move(bitmap));
        return reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(handle));
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

TVX_WIN32_API int GetObjectW(HANDLE h, int c, LPVOID pv)
{
    GdiState& state = Gdi();
    std::lock_guard guard(state.lock);
    const Bitmap* bitmap = FindBitmap(state, h);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!pv)
        return int(sizeof(BITMAP));
    if (c < int(sizeof(BITMAP))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAP info{};
    info.bmType = 0;
    info.bmWidth = bitmap->width;
    info.bmHeight = bitmap->height;
    info.bmWidthBytes = WidthBytes(bitmap->width, bitmap->bitsPixel);
    info.bmPlanes = 1;
    info.bmBitsPixel = bitmap->bitsPixel;
    info.bmBits = nullptr;
    std::memcpy(pv, &info, sizeof info);
    return int(sizeof(BITMAP));
}

TVX_WIN32_API LONG GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits)
{
    GdiState& state = Gdi();
    std::lock_guard guard(state.lock);
    const Bitmap* bitmap = FindBitmap(state, hbit);
    if (!bitmap || cb < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::size_t bytes = std::min(ByteSize(*bitmap), std::size_t(cb));
    if (!lpvBits)
        return LONG(ByteSize(*bitmap));
    std::memcpy(lpvBits, bitmap->bits.data(), bytes);
    return LONG(bytes);
}

TVX_WIN32_API LONG SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits)
{
    GdiState& state = Gdi();
    std::lock_guard guard(state.lock);
    Bitmap* bitmap = FindBitmap(state, hbm);
    if (!bitmap || !pvBits) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::size_t bytes = std::min(ByteSize(*bitmap), std::size_t(cb));
    std::memcpy(bitmap->bits.data(), pvBits, bytes);
    return LONG(bytes);
}

TVX_WIN32_API DWORD GetObjectType(HGDIOBJ h)
{
    GdiState& state = Gdi();
    std::lock_guard guard(state.lock);
    if (FindBitmap(state, h))
        return OBJ_BITMAP;
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

TVX_WIN32_API BOOL DeleteObject(HGDIOBJ ho)
{
    if (!ho) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    GdiState& state = Gdi();
    std::lock_guard guard(state.lock);
    ++state.bitmapDeletes.calls[GdiKey(ho)];
    if (FindBitmap(state, ho)) {
        state.bitmaps.erase(std::uint32_t(GdiKey(ho)));
        return TRUE;
    }
    // Issued as a bitmap and no longer live: deleted before.
    if (WasIssued(state, ho) && !WasIssuedAsIcon(state, ho))
        ++state.bitmapDeletes.twice;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

namespace tvx::win32 {

namespace {

// The handle account is read under the GDI lock, one answer at a time.
template <class Read>
auto ReadLocked(Read&& read)
{
    GdiState& state = Gdi();
    std::lock_guard guard(state.lock);
    return read(state);
}

} // namespace

std::size_t LiveBitmapCount()
{
    return ReadLocked([](GdiState& s) { return s.bitmaps.size(); });
}

int DeleteCount(HGDIOBJ handle)
{
    return ReadLocked([&](GdiState& s) { return Calls(s.bitmapDeletes, handle); });
}

bool WasDeletedTwice(HGDIOBJ handle)
{
    return ReadLocked([&](GdiState& s) {
        return Calls(s.bitmapDeletes, handle) > 1 && WasIssued(s, handle) && !WasIssuedAsIcon(s, handle);
    });
}

std::size_t DoubleDeleteCount()
{
    return ReadLocked([](GdiState& s) { return s.bitmapDeletes.twice; });
}

std::size_t LiveIconCount()
{
    return ReadLocked([](GdiState& s) { return s.icons.size(); });
}

int DestroyIconCount(HICON handle)
{
    return ReadLocked([&](GdiState& s) { return Calls(s.iconDestroys, handle); });
}

bool WasIconDestroyedTwice(HICON handle)
{
    return ReadLocked([&](GdiState& s) { return Calls(s.iconDestroys, handle) > 1 && WasIssuedAsIcon(s, handle); });
}

std::size_t DoubleDestroyIconCount()
{
    return ReadLocked([](GdiState& s) { return s.iconDestroys.twice; });
}

} // namespace tvx::win32
