// TBitmap's ownership of its GDI handle and the image list's masked adds.
#include "host/vcl/Graphics.h"
#include "host/vcl/ImgList.h"
#include "host/win32/GdiEmulation.h"
#include "tests/support/TestSupport.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using tvx::win32::DeleteCount;
using tvx::win32::LiveBitmapCount;

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
