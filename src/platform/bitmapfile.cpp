#include "platform/bitmapfile.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>

namespace karte::bitmapfile {

namespace {

// Scanned maps are large: a 7000 x 6000 scan takes 168 MB decoded, beyond
// Qt's default of 128 MB. 2 GB is what a QImage can address anyway.
constexpr int allocationLimitMB = 2048;

// What the header of an uncompressed BMP file says about its pixel data.
struct BmpLayout {
    qint64 pixelOffset = 0; // bytes from the start of the file
    qint64 width = 0;       // pixels
    qint64 height = 0;      // pixels, always positive
    bool bottomUp = true;   // first stored row is the bottom one
    int bitCount = 0;
    bool infoHeader = false; // Windows header (40 bytes or more), not OS/2
    qint64 rowBytes() const { return (width * bitCount + 31) / 32 * 4; }
    qint64 fileSize() const { return pixelOffset + rowBytes() * height; }
};

// The layout of an uncompressed BMP file; nullopt for anything else (other
// formats, run-length data), which Qt's reader then judges alone.
std::optional<BmpLayout> uncompressedBmpLayout(QFile& file)
{
    const QByteArray head = file.read(34);
    if (head.size() < 26 || !head.startsWith("BM"))
        return std::nullopt;
    const auto* h = reinterpret_cast<const uchar*>(head.constData());
    BmpLayout layout;
    layout.pixelOffset = qFromLittleEndian<quint32>(h + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(h + 14);
    if (headerSize == 12) { // OS/2 core header
        layout.width = qFromLittleEndian<quint16>(h + 18);
        layout.height = qFromLittleEndian<quint16>(h + 20);
        layout.bitCount = qFromLittleEndian<quint16>(h + 24);
    } else if (headerSize >= 40 && head.size() >= 34) {
        layout.infoHeader = true;
        layout.width = qFromLittleEndian<qint32>(h + 18);
        const qint64 height = qFromLittleEndian<qint32>(h + 22);
        layout.bottomUp = height > 0;
        layout.height = height < 0 ? -height : height;
        layout.bitCount = qFromLittleEndian<quint16>(h + 28);
        constexpr quint32 plainRgb = 0, bitFields = 3;
        const quint32 compression = qFromLittleEndian<quint32>(h + 30);
        if (compression != plainRgb && compression != bitFields)
            return std::nullopt; // run-length data has no fixed length
        if (compression == bitFields && layout.bitCount == 24)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (layout.width <= 0 || layout.height <= 0 || layout.bitCount <= 0)
        return std::nullopt;
    return layout;
}

// The common scan, 24 bits per pixel without compression, read in blocks of
// rows straight into the RGB32 image: Qt's reader takes about three times as
// long as reading the bytes, this about 1.3 times.
std::optional<QImage> readRgb24(QFile& file, const BmpLayout& layout)
{
    if (layout.width * layout.height * 4 > qint64(allocationLimitMB) * 1024 * 1024)
        return std::nullopt;
    const int width = int(layout.width);
    const int height = int(layout.height);
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull() || !file.seek(layout.pixelOffset))
        return std::nullopt;
    const qint64 rowBytes = layout.rowBytes();
    const int rowsPerBlock = int(std::max<qint64>(1, (1 << 20) / rowBytes));
    QByteArray block(rowBytes * rowsPerBlock, Qt::Uninitialized);
    for (int first = 0; first < height; first += rowsPerBlock) {
        const int rows = std::min(rowsPerBlock, height - first);
        if (file.read(block.data(), rowBytes * rows) != rowBytes * rows)
            return std::nullopt;
        for (int k = 0; k < rows; ++k) {
            const int y = layout.bottomUp ? height - 1 - (first + k) : first + k;
            const auto* src = reinterpret_cast<const uchar*>(block.constData()) + k * rowBytes;
            auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x, src += 3) // stored blue, green, red
                dst[x] = 0xFF000000u | uint(src[2]) << 16 | uint(src[1]) << 8 | uint(src[0]);
        }
    }
    return image;
}

} // namespace

std::optional<QImage> loadBitmap(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (const std::optional<BmpLayout> layout = uncompressedBmpLayout(file)) {
        // Qt's BMP reader fills the missing rows of a cut-off file with
        // whatever it has and reports success; the header says how long the
        // pixel data must be.
        if (file.size() < layout->fileSize())
            return std::nullopt;
        if (layout->bitCount == 24 && layout->infoHeader)
            return readRgb24(file, *layout);
    }
    if (!file.seek(0))
        return std::nullopt;

    QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), allocationLimitMB));
    QImageReader reader(&file);
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
