#pragma once

#include "state/numberformat.h"

namespace karte {

// Window layouts are designed in twips (1/1440 inch): 15 twips make one
// screen pixel at 96 dots per inch.
constexpr int twipsPerPixel = 15;

inline int twipsToPixels(double twips)
{
    return roundHalfEven(twips / twipsPerPixel);
}

inline int pixelsToTwips(int pixels)
{
    return pixels * twipsPerPixel;
}

} // namespace karte
