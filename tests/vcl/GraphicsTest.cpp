// TBitmap's ownership of its GDI handles, its canvas and mask, TIcon's
// ownership of its icon, and the image list's masked adds.
#include "host/vcl/Graphics.h"
#include "host/vcl/ImgList.h"
#include "host/win32/GdiEmulation.h"
#include "host/win32/User.h"
#include "tests/support/TestSupport.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using tvx::win32::DeleteCount;
using tvx::win32::DestroyIconCount;
using tvx::win32::DoubleDestroyIconCount;
using tvx::win32::LiveBitmapCount;
using tvx::win32::LiveIconCount;

// A bitmap handle made as a package makes one: pixels in the GDI layout.
HBITMAP MakeHandle(int width, int height, std::uint32_t pixel)
{
    std::vector<std::uint32_t> pixels(std::size_t(width * height), pixel);
    return CreateBitmap(width, height, 1, 32, pixels.data());
}

// Catches a handle leaked, deleted twice, or deleted although handed out.
TEST(BitmapTest, OwnsItsHandleUntilReleased)
{
    std::size_t live = LiveBitmapCount();
    HBITMAP first = MakeHandle(2, 2, 0);
    HBITMAP second = MakeHandle(3, 1, 0);
    HBITMAP third = MakeHandle(1, 1, 0);
    {
        TBitmap bitmap;
        bitmap.SetHandle(first);
        EXPECT_EQ(bitmap.Width(), 2);
        bitmap.SetHandle(second);
        EXPECT_EQ(DeleteCount(first), 1);
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_EQ(bitmap.Height(), 1);
        EXPECT_EQ(bitmap.ReleaseHandle(), second);
        EXPECT_TRUE(bitmap.Empty());
        bitmap.SetHandle(third);
    }
    EXPECT_EQ(DeleteCount(second), 0);
    EXPECT_EQ(DeleteCount(third), 1);
    DeleteObject(second);
    EXPECT_EQ(LiveBitmapCount(), live);
}

// Catches a foreign or dead handle being adopted, which would end in a
// delete of a handle the bitmap never owned.
TEST(BitmapTest, RefusesWhatIsNoLiveBitmap)
{
    HBITMAP dead = MakeHandle(1, 1, 0);
    DeleteObject(dead);
    TBitmap bitmap(4, 4);
    HBITMAP own = bitmap.Handle();
    EXPECT_THROW(bitmap.SetHandle(dead), EInvalidGraphic);
    EXPECT_THROW(bitmap.SetHandle(reinterpret_cast<HBITMAP>(std::uintptr_t(0x777))), EInvalidGraphic);
    EXPECT_EQ(bitmap.Handle(), own);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(DeleteCount(dead), 1);
}

// Catches red and blue swapped between TColor and GDI pixels, and lost
// pixels when the size changes.
TEST(BitmapTest, PixelsKeepTheirColourAndPlace)
{
    TBitmap bitmap(2, 2);
    bitmap.SetPixel(1, 0, clRed);
    EXPECT_EQ(bitmap.ReadPixels()[1], 0x00FF0000u);
    EXPECT_EQ(bitmap.Pixel(1, 0), clRed);
    EXPECT_EQ(bitmap.Pixel(2, 0), -1);
    bitmap.SetSize(3, 1);
    EXPECT_EQ(bitmap.Pixel(1, 0), clRed);
    EXPECT_EQ(bitmap.Pixel(2, 0), clBlack);

    TBitmap copy;
    copy.Assign(&bitmap);
    EXPECT_NE(copy.Handle(), bitmap.Handle());
    EXPECT_EQ(copy.Pixel(1, 0), clRed);
}

