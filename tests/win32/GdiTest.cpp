// GDI bitmaps and icons of the emulated system: pixels, the BITMAP record,
// handle values and the delete and destroy records that later tests rely on.
#include "host/win32/GdiEmulation.h"
#include "host/win32/Win32.h"
#include "tests/support/TestSupport.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The handle counters are the stand-in's own; Windows keeps no such record.
#if !defined(_WIN32)
using tvx::win32::DestroyIconCount;
using tvx::win32::DoubleDeleteCount;
using tvx::win32::DoubleDestroyIconCount;
using tvx::win32::LiveBitmapCount;
using tvx::win32::LiveIconCount;
using tvx::win32::WasDeletedTwice;
using tvx::win32::WasIconDestroyedTwice;
#endif

std::vector<std::uint32_t> Pattern(int count)
{
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < count; ++i)
        pixels.push_back(0x00010203u * std::uint32_t(i + 1));
    return pixels;
}

// Catches pixels not kept, a wrong BITMAP record and handles that would not
// survive the trip through a package's 32-bit integer.
TEST(GdiTest, BitmapKeepsItsPixelsBehindASmallHandle)
{
    auto pixels = Pattern(6);
    HBITMAP bitmap = CreateBitmap(3, 2, 1, 32, pixels.data());
    ASSERT_NE(bitmap, nullptr);
    auto value = reinterpret_cast<std::uintptr_t>(bitmap);
    EXPECT_LE(value, 0x7FFFFFFFu);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(static_cast<LONG>(value))), bitmap);

    BITMAP info;
    std::memset(&info, 0xEF, sizeof info);
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmType, 0);
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(info.bmWidthBytes, 12);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, nullptr);
    EXPECT_EQ(GetObjectType(bitmap), DWORD(OBJ_BITMAP));

    std::vector<std::uint32_t> read(6, 0xdeadbeef);
    EXPECT_EQ(GetBitmapBits(bitmap, 24, read.data()), 24);
    EXPECT_EQ(read, pixels);
    EXPECT_TRUE(DeleteObject(bitmap));
}

// Catches buffer overruns and writes past what the caller asked for.
TEST(GdiTest, PixelAccessHonoursTheBufferSize)
{
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    ASSERT_NE(bitmap, nullptr);
    std::vector<std::uint32_t> read(4, 0xdeadbeef);
    EXPECT_EQ(GetBitmapBits(bitmap, 8, read.data()), 8);
    EXPECT_EQ(read, (std::vector<std::uint32_t>{0, 0, 0xdeadbeef, 0xdeadbeef}));

    std::uint32_t red = 0x00FF0000;
    EXPECT_EQ(SetBitmapBits(bitmap, 4, &red), 4);
    EXPECT_EQ(GetBitmapBits(bitmap, 16, read.data()), 16);
    EXPECT_EQ(read[0], red);
    EXPECT_EQ(read[1], 0u);
    EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), int(sizeof(BITMAP)));
    BITMAP info{};
    EXPECT_EQ(GetObjectW(bitmap, sizeof info - 1, &info), 0);
    EXPECT_TRUE(DeleteObject(bitmap));
}

#if !defined(_WIN32)
// Catches shapes the subset cannot hold being accepted half-way. The
// stand-in holds only single-plane 1- and 32-bit bitmaps; Windows makes
// these shapes (a zero size gives a 1-by-1 monochrome bitmap).
TEST(GdiTest, RefusedShapesMakeNoBitmap)
{
    struct Case {
        int width, height;
        UINT planes, bits;
    } const cases[] = {{0, 4, 1, 32}, {4, 0, 1, 32}, {-1, 4, 1, 32}, {4, 4, 2, 32}, {4, 4, 1, 24}, {4, 4, 1, 8}};
#if !defined(_WIN32)
    std::size_t live = LiveBitmapCount();
#endif
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.planes << "/" << c.bits);
        SetLastError(0xdeadbeef);
        EXPECT_EQ(CreateBitmap(c.width, c.height, c.planes, c.bits, nullptr), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
#if !defined(_WIN32)
    EXPECT_EQ(LiveBitmapCount(), live);
#endif
}
#endif

