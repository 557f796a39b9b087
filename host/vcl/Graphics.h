// Colours, the bitmap and its canvas, fonts and icons. A TBitmap wraps one
// GDI bitmap handle of the win32 stand-in and owns it: freeing the bitmap,
// or giving it another handle, deletes the handle it held, unless
// ReleaseHandle handed it out. A TIcon owns its icon handle the same way.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/Events.h"
#include "host/vcl/IdeApi.h"
#include "host/vcl/TypInfo.h"
#include "host/win32/Gdi.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

// A colour as the VCL writes it: 0x00BBGGRR, red in the lowest byte.
using TColor = int;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
// Pure magenta, the transparent colour of the IDE's menu and toolbar images.
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
// System colours: the top byte marks them, the low byte is the index that
// GetSysColor takes.
inline constexpr TColor clWindow = TColor(0xFF000005);
inline constexpr TColor clWindowText = TColor(0xFF000008);
inline constexpr TColor clBtnFace = TColor(0xFF00000F);

// The named colours a form stream may use, for TColor properties.
TVX_IDE_API std::span<const TIdentMapEntry> ColorIdents() noexcept;

// A font's character set, with the names a form stream may use.
using TFontCharset = int;
#if !defined(_WIN32) // wingdi.h has them, with the same values
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SYMBOL_CHARSET = 2;
inline constexpr TFontCharset RUSSIAN_CHARSET = 204;
#endif
TVX_IDE_API std::span<const TIdentMapEntry> CharsetIdents() noexcept;

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

inline constexpr std::u16string_view SInvalidBitmap = u"Bitmap image is not valid";
inline constexpr std::u16string_view SInvalidIcon = u"Icon image is not valid";
inline constexpr std::u16string_view SOutOfResources = u"Out of system resources";

class TVX_IDE_API EInvalidGraphic : public Exception {
    TVX_EXCEPTION_CLASS(EInvalidGraphic, Exception)
};
class TVX_IDE_API EOutOfResources : public Exception {
    TVX_EXCEPTION_CLASS(EOutOfResources, Exception)
};

// A system colour as the classic Windows scheme paints it; any other colour
// is its own RGB value.
constexpr TColor ColorToRGB(TColor Color) noexcept
{
    switch (Color) {
    case clWindow: return 0xFFFFFF;
    case clWindowText: return 0x000000;
    case clBtnFace: return 0xC0C0C0;
    default: return Color & 0xFFFFFF;
    }
}

