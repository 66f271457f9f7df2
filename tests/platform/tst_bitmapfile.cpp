#include "platform/bitmapfile.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace karte;
using namespace karte::test;
using namespace karte::bitmapfile;

namespace {

// A small picture with distinct pixels, so a swapped channel or a flipped
// row shows.
QImage testPicture(QImage::Format format)
{
    QImage image(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x * y) % 256));
    return image.convertToFormat(format);
}

QByteArray bmpBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    writer.write(image);
    return bytes;
}


QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestBitmapFile : public QObject {
    Q_OBJECT
private slots:
    void loadsAsRgb32_data();
    void loadsAsRgb32();
    void readsTopDownRows();
    void refusesUnreadable_data();
    void refusesUnreadable();
    void saveLoadRoundTrip();
    void failedSaveKeepsTarget();
    void loadsExampleMap();
};

void TestBitmapFile::loadsAsRgb32_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("24-bit") << int(QImage::Format_RGB32);
    QTest::newRow("8-bit indexed") << int(QImage::Format_Indexed8);
}

void TestBitmapFile::loadsAsRgb32()
{
    QFETCH(int, format);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QImage original = testPicture(QImage::Format(format));
    const QString path = dir.filePath("karte.bmp");
    QVERIFY(writeBytes(path, bmpBytes(original)));

    const std::optional<QImage> loaded = loadBitmap(path);
    QVERIFY(loaded);
    QCOMPARE(loaded->format(), QImage::Format_RGB32);
    QCOMPARE(loaded->size(), QSize(37, 23));
    QCOMPARE(*loaded, original.convertToFormat(QImage::Format_RGB32));
}

void TestBitmapFile::readsTopDownRows()
{
    // A negative height stores the top row first.
    const QImage original = testPicture(QImage::Format_RGB32);
    const QByteArray bottomUp = bmpBytes(original);
    const qsizetype offset = qFromLittleEndian<quint32>(bottomUp.constData() + 10);
    const qsizetype rowBytes = (original.width() * 3 + 3) / 4 * 4;
    QByteArray topDown = bottomUp.left(offset);
    qToLittleEndian<qint32>(-original.height(), topDown.data() + 22);
    for (int row = original.height() - 1; row >= 0; --row)
        topDown += bottomUp.mid(offset + row * rowBytes, rowBytes);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("oben.bmp");
    QVERIFY(writeBytes(path, topDown));
    const std::optional<QImage> loaded = loadBitmap(path);
    QVERIFY(loaded);
    QCOMPARE(*loaded, original);
}

void TestBitmapFile::refusesUnreadable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = bmpBytes(testPicture(QImage::Format_RGB32));
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("garbage") << QByteArray("this is not a picture at all, just words\r\n").repeated(20);
    QTest::newRow("header only") << good.left(54);
    QTest::newRow("cut in the pixels") << good.left(good.size() / 2);
    QByteArray hugeWidth = good;
    qToLittleEndian<qint32>(2000000000, hugeWidth.data() + 18); // width field
    QTest::newRow("absurd width") << hugeWidth;
    QByteArray zeroHeight = good;
    qToLittleEndian<qint32>(0, zeroHeight.data() + 22); // height field
    QTest::newRow("zero height") << zeroHeight;
}

void TestBitmapFile::refusesUnreadable()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("kaputt.bmp");
    QVERIFY(writeBytes(path, bytes));
    QVERIFY(!loadBitmap(path));
    QVERIFY(!loadBitmap(dir.filePath("missing.bmp")));
    QVERIFY(!loadBitmap(dir.path())); // a folder
}

void TestBitmapFile::saveLoadRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("karte.bmp");
    QVERIFY(writeBytes(path, "an older file"));
    const QImage original = testPicture(QImage::Format_RGB32);
    QString error;
    QVERIFY2(saveBitmap(original, path, &error), qPrintable(error));
    QVERIFY(readBytes(path).startsWith("BM"));
    const std::optional<QImage> loaded = loadBitmap(path);
    QVERIFY(loaded);
    QCOMPARE(*loaded, original);
    // Qt's own reader agrees, so a fault shared by our writer and reader shows.
    QCOMPARE(QImage(path, "bmp").convertToFormat(QImage::Format_RGB32), original);

    // Other formats go through Qt's writer.
    const QImage indexed = testPicture(QImage::Format_Indexed8);
    QVERIFY(saveBitmap(indexed, path, &error));
    QCOMPARE(*loadBitmap(path), indexed.convertToFormat(QImage::Format_RGB32));
}

void TestBitmapFile::failedSaveKeepsTarget()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QImage picture = testPicture(QImage::Format_RGB32);

    const QString folder = dir.filePath("karte.bmp");
    QVERIFY(QDir(dir.path()).mkdir("karte.bmp"));
    QString error;
    QVERIFY(!saveBitmap(picture, folder, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"karte.bmp"});

    error.clear();
    QVERIFY(!saveBitmap(picture, dir.filePath("missing/karte.bmp"), &error));
    QVERIFY(!error.isEmpty());

    // Nothing to write: the old file stays.
    const QString path = dir.filePath("alt.bmp");
    QVERIFY(writeBytes(path, bmpBytes(picture)));
    QVERIFY(!saveBitmap(QImage(), path, &error));
    QCOMPARE(readBytes(path), bmpBytes(picture));
}

void TestBitmapFile::loadsExampleMap()
{
    // 8-bit indexed: read by Qt's reader, then widened to RGB32.
    const std::optional<QImage> map = loadBitmap(QStringLiteral(KARTE_EXAMPLES "/beispielkarte.bmp"));
    QVERIFY(map);
    QCOMPARE(map->format(), QImage::Format_RGB32);
    QCOMPARE(map->size(), QSize(3000, 2200));
}

QTEST_GUILESS_MAIN(TestBitmapFile)
#include "tst_bitmapfile.moc"
