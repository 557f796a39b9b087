// The image list behind menus and toolbars. Each image keeps its pixels and
// its mask, so a test can see which pixels a masked add made transparent.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/IdeApi.h"

#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr std::u16string_view SInsertImage = u"Unable to insert an image";
inline constexpr std::u16string_view SReplaceImage = u"Unable to Replace Image";
inline constexpr std::u16string_view SImageIndexError = u"Invalid ImageList Index";

// One image of the list: Width x Height pixels, rows top first.
struct TVX_IDE_API TImageListImage {
    // 0x00RRGGBB; a transparent pixel is black, as the system's list keeps it.
    std::vector<std::uint32_t> Pixels;
    // True where the image is transparent.
    std::vector<bool> Mask;
};

class TVX_IDE_API TCustomImageList : public TComponent {
    TVX_CLASS(TCustomImageList, TComponent)

    // 16 x 16, the size of the IDE's menu images.
    explicit TCustomImageList(TComponent* AOwner = nullptr);
    TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);
    ~TCustomImageList() override;

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // Changing the size empties the list, as the VCL does.
    void SetWidth(int Value);
    void SetHeight(int Value);
    int Count() const noexcept { return int(images_.size()); }

    // Adds the bitmap, cut into Width-wide images (at least one), with every
    // pixel of MaskColor transparent; answers the index of the first image.
    // An empty or invalid bitmap raises EInvalidOperation "Unable to insert
    // an image". The bitmap itself is left unchanged.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // Replaces image Index with the first image of the bitmap, masked as above.
    void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
    void Delete(int Index);
    void Clear();

    // Raises EInvalidOperation "Invalid ImageList Index" outside 0..Count-1.
    const TImageListImage& Images(int Index) const;
    // The pixel as a TColor, and whether it is transparent; outside the
    // image a pixel reads as transparent black.
    TColor PixelColor(int Index, int X, int Y) const;
    bool IsTransparent(int Index, int X, int Y) const;

private:
    void CheckIndex(int Index) const;
    // The masked images cut from a bitmap; none when it cannot be read.
    std::vector<TImageListImage> Cut(TBitmap* Image, TColor MaskColor) const;

    int width_ = 16;
    int height_ = 16;
    std::vector<TImageListImage> images_;
};

class TVX_IDE_API TImageList : public TCustomImageList {
    TVX_CLASS(TImageList, TCustomImageList)
    using TCustomImageList::TCustomImageList;
};
