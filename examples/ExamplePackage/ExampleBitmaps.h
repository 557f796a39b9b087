// Pictures the example hands to the IDE: 16 x 16 on pure magenta, which the
// IDE shows transparent. The IDE takes each handle over.
#pragma once

#include "host/win32/Win32.h"

#include <cstdint>
#include <vector>

namespace example {

// `inside(x, y)` says which pixels take `colour`; the rest stay magenta.
template <class Shape>
HBITMAP MakeIconBitmap(std::uint32_t colour, Shape inside)
{
    constexpr std::uint32_t magenta = 0x00FF00FF;
    std::vector<std::uint32_t> pixels(16 * 16, magenta);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (inside(x, y))
                pixels[std::size_t(y * 16 + x)] = colour;
    return CreateBitmap(16, 16, 1, 32, pixels.data());
}

} // namespace example
