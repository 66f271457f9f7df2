#include "platform/bitmapfile.h"

#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>

namespace karte::bitmapfile {

namespace {

// Scanned maps are large: a 7000 x 6000 scan takes 168 MB decoded, beyond
// Qt's default of 128 MB. 2 GB is what a QImage can address anyway.
constexpr int allocationLimitMB = 2048;

} // namespace

std::optional<QImage> loadBitmap(const QString& path)
{
    QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), allocationLimitMB));
    QImageReader reader(path);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    if (image.format() != QImage::Format_RGB32) {
        // In place where the depth allows it; else the smaller source is
        // freed as soon as the converted copy exists.
        image.convertTo(QImage::Format_RGB32);
        if (image.isNull())
            return std::nullopt;
    }
    return image;
}

bool saveBitmap(const QImage& image, const QString& path, QString* error)
{
    auto failed = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (image.isNull())
        return failed(QStringLiteral("no image"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    QImageWriter writer(&file, "bmp");
    if (!writer.write(image)) {
        const QString why = writer.errorString();
        file.cancelWriting();
        return failed(why);
    }
    if (!file.commit())
        return failed(file.errorString());
    return true;
}

} // namespace karte::bitmapfile
