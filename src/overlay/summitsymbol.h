#pragma once

#include "platform/canvas.h"

#include <QString>

namespace karte {

// Draws the symbol of a summit type centred on canvas pixel (x, y): "G"
// stepped triangle, "W" block with handle, "H" arch, "P" letter P, "C" two
// poles, "T" square with rays; any other type (compared exactly, case
// included) a 5 by 5 square. Each symbol has one palette colour.
void drawSummitSymbol(Canvas& canvas, const QString& typ, int x, int y);

} // namespace karte
