#pragma once

#include <QFont>

namespace karte {

// The map canvas's label font: "Small Fonts" at 6.75 points, regular; a
// small sans-serif font of that size where "Small Fonts" is not installed.
QFont canvasFont();

} // namespace karte
