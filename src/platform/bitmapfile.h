#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace karte {

// Reading and writing the map image as a bitmap file.
namespace bitmapfile {

// The image at `path` at its own size in pixels, as Format_RGB32; nullopt
// when the file is not a readable image (empty, garbage, truncated).
std::optional<QImage> loadBitmap(const QString& path);

// Writes `image` as a BMP file, atomically: on failure the old file stays as
// it was and `error` (when given) says why.
bool saveBitmap(const QImage& image, const QString& path, QString* error);

} // namespace bitmapfile
} // namespace karte
