// The icon a tool window shows, drawn from a package's bitmap.
#include "host/vcl/Graphics.h"
#include "host/win32/Win32.h"
#include "windows/BdsDockableWindow.h"

namespace talvix {

std::unique_ptr<TIcon> MakeIconFromBitmap(TBitmap* Source)
{
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    TBitmap color(width, height);
    color.Canvas()->StretchDraw(TRect{0, 0, width, height}, Source);
    color.SetTransparentColor(Source->TransparentColor());
    const TColor key = color.TransparentColor() & 0xFFFFFF;
    // Taken before the transparent pixels turn black: the mask is made from it.
    TBitmap mask;
    mask.Assign(&color);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (color.Canvas()->Pixels(x, y) == key)
                color.Canvas()->SetPixels(x, y, clBlack);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask.MaskHandle();
    info.hbmColor = color.Handle();
    auto icon = std::make_unique<TIcon>();
    HICON handle = CreateIconIndirect(&info);
    if (!handle)
        throw EOutOfResources(String(SOutOfResources));
    icon->SetHandle(handle);
    return icon;
}

} // namespace talvix
