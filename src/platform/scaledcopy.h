#pragma once

#include <QImage>

namespace karte {

// Paints the map rectangle that starts at image pixel (sx, sy) and is
// W / z by H / z image pixels onto the whole target (W by H canvas pixels),
// scaled by z. Canvas pixels beyond the image's right or bottom edge are
// white. Only the visible part of the map is read.
void copyVisiblePart(QImage& target, const QImage& map, int sx, int sy, float z);

} // namespace karte
