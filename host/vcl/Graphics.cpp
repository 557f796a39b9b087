#include "host/vcl/Graphics.h"

#include "host/vcl/TypInfo.h"
#include "host/win32/User.h"

#include <algorithm>

TVX_DEFINE_CLASS(TCanvas)
TVX_DEFINE_CLASS(TBitmap)
namespace {
constexpr std::u16string_view kFontStyleNames[] = {u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"};
} // namespace
TVX_DEFINE_CLASS(TFont, Published<&TFont::Charset, &TFont::SetCharset>(u"Charset", {}, CharsetIdents()),
                 Published<&TFont::Color, &TFont::SetColor>(u"Color", {}, ColorIdents()),
                 Published<&TFont::Height, &TFont::SetHeight>(u"Height"),
                 Published<&TFont::Name, &TFont::SetName>(u"Name"),
                 Published<&TFont::Style, &TFont::SetStyle>(u"Style", kFontStyleNames))
TVX_DEFINE_CLASS(TIcon)

std::span<const TIdentMapEntry> ColorIdents() noexcept
{
    // clang-format off
    static constexpr TIdentMapEntry idents[] = {
        {clBlack, u"clBlack"}, {clMaroon, u"clMaroon"}, {clGreen, u"clGreen"}, {clOlive, u"clOlive"},
        {clNavy, u"clNavy"}, {clPurple, u"clPurple"}, {clTeal, u"clTeal"}, {clGray, u"clGray"},
        {clSilver, u"clSilver"}, {clRed, u"clRed"}, {clLime, u"clLime"}, {clYellow, u"clYellow"},
        {clBlue, u"clBlue"}, {clFuchsia, u"clFuchsia"}, {clAqua, u"clAqua"}, {clWhite, u"clWhite"},
        {clNone, u"clNone"}, {clDefault, u"clDefault"},
        {clWindow, u"clWindow"}, {clWindowText, u"clWindowText"}, {clBtnFace, u"clBtnFace"},
    };
    // clang-format on
    return idents;
}

std::span<const TIdentMapEntry> CharsetIdents() noexcept
{
    static constexpr TIdentMapEntry idents[] = {{ANSI_CHARSET, u"ANSI_CHARSET"},
                                                {DEFAULT_CHARSET, u"DEFAULT_CHARSET"},
                                                {SYMBOL_CHARSET, u"SYMBOL_CHARSET"},
                                                {RUSSIAN_CHARSET, u"RUSSIAN_CHARSET"}};
    return idents;
}

void TFont::Assign(TPersistent* Source)
{
    auto* font = dynamic_cast<TFont*>(Source);
    if (!font) {
        TPersistent::Assign(Source);
        return;
    }
    if (charset_ == font->charset_ && color_ == font->color_ && height_ == font->height_ && name_ == font->name_ &&
        style_ == font->style_)
        return;
    charset_ = font->charset_;
    color_ = font->color_;
    height_ = font->height_;
    name_ = font->name_;
    style_ = font->style_;
    onChange_(this);
}

namespace {

// The size of a live icon, from copies of its bitmaps that are deleted at
// once; false for a handle that is no live icon.
bool IconSize(HICON icon, int& width, int& height)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    BITMAP bitmap{};
    HBITMAP measured = info.hbmColor ? info.hbmColor : info.hbmMask;
    bool known = GetObjectW(measured, int(sizeof bitmap), &bitmap) == int(sizeof bitmap);
    width = bitmap.bmWidth;
    // A monochrome icon's mask holds its two halves one above the other.
    height = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return known;
}

} // namespace

TIcon::~TIcon()
{
    if (handle_)
        DestroyIcon(handle_);
}

void TIcon::Assign(TPersistent* Source)
{
    auto* icon = dynamic_cast<TIcon*>(Source);
    if (Source && !icon) {
        TPersistent::Assign(Source);
        return;
    }
    if (icon == this)
        return;
    if (!icon || icon->Empty()) {
        SetHandle(nullptr);
        return;
    }
    HICON copy = CopyIcon(icon->handle_);
    if (!copy)
        throw EInvalidGraphic(String(SInvalidIcon));
    // SetHandle measures the copy, which fails only when handles run out.
    try {
        SetHandle(copy);
    } catch (...) {
        DestroyIcon(copy);
        throw;
    }
}

void TIcon::SetHandle(HICON Value)
{
    if (Value == handle_)
        return;
    int width = 0;
    int height = 0;
    if (Value && !IconSize(Value, width, height))
        throw EInvalidGraphic(String(SInvalidIcon));
    HICON old = handle_;
    handle_ = Value;
    width_ = width;
    height_ = height;
    if (old)
        DestroyIcon(old);
}

