#include "host/vcl/Graphics.h"

#include "host/vcl/TypInfo.h"

#include <algorithm>

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

// Icons come from the package or the IDE; the stand-in has no icon
// resources of its own to destroy, so a released handle is simply forgotten.
TIcon::~TIcon() = default;

void TIcon::SetHandle(HICON Value) { handle_ = Value; }

HICON TIcon::ReleaseHandle() noexcept
{
    HICON handle = handle_;
    handle_ = nullptr;
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
