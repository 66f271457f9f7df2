#pragma once

#include <QIcon>
#include <QImage>

namespace karte {

// The program's globe (blue sea, green land) drawn at size by size pixels
// in colours of the 16-colour palette.
QImage globeImage(int size);

// The window icon: the globe at 32 by 32 and 16 by 16 pixels.
QIcon globeIcon();

} // namespace karte
