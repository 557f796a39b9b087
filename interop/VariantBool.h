// VARIANT_BOOL: write -1 for true, read any non-zero value as true.
#pragma once

#include "interop/ComBase.h"

namespace tvx {

constexpr VARIANT_BOOL ToVariantBool(bool value) noexcept { return value ? VARIANT_TRUE : VARIANT_FALSE; }
constexpr bool FromVariantBool(VARIANT_BOOL value) noexcept { return value != 0; }

} // namespace tvx