// Catches a second delete that succeeds or goes unnoticed, and unknown
// handles counted as double deletes; Windows answers FALSE for both.
TEST(GdiTest, DeleteRecordsEveryHandleOnce)
{
#if !defined(_WIN32)
    std::size_t live = LiveBitmapCount();
    std::size_t doubles = DoubleDeleteCount();
#endif
    HBITMAP bitmap = CreateBitmap(1, 1, 1, 32, nullptr);
#if !defined(_WIN32)
    EXPECT_EQ(LiveBitmapCount(), live + 1);
#endif

    EXPECT_TRUE(DeleteObject(bitmap));
#if !defined(_WIN32)
    EXPECT_EQ(LiveBitmapCount(), live);
    EXPECT_FALSE(WasDeletedTwice(bitmap));
#endif
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), 0);

    SetLastError(0);
    EXPECT_FALSE(DeleteObject(bitmap));
#if !defined(_WIN32)
    // DeleteObject documents no last error; Wine leaves it alone.
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(WasDeletedTwice(bitmap));
    EXPECT_EQ(tvx::win32::DeleteCount(bitmap), 2);
    EXPECT_EQ(DoubleDeleteCount(), doubles + 1);
#endif

    auto unknown = reinterpret_cast<HGDIOBJ>(std::uintptr_t(0x1234));
    EXPECT_FALSE(DeleteObject(unknown));
    EXPECT_FALSE(DeleteObject(nullptr));
#if !defined(_WIN32)
    EXPECT_FALSE(WasDeletedTwice(unknown));
    EXPECT_EQ(DoubleDeleteCount(), doubles + 1);
#endif
}

// Catches a handle value handed out again, which would hide a late delete
// of the old bitmap behind the new one.
TEST(GdiTest, HandlesAreNeverReused)
{
    HBITMAP first = CreateBitmap(1, 1, 1, 32, nullptr);
    DeleteObject(first);
    HBITMAP second = CreateBitmap(1, 1, 1, 32, nullptr);
    EXPECT_NE(first, second);
    EXPECT_FALSE(DeleteObject(first));
    EXPECT_EQ(GetObjectType(second), DWORD(OBJ_BITMAP));
    DeleteObject(second);
}

// Catches monochrome rows not padded to 16 bits as Windows pads them, which
// would shift every row of an icon mask.
TEST(GdiTest, MonochromeBitmapRowsAreWordAligned)
{
    // Windows takes the padding bits as zeros, as CreateBitmap asks.
    const BYTE bits[] = {0xA0, 0x00, 0x40, 0x00};
    HBITMAP mask = CreateBitmap(3, 2, 1, 1, bits);
    ASSERT_NE(mask, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(mask, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidthBytes, 2);
    BYTE read[4] = {};
    EXPECT_EQ(GetBitmapBits(mask, 100, read), 4);
    EXPECT_EQ(read[2], 0x40);
    DeleteObject(mask);
}

// An icon as a package makes one: a 32-bit colour image and its mask.
HICON MakeIcon(HBITMAP& mask, HBITMAP& color)
{
    const BYTE maskBits[] = {0x40, 0x00, 0x00, 0x00};
    auto pixels = Pattern(4);
    mask = CreateBitmap(2, 2, 1, 1, maskBits);
    color = CreateBitmap(2, 2, 1, 32, pixels.data());
    ICONINFO info{TRUE, 7, 7, mask, color};
    return CreateIconIndirect(&info);
}

// Catches an icon that shares the caller's bitmaps (the caller's delete
// would break it), GetIconInfo handing out the icon's own bitmaps, and
// icons missing from the live count.
TEST(GdiTest, IconsKeepCopiesAndHandOutCopies)
{
#if !defined(_WIN32)
    std::size_t bitmaps = LiveBitmapCount();
    std::size_t icons = LiveIconCount();
#endif
    HBITMAP mask = nullptr, color = nullptr;
    HICON icon = MakeIcon(mask, color);
    ASSERT_NE(icon, nullptr);
    EXPECT_LE(reinterpret_cast<std::uintptr_t>(icon), 0x7FFFFFFFu);
#if !defined(_WIN32)
    EXPECT_EQ(LiveIconCount(), icons + 1);
#endif
    EXPECT_EQ(GetObjectType(mask), DWORD(OBJ_BITMAP));
    EXPECT_TRUE(DeleteObject(mask));
    EXPECT_TRUE(DeleteObject(color));

    ICONINFO info;
    std::memset(&info, 0xEF, sizeof info);
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 1u);
    EXPECT_EQ(info.yHotspot, 1u);
    EXPECT_NE(info.hbmMask, mask);
    EXPECT_NE(info.hbmColor, color);
#if !defined(_WIN32)
    EXPECT_EQ(LiveBitmapCount(), bitmaps + 2);
#endif
    std::vector<std::uint32_t> pixels(4);
    EXPECT_EQ(GetBitmapBits(info.hbmColor, 16, pixels.data()), 16);
    EXPECT_EQ(pixels, Pattern(4));
    BYTE maskBits[4] = {};
    EXPECT_EQ(GetBitmapBits(info.hbmMask, 4, maskBits), 4);
    EXPECT_EQ(maskBits[0], 0x40);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);

    HICON copy = CopyIcon(icon);
    EXPECT_NE(copy, icon);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_TRUE(GetIconInfo(copy, &info));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_TRUE(DestroyIcon(copy));
