// A package's bitmap handle passes into our care on every call that takes
// one. Only a live bitmap is deleted: a stale or foreign handle is not ours
// to destroy, and deleting it could hit an object that reused the value.
#pragma once

#include "host/win32/UniqueHandle.h"
#include "host/win32/Win32.h"

namespace talvix {

struct PackageBitmapTraits {
    using Type = HBITMAP;
    static constexpr HBITMAP Invalid() noexcept { return nullptr; }
    static void Close(HBITMAP bitmap) noexcept
    {
        if (GetObjectType(bitmap) == OBJ_BITMAP)
            DeleteObject(bitmap);
    }
};
using PackageBitmap = tvx::UniqueHandle<PackageBitmapTraits>;

} // namespace talvix