// Catches a 2x2 image not scaled pixel for pixel into 4x4 (each source
// pixel a 2x2 block), and drawing outside the destination or the image.
TEST(BitmapTest, StretchDrawScalesToTheNearestPixel)
{
    TBitmap source(2, 2);
    source.SetPixel(0, 0, clRed);
    source.SetPixel(1, 0, clLime);
    source.SetPixel(0, 1, clBlue);
    source.SetPixel(1, 1, clYellow);
    TBitmap target(5, 5);
    target.Fill(clWhite);
    target.Canvas()->StretchDraw(TRect{0, 0, 4, 4}, &source);
    const TColor expected[4][4] = {{clRed, clRed, clLime, clLime},
                                   {clRed, clRed, clLime, clLime},
                                   {clBlue, clBlue, clYellow, clYellow},
                                   {clBlue, clBlue, clYellow, clYellow}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(target.Canvas()->Pixels(x, y), expected[y][x]) << x << "," << y;
    EXPECT_EQ(target.Pixel(4, 0), clWhite);
    EXPECT_EQ(target.Pixel(0, 4), clWhite);

    // Half of it off the image: the visible half keeps its place.
    target.Canvas()->StretchDraw(TRect{3, -2, 7, 2}, &source);
    EXPECT_EQ(target.Pixel(3, 0), clBlue);
    EXPECT_EQ(target.Pixel(4, 1), clBlue);
    EXPECT_EQ(target.Pixel(3, 2), clYellow);
    target.Canvas()->StretchDraw(TRect{2, 2, 2, 4}, &source);
    TBitmap empty;
    target.Canvas()->StretchDraw(TRect{0, 0, 4, 4}, &empty);
    EXPECT_EQ(target.Pixel(2, 2), clYellow);
}

// Catches a transparent colour read from the wrong corner, an explicit
// colour not kept, and a mask with rows or bits misplaced, not following
// the image, or left alive after the bitmap.
TEST(BitmapTest, MaskMarksTheTransparentColour)
{
    std::size_t live = LiveBitmapCount();
    {
        TBitmap bitmap;
        EXPECT_EQ(bitmap.TransparentColor(), clDefault);
        EXPECT_EQ(bitmap.MaskHandle(), nullptr);
        bitmap.SetSize(9, 2);
        bitmap.Fill(clFuchsia);
        bitmap.SetPixel(0, 0, clRed);
        bitmap.SetPixel(8, 1, clRed);
        EXPECT_EQ(bitmap.TransparentColor(), clFuchsia);

        HBITMAP mask = bitmap.MaskHandle();
        ASSERT_NE(mask, nullptr);
        EXPECT_EQ(bitmap.MaskHandle(), mask);
        BITMAP info{};
        ASSERT_EQ(GetObjectW(mask, sizeof info, &info), int(sizeof info));
        EXPECT_EQ(info.bmBitsPixel, 1);
        EXPECT_EQ(info.bmWidth, 9);
        std::vector<BYTE> bits(4);
        ASSERT_EQ(GetBitmapBits(mask, 4, bits.data()), 4);
        EXPECT_EQ(bits, (std::vector<BYTE>{0x7F, 0x80, 0xFF, 0x00}));

        bitmap.SetTransparentColor(clRed);
        EXPECT_EQ(bitmap.TransparentColor(), clRed);
        GetBitmapBits(bitmap.MaskHandle(), 4, bits.data());
        EXPECT_EQ(bits, (std::vector<BYTE>{0x80, 0x00, 0x00, 0x80}));
        bitmap.SetPixel(1, 0, clRed);
        GetBitmapBits(bitmap.MaskHandle(), 4, bits.data());
        EXPECT_EQ(bits[0], 0xC0);

        bitmap.SetTransparentColor(clDefault);
        bitmap.SetSize(2, 2);
        EXPECT_EQ(bitmap.TransparentColor(), clFuchsia);
        EXPECT_EQ(DeleteCount(mask), 1);
        ASSERT_NE(bitmap.MaskHandle(), nullptr);
        EXPECT_EQ(LiveBitmapCount(), live + 2);
        DeleteObject(bitmap.ReleaseHandle());
        EXPECT_EQ(bitmap.MaskHandle(), nullptr);
        bitmap.SetSize(1, 1);
        bitmap.MaskHandle();
    }
    EXPECT_EQ(LiveBitmapCount(), live);
}

// An icon as a package hands one over: made from its own bitmaps, which
// it deletes.
HICON MakeIcon(int size)
{
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    HBITMAP color = MakeHandle(size, size, 0x00FF0000);
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

// Catches an icon leaked or destroyed twice through SetHandle, Assign and
// ReleaseHandle, an Assign that shares the source's handle, and the
// temporary bitmaps of a size query left alive.
TEST(IconTest, OwnsItsHandleUntilReleased)
{
    std::size_t icons = LiveIconCount();
    std::size_t bitmaps = LiveBitmapCount();
    std::size_t doubles = DoubleDestroyIconCount();
    HICON first = MakeIcon(16);
    HICON second = MakeIcon(32);
    HICON released = nullptr;
    {
        TIcon icon;
        icon.SetHandle(first);
        EXPECT_EQ(icon.Width(), 16);
        icon.SetHandle(first);
        icon.SetHandle(second);
        EXPECT_EQ(DestroyIconCount(first), 1);
        EXPECT_EQ(icon.Height(), 32);

        TIcon copy;
        copy.Assign(&icon);
        EXPECT_NE(copy.Handle(), second);
        EXPECT_EQ(copy.Width(), 32);
        copy.Assign(&copy);
        TIcon empty;
        icon.Assign(&empty);
        EXPECT_TRUE(icon.Empty());
        EXPECT_EQ(DestroyIconCount(second), 1);
        released = copy.ReleaseHandle();
        EXPECT_TRUE(copy.Empty());
        EXPECT_EQ(copy.Width(), 0);
        copy.SetHandle(MakeIcon(16));
        copy.Assign(nullptr);
        EXPECT_TRUE(copy.Empty());
        icon.SetHandle(MakeIcon(16));
    }
    EXPECT_EQ(DestroyIconCount(released), 0);
    EXPECT_TRUE(DestroyIcon(released));
    EXPECT_EQ(LiveIconCount(), icons);
    EXPECT_EQ(LiveBitmapCount(), bitmaps);
    EXPECT_EQ(DoubleDestroyIconCount(), doubles);
}

// Catches a dead or foreign handle adopted, which would end in a destroy
// of an icon the TIcon never owned.
TEST(IconTest, RefusesWhatIsNoLiveIcon)
{
    HICON dead = MakeIcon(16);
    DestroyIcon(dead);
    TIcon icon;
    HICON own = MakeIcon(16);
    icon.SetHandle(own);
    EXPECT_THROW(icon.SetHandle(dead), EInvalidGraphic);
    TBitmap bitmap(2, 2);
    EXPECT_THROW(icon.SetHandle(reinterpret_cast<HICON>(bitmap.Handle())), EInvalidGraphic);
    EXPECT_EQ(icon.Handle(), own);
    EXPECT_EQ(DestroyIconCount(dead), 1);
    EXPECT_THROW(bitmap.Assign(&icon), EConvertError);
}

// Catches magenta pixels left opaque, other pixels made transparent, or
// the colour of an opaque pixel changed.
TEST(ImageListTest, AddMaskedMakesTheMaskColourTransparent)
{
    TImageList images(nullptr, 2, 2);
    TBitmap bitmap(2, 2);
    bitmap.Fill(clFuchsia);
    bitmap.SetPixel(1, 1, clBlue);
    bitmap.SetPixel(0, 1, 0xFE00FF);
    EXPECT_EQ(images.AddMasked(&bitmap, clFuchsia), 0);
    EXPECT_EQ(images.AddMasked(&bitmap, clFuchsia), 1);
    EXPECT_TRUE(images.IsTransparent(1, 0, 0));
    EXPECT_TRUE(images.IsTransparent(1, 1, 0));
    EXPECT_FALSE(images.IsTransparent(1, 1, 1));
    EXPECT_FALSE(images.IsTransparent(1, 0, 1));
    EXPECT_EQ(images.PixelColor(1, 1, 1), clBlue);
    EXPECT_EQ(images.PixelColor(1, 0, 0), clBlack);
    // The caller's bitmap is left as it was.
    EXPECT_EQ(bitmap.Pixel(0, 0), clFuchsia);
}

// Catches a strip added as one image and a narrow bitmap refused.
TEST(ImageListTest, AddMaskedCutsStripsIntoImages)
{
    TImageList images(nullptr, 2, 2);
    TBitmap strip(5, 2);
    strip.SetPixel(2, 0, clRed);
    EXPECT_EQ(images.AddMasked(&strip, clFuchsia), 0);
    ASSERT_EQ(images.Count(), 2);
    EXPECT_EQ(images.PixelColor(1, 0, 0), clRed);

    TBitmap narrow(1, 1);
    EXPECT_EQ(images.AddMasked(&narrow, clFuchsia), 2);
    EXPECT_FALSE(images.IsTransparent(2, 0, 0));
    EXPECT_TRUE(images.IsTransparent(2, 1, 1));
}

// Catches failures that still change the list, and bad indexes accepted.
TEST(ImageListTest, FailuresRaiseAndChangeNothing)
{
    TImageList images(nullptr);
    TBitmap empty;
    EXPECT_THROW(images.AddMasked(&empty, clFuchsia), EInvalidOperation);
    EXPECT_THROW(images.AddMasked(nullptr, clFuchsia), EInvalidOperation);
    EXPECT_EQ(images.Count(), 0);

    TBitmap red(16, 16);
    red.Fill(clRed);
    images.AddMasked(&red, clFuchsia);
    TBitmap magenta(16, 16);
    magenta.Fill(clFuchsia);
    images.ReplaceMasked(0, &magenta, clFuchsia);
    EXPECT_TRUE(images.IsTransparent(0, 5, 5));
    EXPECT_THROW(images.ReplaceMasked(1, &red, clFuchsia), EInvalidOperation);
    EXPECT_THROW(images.ReplaceMasked(0, &empty, clFuchsia), EInvalidOperation);
    EXPECT_TRUE(images.IsTransparent(0, 5, 5));
    try {
        images.Images(3);
        ADD_FAILURE() << "no error for a bad index";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), u"Invalid ImageList Index");
    }
}

} // namespace
