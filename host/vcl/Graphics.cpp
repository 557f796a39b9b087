#include "host/vcl/Graphics.h"

#include "host/vcl/TypInfo.h"

#include <algorithm>

TVX_DEFINE_CLASS(TBitmap)

namespace {

HBITMAP NewBitmapHandle(int width, int height, const std::uint32_t* pixels)
{
    HBITMAP handle = CreateBitmap(width, height, 1, 32, pixels);
    if (!handle)
        throw EOutOfResources(String(SOutOfResources));
    return handle;
}

} // namespace

TBitmap::TBitmap(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap()
{
    if (handle_)
        DeleteObject(handle_);
}

void TBitmap::Adopt(HBITMAP Value, int AWidth, int AHeight) noexcept
{
    HBITMAP old = handle_;
    handle_ = Value;
    width_ = AWidth;
    height_ = AHeight;
    if (old && old != Value)
        DeleteObject(old);
}

void TBitmap::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TBitmap*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    if (source->Empty()) {
        Adopt(nullptr, 0, 0);
        return;
    }
    std::vector<std::uint32_t> pixels = source->ReadPixels();
    Adopt(NewBitmapHandle(source->width_, source->height_, pixels.data()), source->width_, source->height_);
}

void TBitmap::SetHandle(HBITMAP Value)
{
    if (Value == handle_)
        return;
    if (!Value) {
        Adopt(nullptr, 0, 0);
        return;
    }
    BITMAP info{};
    if (GetObjectW(Value, int(sizeof info), &info) != int(sizeof info))
        throw EInvalidGraphic(String(SInvalidBitmap));
    Adopt(Value, info.bmWidth, info.bmHeight);
}

HBITMAP TBitmap::ReleaseHandle() noexcept
{
    HBITMAP handle = handle_;
    handle_ = nullptr;
    width_ = 0;
    height_ = 0;
    return handle;
}

void TBitmap::SetSize(int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == width_ && AHeight == height_)
        return;
    if (AWidth == 0 || AHeight == 0) {
        Adopt(nullptr, 0, 0);
        return;
    }
    std::vector<std::uint32_t> pixels(std::size_t(AWidth) * std::size_t(AHeight), 0);
    if (handle_) {
        std::vector<std::uint32_t> old = ReadPixels();
        for (int y = 0; y < std::min(AHeight, height_); ++y)
            for (int x = 0; x < std::min(AWidth, width_); ++x)
                pixels[std::size_t(y) * std::size_t(AWidth) + std::size_t(x)] =
                    old[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
    }
    Adopt(NewBitmapHandle(AWidth, AHeight, pixels.data()), AWidth, AHeight);
}

std::vector<std::uint32_t> TBitmap::ReadPixels() const
{
    std::vector<std::uint32_t> pixels(std::size_t(width_) * std::size_t(height_));
    if (!handle_)
        return pixels;
    LONG bytes = LONG(pixels.size() * sizeof(std::uint32_t));
    if (GetBitmapBits(handle_, bytes, pixels.data()) != bytes)
        throw EInvalidGraphic(String(SInvalidBitmap));
    return pixels;
}

void TBitmap::WritePixels(const std::vector<std::uint32_t>& Pixels)
{
    if (!handle_)
        return;
    std::size_t count = std::min(Pixels.size(), std::size_t(width_) * std::size_t(height_));
    if (SetBitmapBits(handle_, DWORD(count * sizeof(std::uint32_t)), Pixels.data()) == 0 && count > 0)
        throw EInvalidGraphic(String(SInvalidBitmap));
}

TColor TBitmap::Pixel(int X, int Y) const
{
    if (X < 0 || Y < 0 || X >= width_ || Y >= height_)
        return -1;
    return PixelToColor(ReadPixels()[std::size_t(Y) * std::size_t(width_) + std::size_t(X)]);
}

void TBitmap::SetPixel(int X, int Y, TColor Color)
{
    if (X < 0 || Y < 0 || X >= width_ || Y >= height_)
        return;
    std::vector<std::uint32_t> pixels = ReadPixels();
    pixels[std::size_t(Y) * std::size_t(width_) + std::size_t(X)] = ColorToPixel(Color);
    WritePixels(pixels);
}

void TBitmap::Fill(TColor Color)
{
    WritePixels(std::vector<std::uint32_t>(std::size_t(width_) * std::size_t(height_), ColorToPixel(Color)));
}
