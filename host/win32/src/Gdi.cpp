// Emulated GDI bitmaps: pixels in memory behind small integer handles, with a
// record of every delete so that tests can prove a handle went exactly once.
#include "host/win32/Gdi.h"
#include "host/win32/GdiEmulation.h"
#include "host/win32/Kernel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

struct Bitmap {
    LONG width = 0;
    LONG height = 0;
    std::vector<std::uint32_t> pixels;
};

// Above the small values Windows uses for stock objects; a multiple of four
// as Windows handles are, and far below 2^31 so a 32-bit integer carries it.
constexpr std::uint32_t kFirstHandle = 0x00050004;
constexpr std::uint32_t kHandleStep = 4;
constexpr std::uint32_t kLastHandle = 0x7FFFFFF0;
// Keeps a runaway size from exhausting memory; no IDE image comes near it.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

struct GdiState {
    std::mutex lock;
    std::uint32_t next = kFirstHandle;
    std::map<std::uint32_t, Bitmap> live;
    // Every handle DeleteObject was asked for, with the number of calls.
    std::map<std::uintptr_t, int> deletes;
    std::size_t doubleDeletes = 0;
};

// Never destroyed: packages may free bitmaps from their static destructors.
GdiState& State()
{
    static GdiState* state = new GdiState();
    return *state;
}

std::uintptr_t Key(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

// The live bitmap behind a handle; the caller holds the lock.
Bitmap* Find(GdiState& state, const void* handle)
{
    std::uintptr_t key = Key(handle);
    if (key > 0xFFFFFFFFu)
        return nullptr;
    auto it = state.live.find(std::uint32_t(key));
    return it == state.live.end() ? nullptr : &it->second;
}

// A handle CreateBitmap gave out at some time, live or deleted since.
bool WasIssued(const GdiState& state, const void* handle)
{
    std::uintptr_t key = Key(handle);
    return key >= kFirstHandle && key < state.next && (key - kFirstHandle) % kHandleStep == 0;
}

std::size_t ByteSize(const Bitmap& bitmap) { return bitmap.pixels.size() * sizeof(std::uint32_t); }

} // namespace

TVX_WIN32_API HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits)
{
    if (nWidth <= 0 || nHeight <= 0 || nPlanes != 1 || nBitCount != 32) {
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
        bitmap.pixels.assign(std::size_t(nWidth) * std::size_t(nHeight), 0);
        if (lpBits)
            std::memcpy(bitmap.pixels.data(), lpBits, ByteSize(bitmap));
        GdiState& state = State();
        std::lock_guard guard(state.lock);
        if (state.next > kLastHandle) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        std::uint32_t handle = state.next;
        state.next += kHandleStep;
        state.live.emplace(handle, std::move(bitmap));
        return reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(handle));
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

TVX_WIN32_API int GetObjectW(HANDLE h, int c, LPVOID pv)
{
    GdiState& state = State();
    std::lock_guard guard(state.lock);
    const Bitmap* bitmap = Find(state, h);
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
    info.bmWidthBytes = bitmap->width * 4;
    info.bmPlanes = 1;
    info.bmBitsPixel = 32;
    info.bmBits = nullptr;
    std::memcpy(pv, &info, sizeof info);
    return int(sizeof(BITMAP));
}

TVX_WIN32_API LONG GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits)
{
    GdiState& state = State();
    std::lock_guard guard(state.lock);
    const Bitmap* bitmap = Find(state, hbit);
    if (!bitmap || cb < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::size_t bytes = std::min(ByteSize(*bitmap), std::size_t(cb));
    if (!lpvBits)
        return LONG(ByteSize(*bitmap));
    std::memcpy(lpvBits, bitmap->pixels.data(), bytes);
    return LONG(bytes);
}

TVX_WIN32_API LONG SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits)
{
    GdiState& state = State();
    std::lock_guard guard(state.lock);
    Bitmap* bitmap = Find(state, hbm);
    if (!bitmap || !pvBits) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::size_t bytes = std::min(ByteSize(*bitmap), std::size_t(cb));
    std::memcpy(bitmap->pixels.data(), pvBits, bytes);
    return LONG(bytes);
}

TVX_WIN32_API DWORD GetObjectType(HGDIOBJ h)
{
    GdiState& state = State();
    std::lock_guard guard(state.lock);
    if (Find(state, h))
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
    GdiState& state = State();
    std::lock_guard guard(state.lock);
    ++state.deletes[Key(ho)];
    if (Find(state, ho)) {
        state.live.erase(std::uint32_t(Key(ho)));
        return TRUE;
    }
    // Issued and no longer live: deleted before.
    if (WasIssued(state, ho))
        ++state.doubleDeletes;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

namespace tvx::win32 {

std::size_t LiveBitmapCount()
{
    GdiState& state = State();
    std::lock_guard guard(state.lock);
    return state.live.size();
}

int DeleteCount(HGDIOBJ handle)
{
    GdiState& state = State();
    std::lock_guard guard(state.lock);
    auto it = state.deletes.find(Key(handle));
    return it == state.deletes.end() ? 0 : it->second;
}

bool WasDeletedTwice(HGDIOBJ handle)
{
    GdiState& state = State();
    std::lock_guard guard(state.lock);
    auto it = state.deletes.find(Key(handle));
    return it != state.deletes.end() && it->second > 1 && WasIssued(state, handle);
}

std::size_t DoubleDeleteCount()
{
    GdiState& state = State();
    std::lock_guard guard(state.lock);
    return state.doubleDeletes;
}

} // namespace tvx::win32
