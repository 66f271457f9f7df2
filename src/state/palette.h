#pragma once

#include <cstdint>

namespace karte {

// One colour of the classic 16-colour palette, as 8-bit red, green, blue.
struct PaletteColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const PaletteColor&, const PaletteColor&) = default;
};

// Colour number 0..15 of the classic palette (0 black, 1 dark blue, ...,
// 12 red, 13 magenta, 14 yellow, 15 white). Numbers outside give black.
PaletteColor paletteColor(int number);

} // namespace karte