#if !defined(_WIN32)
    EXPECT_EQ(LiveIconCount(), icons);
    EXPECT_EQ(LiveBitmapCount(), bitmaps);
#endif
}

// Catches an icon made without a usable mask, and a failure that leaves
// an icon or bitmap behind.
TEST(GdiTest, IconNeedsALiveMask)
{
#if !defined(_WIN32)
    std::size_t icons = LiveIconCount();
#endif
    HBITMAP color = CreateBitmap(2, 2, 1, 32, nullptr);
    HBITMAP dead = CreateBitmap(2, 2, 1, 1, nullptr);
    DeleteObject(dead);
    ICONINFO cases[] = {{TRUE, 0, 0, nullptr, color}, {TRUE, 0, 0, dead, color}, {TRUE, 0, 0, color, dead}};
    for (auto& c : cases) {
#if defined(_WIN32)
        // Nothing documents Windows' answer to a deleted bitmap; Wine 8
        // makes an icon of it.
        if (c.hbmMask == dead || c.hbmColor == dead)
            continue;
#endif
        SetLastError(0);
        EXPECT_EQ(CreateIconIndirect(&c), nullptr);
        // CreateIconIndirect: "If the function fails, the return value is
        // NULL. To get extended error information, call GetLastError." Wine
        // 8 sets none.
        if (!tvx::test::OnWine()) {
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        }
    }
#if !defined(_WIN32)
    // Windows reads through the pointer unchecked.
    EXPECT_EQ(CreateIconIndirect(nullptr), nullptr);
#endif
#if !defined(_WIN32)
    EXPECT_EQ(LiveIconCount(), icons);
#endif
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(reinterpret_cast<HICON>(color), &info));
    EXPECT_EQ(info.hbmMask, nullptr);
    DeleteObject(color);
}

// Catches a second destroy that succeeds or goes uncounted, an icon
// destroyed through DeleteObject, and a bitmap counted as a destroyed icon.
TEST(GdiTest, DestroyIconRecordsEveryHandleOnce)
{
#if !defined(_WIN32)
    std::size_t doubles = DoubleDestroyIconCount();
    std::size_t bitmapDoubles = DoubleDeleteCount();
#endif
    HBITMAP mask = nullptr, color = nullptr;
    HICON icon = MakeIcon(mask, color);
    EXPECT_FALSE(DeleteObject(icon));
    EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(mask)));
    EXPECT_TRUE(DestroyIcon(icon));
#if !defined(_WIN32)
    EXPECT_FALSE(WasIconDestroyedTwice(icon));
#endif

    SetLastError(0);
    EXPECT_FALSE(DestroyIcon(icon));
    // DestroyIcon: "If the function fails, the return value is zero. To get
    // extended error information, call GetLastError." Wine 8 sets none.
    if (!tvx::test::OnWine()) {
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_CURSOR_HANDLE));
    }
#if !defined(_WIN32)
    EXPECT_TRUE(WasIconDestroyedTwice(icon));
    EXPECT_EQ(DestroyIconCount(icon), 2);
    EXPECT_EQ(DoubleDestroyIconCount(), doubles + 1);
#endif
    EXPECT_FALSE(DestroyIcon(nullptr));
    EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(std::uintptr_t(0x1234))));
#if !defined(_WIN32)
    EXPECT_EQ(DoubleDestroyIconCount(), doubles + 1);
#endif

    EXPECT_TRUE(DeleteObject(mask));
    EXPECT_TRUE(DeleteObject(color));
#if !defined(_WIN32)
    EXPECT_EQ(DoubleDeleteCount(), bitmapDoubles);
#endif
}

// Catches icon sizes other than a 96-dpi desktop's and unknown metrics
// answered with something else than 0.
TEST(GdiTest, SystemMetricsGiveTheIconSizes)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), 16);
    EXPECT_EQ(GetSystemMetrics(9999), 0);
}

} // namespace
