#pragma once
// The 16 colours of the PC text modes, which every colour setting indexes.

#include <cstdint>

namespace vemar {

using Rgb = std::uint32_t;   // 0xRRGGBB

constexpr Rgb rgb(int r, int g, int b) { return Rgb(r) << 16 | Rgb(g) << 8 | Rgb(b); }

// index: 0..15; any other index gives black.
constexpr Rgb palette(int index) {
    constexpr Rgb table[16] = {
        rgb(0, 0, 0),     rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128),
        rgb(128, 0, 0),   rgb(128, 0, 128), rgb(128, 128, 0), rgb(192, 192, 192),
        rgb(128, 128, 128), rgb(0, 0, 255), rgb(0, 255, 0),   rgb(0, 255, 255),
        rgb(255, 0, 0),   rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255),
    };
    return index >= 0 && index < 16 ? table[index] : table[0];
}

} // namespace vemar
