#include "state/palette.h"

#include <array>
#include <cstddef>

namespace karte {

PaletteColor paletteColor(int number)
{
    static constexpr std::array<PaletteColor, 16> colors{{
        {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
        {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
        {128, 128, 128}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
        {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
    }};
    if (number < 0 || number >= static_cast<int>(colors.size()))
        return colors[0];
    return colors[static_cast<std::size_t>(number)];
}

} // namespace karte