// Between a TColor and a 32-bit GDI pixel (0x00RRGGBB, blue lowest).
constexpr std::uint32_t ColorToPixel(TColor Color) noexcept
{
    auto c = std::uint32_t(ColorToRGB(Color));
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr TColor PixelToColor(std::uint32_t Pixel) noexcept
{
    return TColor(((Pixel & 0xFF) << 16) | (Pixel & 0xFF00) | ((Pixel >> 16) & 0xFF));
}

struct TVX_IDE_API TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

class TBitmap;

// The drawing surface of a bitmap; the bitmap owns it.
class TVX_IDE_API TCanvas : public TPersistent {
    TVX_CLASS(TCanvas, TPersistent)

    explicit TCanvas(TBitmap& Bitmap) noexcept : bitmap_(Bitmap) {}

    // Outside the image a read answers -1 and a write does nothing.
    TColor Pixels(int X, int Y) const;
    void SetPixels(int X, int Y, TColor Color);
    // Scales the whole of Graphic into Rect (nearest pixel), clipped to the
    // image. An empty Graphic or Rect draws nothing.
    void StretchDraw(const TRect& Rect, TBitmap* Graphic);

private:
    TBitmap& bitmap_;
};

class TVX_IDE_API TBitmap : public TPersistent {
    TVX_CLASS(TBitmap, TPersistent)

    TBitmap() = default;
    // A black bitmap of that size.
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;

    // Copies another bitmap's image and transparent colour into handles of its own.
    void Assign(TPersistent* Source) override;

    // Null while the bitmap is empty.
    HBITMAP Handle() const noexcept { return handle_; }
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    // Takes over Value (deleting the handle held so far); null empties the
    // bitmap. A handle that is no live 32-bit bitmap raises EInvalidGraphic
    // and leaves the bitmap as it was, not owning Value.
    void SetHandle(HBITMAP Value);
    // Hands the handle to the caller, who deletes it; the bitmap is empty.
    HBITMAP ReleaseHandle() noexcept;

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    bool Empty() const noexcept { return handle_ == nullptr; }
    // Keeps the image where old and new size overlap; new parts are black.
    void SetSize(int AWidth, int AHeight);
    void SetWidth(int Value) { SetSize(Value, height_); }
    void SetHeight(int Value) { SetSize(width_, Value); }

    TCanvas* Canvas();

    // Outside the image a read answers -1 and a write does nothing, as the
    // canvas's Pixels do.
    TColor Pixel(int X, int Y) const;
    void SetPixel(int X, int Y, TColor Color);
    // Fills the whole image with one colour.
    void Fill(TColor Color);

    // The colour set with SetTransparentColor, else the colour of the
    // bottom-left pixel, as the VCL's automatic mode reads it; clDefault
    // while the bitmap is empty and no colour was set.
    TColor TransparentColor() const;
    // clDefault goes back to the bottom-left pixel.
    void SetTransparentColor(TColor Value) noexcept { transparentColor_ = Value; }

    // A monochrome bitmap the size of the image, 1 (white) where a pixel has
    // the transparent colour and 0 (black) elsewhere; null while empty. The
    // bitmap owns it and brings it up to date with the image at each call.
    HBITMAP MaskHandle();

    // Every pixel, rows top first, in the GDI layout (0x00RRGGBB). Raises
    // EInvalidGraphic when the handle was deleted behind the bitmap's back.
    std::vector<std::uint32_t> ReadPixels() const;
    void WritePixels(const std::vector<std::uint32_t>& Pixels);

private:
    void Adopt(HBITMAP Value, int AWidth, int AHeight) noexcept;
    void DropMask() noexcept;

    HBITMAP handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    TColor transparentColor_ = clDefault;
    HBITMAP mask_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};

// The font of a control. Changing any value raises OnChange, through which
// the control learns that its font no longer follows its parent's.
class TVX_IDE_API TFont : public TPersistent {
    TVX_CLASS(TFont, TPersistent)

    TFont() = default;

    void Assign(TPersistent* Source) override;

    TFontCharset Charset() const noexcept { return charset_; }
    void SetCharset(TFontCharset Value) { Change(charset_, Value); }
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor Value) { Change(color_, Value); }
    // In pixels; negative for the character height without internal leading.
    int Height() const noexcept { return height_; }
    void SetHeight(int Value) { Change(height_, Value); }
    const String& Name() const noexcept { return name_; }
    void SetName(String Value) { Change(name_, std::move(Value)); }
    TFontStyles Style() const noexcept { return style_; }
    void SetStyle(TFontStyles Value) { Change(style_, Value); }

    TNotifyEvent OnChange() const noexcept { return onChange_; }
    void SetOnChange(const TNotifyEvent& Value) noexcept { onChange_ = Value; }

private:
    template <class T>
    void Change(T& field, T value)
    {
        if (field == value)
            return;
        field = std::move(value);
        onChange_(this);
    }

    TFontCharset charset_ = DEFAULT_CHARSET;
    TColor color_ = clWindowText;
    int height_ = -11;
    String name_ = u"Tahoma";
    TFontStyles style_;
    TNotifyEvent onChange_;
};

// A form's icon. It owns its handle until ReleaseHandle hands it out.
class TVX_IDE_API TIcon : public TPersistent {
    TVX_CLASS(TIcon, TPersistent)

    TIcon() = default;
    ~TIcon() override;

    // Gives this icon a handle of its own with the image of a TIcon; null or
    // an empty icon empties it.
    void Assign(TPersistent* Source) override;

    HICON Handle() const noexcept { return handle_; }
    // Takes over Value, destroying the icon held so far; null empties the
    // icon. A handle that is no live icon raises EInvalidGraphic and leaves
    // the icon as it was, not owning Value.
    void SetHandle(HICON Value);
    // Hands the handle to the caller, who destroys it; the icon is empty.
    HICON ReleaseHandle() noexcept;
    bool Empty() const noexcept { return handle_ == nullptr; }
    // 0 while empty.
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }

private:
    HICON handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
