#include "platform/bitmapfile.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace karte::bitmapfile {

namespace {

// Scanned maps are large: a 7000 x 6000 scan takes 168 MB decoded, beyond
// Qt's default of 128 MB. 2 GB is what a QImage can address anyway.
constexpr int allocationLimitMB = 2048;

// Qt's BMP reader fills the missing rows of a cut-off file with whatever
// it has and reports success. For uncompressed BMP files the header says how
// long the pixel data is; a shorter file is refused.
bool isTruncatedBmp(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false; // the reader reports it
    const QByteArray head = file.read(34);
    if (head.size() < 26 || !head.startsWith("BM"))
        return false;
    const uchar* h = reinterpret_cast<const uchar*>(head.constData());
    const quint32 pixelOffset = qFromLittleEndian<quint32>(h + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(h + 14);
    qint64 width = 0, height = 0, bitCount = 0;
    if (headerSize == 12) { // OS/2 core header
        width = qFromLittleEndian<quint16>(h + 18);
        height = qFromLittleEndian<quint16>(h + 20);
        bitCount = qFromLittleEndian<quint16>(h + 24);
    } else if (headerSize >= 40) {
        if (head.size() < 34)
            return true;
        width = qFromLittleEndian<qint32>(h + 18);
        height = qFromLittleEndian<qint32>(h + 22);
        bitCount = qFromLittleEndian<quint16>(h + 28);
        const quint32 compression = qFromLittleEndian<quint32>(h + 30);
        constexpr quint32 plainRgb = 0, bitFields = 3;
        if (compression != plainRgb && compression != bitFields)
            return false; // run-length data has no fixed length
    } else {
        return false;
    }
    if (width <= 0 || bitCount <= 0)
        return false;
    const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
    return file.size() < qint64(pixelOffset) + rowBytes * std::abs(height);
}

} // namespace

std::optional<QImage> loadBitmap(const QString& path)
{
    QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), allocationLimitMB));
    if (isTruncatedBmp(path))
        return std::nullopt;
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
