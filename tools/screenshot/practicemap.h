#pragma once

#include <QImage>

namespace karte {

// A made-up topographic map for trying the program out: contour lines of
// two hills, a river, a road, a kilometre grid and a few names.
QImage practiceMap(int width, int height);

} // namespace karte
