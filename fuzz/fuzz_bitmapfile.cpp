// Arbitrary bytes as a map image, through bitmapfile::loadBitmap as
// "Karte Laden" calls it; a small image that loads is written back as
// "Karte Abspeichern" does and read again.
#include "fuzzsupport.h"

#include "platform/bitmapfile.h"

#include <QImage>

#include <cstdio>

using namespace karte;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeInput(QStringLiteral("karte.bmp"), data, size);
    const std::optional<QImage> image = bitmapfile::loadBitmap(path);
    if (!image)
        return 0;
    if (image->isNull() || image->format() != QImage::Format_RGB32 || image->width() <= 0
        || image->height() <= 0)
        fuzz::fail("a loaded map that is not a usable RGB32 image");

    // Every row is touched, so that a row the reader did not fill or an
    // image smaller than it claims shows up under the sanitizers.
    quint32 sum = 0;
    for (int y = 0; y < image->height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image->constScanLine(y));
        sum += row[0] + row[image->width() - 1];
    }
    if (sum == 0x5EED) // keeps the reads from being optimised away
        return 0;

    if (qint64(image->width()) * image->height() > 1 << 20)
        return 0; // writing large images costs more than it finds
    const QString savedPath = fuzz::folder() + QStringLiteral("/gespeichert.bmp");
    QString error;
    if (!bitmapfile::saveBitmap(*image, savedPath, &error))
        fuzz::fail("a loaded map cannot be saved");
    const std::optional<QImage> reloaded = bitmapfile::loadBitmap(savedPath);
    if (!reloaded)
        fuzz::fail("a saved map does not load");
    for (int y = 0; y < image->height(); ++y) {
        for (int x = 0; x < image->width(); ++x) {
            if (reloaded->pixel(x, y) != image->pixel(x, y)) {
                std::fprintf(stderr, "pixel %d,%d: %08x loaded, %08x after saving\n", x, y,
                             image->pixel(x, y), reloaded->pixel(x, y));
                fuzz::fail("a saved map does not load as the same image");
            }
        }
    }
    return 0;
}
