#include "host/vcl/ImgList.h"

#include "host/vcl/TypInfo.h"

#include <algorithm>

TVX_DEFINE_CLASS(TCustomImageList, Published<&TCustomImageList::Width, &TCustomImageList::SetWidth>(u"Width"),
                 Published<&TCustomImageList::Height, &TCustomImageList::SetHeight>(u"Height"))
TVX_DEFINE_CLASS(TImageList)

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight)
    : TComponent(AOwner), width_(std::max(AWidth, 1)), height_(std::max(AHeight, 1))
{}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetWidth(int Value)
{
    Value = std::max(Value, 1);
    if (Value == width_)
        return;
    width_ = Value;
    Clear();
}

void TCustomImageList::SetHeight(int Value)
{
    Value = std::max(Value, 1);
    if (Value == height_)
        return;
    height_ = Value;
    Clear();
}

std::vector<TImageListImage> TCustomImageList::Cut(TBitmap* Image, TColor MaskColor) const
{
    std::vector<TImageListImage> result;
    if (!Image || Image->Empty())
        return result;
    std::vector<std::uint32_t> source;
    try {
        source = Image->ReadPixels();
    } catch (const EInvalidGraphic&) {
        return result;
    }
    // The system infers the number of images from the bitmap's width; a
    // narrower bitmap still makes one.
    const int count = std::max(Image->Width() / width_, 1);
    const std::uint32_t mask = ColorToPixel(MaskColor);
    for (int n = 0; n < count; ++n) {
        TImageListImage image;
        image.Pixels.assign(std::size_t(width_) * std::size_t(height_), 0);
        image.Mask.assign(image.Pixels.size(), true);
        for (int y = 0; y < std::min(height_, Image->Height()); ++y) {
            for (int x = 0; x < width_; ++x) {
                int sx = n * width_ + x;
                if (sx >= Image->Width())
                    break;
                std::uint32_t pixel = source[std::size_t(y) * std::size_t(Image->Width()) + std::size_t(sx)];
                std::size_t at = std::size_t(y) * std::size_t(width_) + std::size_t(x);
                bool transparent = (pixel & 0xFFFFFF) == mask;
                image.Mask[at] = transparent;
                image.Pixels[at] = transparent ? 0 : (pixel & 0xFFFFFF);
            }
        }
        result.push_back(std::move(image));
    }
    return result;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    std::vector<TImageListImage> cut = Cut(Image, MaskColor);
    if (cut.empty())
        throw EInvalidOperation(String(SInsertImage));
    int first = Count();
    for (auto& image : cut)
        images_.push_back(std::move(image));
    return first;
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor)
{
    CheckIndex(Index);
    std::vector<TImageListImage> cut = Cut(NewImage, MaskColor);
    if (cut.empty())
        throw EInvalidOperation(String(SReplaceImage));
    images_[std::size_t(Index)] = std::move(cut.front());
}

void TCustomImageList::Delete(int Index)
{
    CheckIndex(Index);
    images_.erase(images_.begin() + Index);
}

void TCustomImageList::Clear() { images_.clear(); }

void TCustomImageList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation(String(SImageIndexError));
}

const TImageListImage& TCustomImageList::Images(int Index) const
{
    CheckIndex(Index);
    return images_[std::size_t(Index)];
}

TColor TCustomImageList::PixelColor(int Index, int X, int Y) const
{
    const TImageListImage& image = Images(Index);
    if (X < 0 || Y < 0 || X >= width_ || Y >= height_)
        return clBlack;
    return PixelToColor(image.Pixels[std::size_t(Y) * std::size_t(width_) + std::size_t(X)]);
}

bool TCustomImageList::IsTransparent(int Index, int X, int Y) const
{
    const TImageListImage& image = Images(Index);
    if (X < 0 || Y < 0 || X >= width_ || Y >= height_)
        return true;
    return image.Mask[std::size_t(Y) * std::size_t(width_) + std::size_t(X)];
}
