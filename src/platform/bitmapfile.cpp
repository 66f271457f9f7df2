#include "platform/bitmapfile.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace karte::bitmapfile {

namespace {

// Scanned maps are large: a 7000 x 6000 scan takes 168 MB decoded, beyond
// Qt's default of 128 MB. 2 GB is what a QImage can address anyway.
constexpr int allocationLimitMB = 2048;

// A BMP row stores blue, green, red per pixel; read as little-endian words,
// four pixels fill three words. Whole words keep the loops short.
void unpackRow(const uchar* src, QRgb* dst, int width)
{
    int x = 0;
    for (; x + 4 <= width; x += 4, src += 12) {
        const quint32 w[3] = {qFromLittleEndian<quint32>(src), qFromLittleEndian<quint32>(src + 4),
                              qFromLittleEndian<quint32>(src + 8)};
        dst[x] = 0xFF000000u | (w[0] & 0xFFFFFFu);
        dst[x + 1] = 0xFF000000u | w[0] >> 24 | (w[1] & 0xFFFFu) << 8;
        dst[x + 2] = 0xFF000000u | w[1] >> 16 | (w[2] & 0xFFu) << 16;
        dst[x + 3] = 0xFF000000u | w[2] >> 8;
    }
    for (; x < width; ++x, src += 3)
        dst[x] = 0xFF000000u | uint(src[2]) << 16 | uint(src[1]) << 8 | uint(src[0]);
}

void packRow(const QRgb* src, uchar* dst, int width)
{
    int x = 0;
    for (; x + 4 <= width; x += 4, dst += 12) {
        // One store per word: a three-word copy through the stack stalls.
        qToLittleEndian<quint32>((src[x] & 0xFFFFFFu) | src[x + 1] << 24, dst);
        qToLittleEndian<quint32>((src[x + 1] >> 8 & 0xFFFFu) | src[x + 2] << 16, dst + 4);
        qToLittleEndian<quint32>((src[x + 2] >> 16 & 0xFFu) | src[x + 3] << 8, dst + 8);
    }
    for (; x < width; ++x, dst += 3) {
        dst[0] = uchar(src[x]);
        dst[1] = uchar(src[x] >> 8);
        dst[2] = uchar(src[x] >> 16);
    }
}

// What the header of an uncompressed BMP file says about its pixel data.
struct BmpLayout {
    qint64 pixelOffset = 0; // bytes from the start of the file
    qint64 width = 0;       // pixels
    qint64 height = 0;      // pixels, always positive
    bool bottomUp = true;   // first stored row is the bottom one
    int bitCount = 0;
    bool infoHeader = false; // Windows header (40 bytes or more), not OS/2
    qint64 rowBytes() const { return (width * bitCount + 31) / 32 * 4; }
    // A header may claim more than any file holds (2^31 rows of 2^31
    // pixels); such sizes saturate rather than overflow.
    qint64 fileSize() const
    {
        constexpr qint64 most = std::numeric_limits<qint64>::max();
        if (rowBytes() > (most - pixelOffset) / height)
            return most;
        return pixelOffset + rowBytes() * height;
    }
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
    if (layout.width > qint64(allocationLimitMB) * 1024 * 1024 / 4 / layout.height)
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
            unpackRow(src, dst, width);
        }
    }
    return image;
}

// The loaded map, RGB32, written as a 24-bit BMP in blocks of rows: Qt's
// writer handles the device one row at a time and takes about twice as long.
bool writeRgb24(const QImage& image, QIODevice& device)
{
    const qint64 width = image.width();
    const qint64 height = image.height();
    const qint64 rowBytes = (width * 24 + 31) / 32 * 4;
    constexpr qint64 headerBytes = 14 + 40;
    const qint64 fileBytes = headerBytes + rowBytes * height;
    if (fileBytes > std::numeric_limits<quint32>::max())
        return false;

    uchar header[headerBytes] = {};
    header[0] = 'B';
    header[1] = 'M';
    qToLittleEndian<quint32>(quint32(fileBytes), header + 2);
    qToLittleEndian<quint32>(quint32(headerBytes), header + 10);
    qToLittleEndian<quint32>(40, header + 14);
    qToLittleEndian<qint32>(qint32(width), header + 18);
    qToLittleEndian<qint32>(qint32(height), header + 22); // bottom row first
    qToLittleEndian<quint16>(1, header + 26);             // planes
    qToLittleEndian<quint16>(24, header + 28);            // bits per pixel
    qToLittleEndian<quint32>(quint32(rowBytes * height), header + 34);
    qToLittleEndian<qint32>(image.dotsPerMeterX(), header + 38);
    qToLittleEndian<qint32>(image.dotsPerMeterY(), header + 42);
    if (device.write(reinterpret_cast<const char*>(header), headerBytes) != headerBytes)
        return false;

    const int rowsPerBlock = int(std::max<qint64>(1, (1 << 20) / rowBytes));
    QByteArray block(rowBytes * rowsPerBlock, '\0'); // zero row padding
    for (qint64 first = 0; first < height; first += rowsPerBlock) {
        const qint64 rows = std::min<qint64>(rowsPerBlock, height - first);
        for (qint64 k = 0; k < rows; ++k) {
            const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(int(height - 1 - (first + k))));
            auto* dst = reinterpret_cast<uchar*>(block.data()) + k * rowBytes;
            packRow(src, dst, int(width));
        }
        if (device.write(block.constData(), rowBytes * rows) != rowBytes * rows)
            return false;
    }
    return true;
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
    if (image.format() == QImage::Format_RGB32) {
        if (!writeRgb24(image, file)) {
            const QString why = file.errorString();
            file.cancelWriting();
            return failed(why.isEmpty() ? QStringLiteral("image too large for a BMP file") : why);
        }
    } else {
        QImageWriter writer(&file, "bmp");
        if (!writer.write(image)) {
            const QString why = writer.errorString();
            file.cancelWriting();
            return failed(why);
        }
    }
    if (!file.commit())
        return failed(file.errorString());
    return true;
}

} // namespace karte::bitmapfile
