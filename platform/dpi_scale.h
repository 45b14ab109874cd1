// Design sizes are pixels at 96 DPI; a window at another DPI scales them as MulDiv does:
// value * dpi / 96, rounded to the nearest whole pixel, halves away from zero.
#pragma once

#include <cstdint>

namespace keyrack {

inline constexpr int kDesignDpi = 96;

constexpr int ScaleDpi(int value, int dpi) {
    const std::int64_t product = std::int64_t{value} * dpi;
    const std::int64_t half = kDesignDpi / 2;
    const std::int64_t rounded =
        product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi);
    return static_cast<int>(rounded);
}

}  // namespace keyrack
