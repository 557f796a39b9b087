// The gdi32 subset: bitmaps, of 32-bit pixels or monochrome. A handle is a
// small integer that fits in 32 bits, because packages pass bitmap handles
// across the interop boundary as 32-bit integers.
#pragma once

#include "host/win32/WinTypes.h"

#if !defined(_WIN32)

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};
using PBITMAP = BITMAP*;
using LPBITMAP = BITMAP*;

#define OBJ_BITMAP 7

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
#define CLR_INVALID 0xFFFFFFFF

// 32 bits or 1 bit per pixel on one plane. At 32 bits the rows of lpBits are
// nWidth DWORDs each, top row first, every pixel 0x00RRGGBB (blue in the
// lowest byte), as in a 32-bit Windows bitmap; at 1 bit a row is padded to
// a multiple of 16 bits, the leftmost pixel in the highest bit. A null lpBits
// gives a black bitmap. Other depths, and an empty size, fail with
// ERROR_INVALID_PARAMETER.
TVX_WIN32_API HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits);
// Fills a BITMAP (bmBits is null, as for any device-dependent bitmap); with a
// null pv answers the size it needs. 0 for an unknown handle or a short buffer.
TVX_WIN32_API int GetObjectW(HANDLE h, int c, LPVOID pv);
// Copies up to cb bytes of pixels in the CreateBitmap layout; answers the
// bytes copied, 0 for an unknown handle.
TVX_WIN32_API LONG GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits);
TVX_WIN32_API LONG SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits);
// OBJ_BITMAP for a live bitmap, else 0 with ERROR_INVALID_HANDLE.
TVX_WIN32_API DWORD GetObjectType(HGDIOBJ h);
// FALSE, as on Windows, for a handle that is unknown or already deleted.
TVX_WIN32_API BOOL DeleteObject(HGDIOBJ ho);

#endif