HICON TIcon::ReleaseHandle() noexcept
{
    HICON handle = handle_;
    handle_ = nullptr;
    width_ = 0;
    height_ = 0;
    return handle;
}

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
    DropMask();
    if (handle_)
        DeleteObject(handle_);
}

void TBitmap::DropMask() noexcept
{
    if (mask_)
        DeleteObject(mask_);
    mask_ = nullptr;
}

void TBitmap::Adopt(HBITMAP Value, int AWidth, int AHeight) noexcept
{
    if (!Value || AWidth != width_ || AHeight != height_)
        DropMask();
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
    } else {
        std::vector<std::uint32_t> pixels = source->ReadPixels();
        Adopt(NewBitmapHandle(source->width_, source->height_, pixels.data()), source->width_, source->height_);
    }
    transparentColor_ = source->transparentColor_;
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
    if (GetObjectW(Value, int(sizeof info), &info) != int(sizeof info) || info.bmBitsPixel != 32)
        throw EInvalidGraphic(String(SInvalidBitmap));
    Adopt(Value, info.bmWidth, info.bmHeight);
}

HBITMAP TBitmap::ReleaseHandle() noexcept
{
    DropMask();
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

TCanvas* TBitmap::Canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>(*this);
    return canvas_.get();
}

TColor TBitmap::TransparentColor() const
{
    if (transparentColor_ != clDefault || Empty())
        return transparentColor_;
    return Pixel(0, height_ - 1);
}

HBITMAP TBitmap::MaskHandle()
{
    if (Empty()) {
        DropMask();
        return nullptr;
    }
    TColor transparent = TransparentColor();
    std::vector<std::uint32_t> pixels = ReadPixels();
    const auto rowBytes = std::size_t((width_ + 15) / 16 * 2);
    std::vector<BYTE> bits(rowBytes * std::size_t(height_), 0);
    // clNone names no colour, so nothing is transparent.
    if (transparent != clNone) {
        const std::uint32_t key = ColorToPixel(transparent);
        for (std::size_t y = 0; y < std::size_t(height_); ++y)
            for (std::size_t x = 0; x < std::size_t(width_); ++x)
                if (pixels[y * std::size_t(width_) + x] == key)
                    bits[y * rowBytes + x / 8] |= BYTE(0x80 >> (x % 8));
    }
    // Written into the mask made before, unless someone deleted it.
    if (mask_ && SetBitmapBits(mask_, DWORD(bits.size()), bits.data()) == LONG(bits.size()))
        return mask_;
    mask_ = CreateBitmap(width_, height_, 1, 1, bits.data());
    if (!mask_)
        throw EOutOfResources(String(SOutOfResources));
    return mask_;
}

TColor TCanvas::Pixels(int X, int Y) const { return bitmap_.Pixel(X, Y); }

void TCanvas::SetPixels(int X, int Y, TColor Color) { bitmap_.SetPixel(X, Y, Color); }

void TCanvas::StretchDraw(const TRect& Rect, TBitmap* Graphic)
{
    const long long destWidth = static_cast<long long>(Rect.Right) - Rect.Left;
    const long long destHeight = static_cast<long long>(Rect.Bottom) - Rect.Top;
    if (!Graphic || Graphic->Empty() || bitmap_.Empty() || destWidth <= 0 || destHeight <= 0)
        return;
    // Read first: Graphic may be this canvas's own bitmap.
    const std::vector<std::uint32_t> source = Graphic->ReadPixels();
    std::vector<std::uint32_t> pixels = bitmap_.ReadPixels();
    const long long sourceWidth = Graphic->Width();
    const long long sourceHeight = Graphic->Height();
    const long long width = bitmap_.Width();
    const long long height = bitmap_.Height();
    for (long long y = std::max<long long>(Rect.Top, 0); y < std::min<long long>(Rect.Bottom, height); ++y) {
        // The source pixel under the centre of the destination pixel.
        const long long sy = ((y - Rect.Top) * 2 + 1) * sourceHeight / (destHeight * 2);
        for (long long x = std::max<long long>(Rect.Left, 0); x < std::min<long long>(Rect.Right, width); ++x) {
            const long long sx = ((x - Rect.Left) * 2 + 1) * sourceWidth / (destWidth * 2);
            pixels[std::size_t(y * width + x)] = source[std::size_t(sy * sourceWidth + sx)];
        }
    }
    bitmap_.WritePixels(pixels);
}
