// Bad input through the main window's commands, as a user would meet it:
// hand-edited or foreign files, odd paths and targets that cannot be written.
// Whatever comes in, the program must not stop, must not show a half-read
// state and must say so when a map or a save fails.
#include "calibration/calibrationmodel.h"
#include "files/calibrationfile.h"
#include "files/summitlist.h"
#include "mainwindow/mainwindow.h"
#include "platform/bitmapfile.h"
#include "platform/usermessage.h"
#include "state/programstate.h"
#include "support/testfiles.h"
#include "support/mainwindowtest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <cmath>
#include <memory>

using namespace karte;
using namespace karte::test;

namespace {




// A small map whose pixels differ, so a shifted or swapped image shows.
QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 9 & 255, y * 13 & 255, (x + y) * 5 & 255));
    return image;
}

// The map as "Karte Abspeichern" writes it: 24 bits, 54-byte header.
QByteArray bmp24(const QImage& image)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.bmp"));
    QString error;
    if (!bitmapfile::saveBitmap(image, path, &error))
        qFatal("cannot write a test bitmap: %s", qPrintable(error));
    return fileBytes(path);
}

// A sound calibration file after the magic line; single fields are cx, cy,
// Lx, Ly, Bx, By, double fields the degrees and L0, B0.
const QByteArray calBody = "100,14.1,700,50.8\r\n"
                           "900,14.3,100,50.95\r\n"
                           "0,0,0,0\r\n"
                           "14.075,2.5E-04,0\r\n"
                           "50.975,0,-2.5E-04\r\n"
                           " 2,5E-04  0 \r\n";

QByteArray calFile(const QByteArray& body)
{
    return QByteArray(calibrationfile::magicText) + "\r\n" + body;
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// What loading a map with a given calibration file beside it comes to.
enum class CalOutcome {
    Used,    // calibrated from the file, silently
    Ignored, // not a calibration file: uncalibrated, silently
    Refused, // a calibration file that cannot be used: uncalibrated, told
};

} // namespace

Q_DECLARE_METATYPE(CalOutcome)

class TestBadInput : public MainWindowTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void unusualCalibrationFiles_data();
    void unusualCalibrationFiles();
    void negativeZeroSurvivesSaveAndLoad();
    void unusualBitmaps_data();
    void unusualBitmaps();
    void mapPathWithUmlautsAndBlanks();
    void saveIntoVanishedFolder();
    void summitListsThroughTheMenu_data();
    void summitListsThroughTheMenu();
    void summitListSaveIntoMissingFolder();

private:
    void answerSummitDialog(const QString& path);
};

void TestBadInput::init()
{
    openWindow(800, 600);
}

void TestBadInput::cleanup()
{
    closeWindow();
}

void TestBadInput::answerSummitDialog(const QString& path)
{
    _window->commonDialog2().setChooserForTests([path](const QString&, const QString&) { return path; });
}

void TestBadInput::unusualCalibrationFiles_data()
{
    QTest::addColumn<QByteArray>("cal");
    QTest::addColumn<CalOutcome>("outcome");
    using O = CalOutcome;

    QTest::newRow("magic text and nothing else") << fixtureBytes("calibration_magic_only.cal") << O::Refused;
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 97 + 13) % 256);
    QTest::newRow("binary garbage") << garbage << O::Ignored;
    QTest::newRow("binary garbage after the magic text") << calFile(garbage) << O::Refused;

    auto replaced = [](const char* from, const char* to) {
        QByteArray body = calBody;
        body.replace(from, to);
        return calFile(body);
    };
    QTest::newRow("1E400 as a degree value") << replaced("14.1", "1E400") << O::Refused;
    QTest::newRow("1E400 as a pixel position") << replaced("700", "1E400") << O::Refused;
    QTest::newRow("1E40 beyond single precision") << replaced("2.5E-04", "1E40") << O::Refused;
    QTest::newRow("NaN") << replaced("50.975", "NaN") << O::Refused;
    QTest::newRow("99999999 as a pixel position") << replaced("700", "99999999") << O::Used;
    QTest::newRow("99999999 as a degree value") << replaced("14.1", "99999999") << O::Used;
    QTest::newRow("-0 as a coefficient") << replaced("50.975,0,", "50.975,-0,") << O::Used;

    const QByteArray megabyte(1 << 20, '7');
    QTest::newRow("a line of 1 MB digits") << replaced("100,14.1,700,50.8", megabyte.constData()) << O::Refused;
    QTest::newRow("a line of 1 MB after the values")
        << calFile(calBody + "\r\n" + QByteArray(1 << 20, 'x') + "\r\n") << O::Used;
    QTest::newRow("a line of 1 MB as the first line") << QByteArray(1 << 20, 'T') << O::Ignored;
}

// Loaded after a calibrated map, so that a half-applied file would show.
void TestBadInput::unusualCalibrationFiles()
{
    QFETCH(QByteArray, cal);
    QFETCH(CalOutcome, outcome);

    const QString first = tempPath(QStringLiteral("erste.bmp"));
    QVERIFY(writeBytes(first, bmp24(pattern(40, 30))));
    QVERIFY(writeBytes(tempPath(QStringLiteral("erste.cal")), calFile(calBody)));
    laden(first);
    QVERIFY(_messages.isEmpty());
    const float maß = _state->calibration.maß;
    QVERIFY(maß > 0);

    const QString path = tempPath(QStringLiteral("karte.bmp"));
    QVERIFY(writeBytes(path, bmp24(pattern(60, 50))));
    const QString calPath = tempPath(QStringLiteral("karte.cal"));
    QVERIFY(writeBytes(calPath, cal));

    laden(path);

    QCOMPARE(label("lblkdatei")->text(), path);
    QCOMPARE(_window->mapImage(), pattern(60, 50));
    QCOMPARE(fileBytes(calPath), cal); // reading never changes the file
    switch (outcome) {
    case CalOutcome::Used: {
        QVERIFY2(_messages.isEmpty(), qPrintable(_messages.join(u'\n')));
        const CalibrationReadResult read = calibrationfile::readCalibration(cal);
        QVERIFY(read.values);
        QCOMPARE(_state->calibration.cx1, read.values->cx1);
        QCOMPARE(_state->calibration.Lgrd1, read.values->Lgrd1);
        QCOMPARE(_state->calibration.By, read.values->By);
        QVERIFY(std::isfinite(_state->calibration.maß) && std::isfinite(_state->calibration.alpha));
        break;
    }
    case CalOutcome::Ignored:
        QVERIFY2(_messages.isEmpty(), qPrintable(_messages.join(u'\n')));
        verifyIdentity(_state->calibration);
        QCOMPARE(_state->calibration.maß, maß);
        break;
    case CalOutcome::Refused:
        QCOMPARE(_messages.size(), 1);
        QVERIFY2(_messages.first().contains(QStringLiteral("karte.cal")), qPrintable(_messages.first()));
        verifyIdentity(_state->calibration);
        QCOMPARE(_state->calibration.maß, maß);
        break;
    }
}

// Both reference points on one meridian give Lx = Ly = 0. A file holding
// "-0" for Lx must come to the same north deviation as the "0" that a save
// writes, or a save and reload turns the map by 180 degrees.
void TestBadInput::negativeZeroSurvivesSaveAndLoad()
{
    const QString path = tempPath(QStringLiteral("meridian.bmp"));
    QVERIFY(writeBytes(path, bmp24(pattern(120, 100))));
    const QString calPath = tempPath(QStringLiteral("meridian.cal"));
    QVERIFY(writeBytes(calPath, fixtureBytes("calibration_negative_zero.cal")));

    laden(path);
    QVERIFY(_messages.isEmpty());
    QCOMPARE(_state->calibration.Lx, 0.0f);
    const float alpha = _state->calibration.alpha;
    const QString kalib = label("lblkalib")->text();
    QCOMPARE(alpha, 0.0f);

    abspeichern();
    QVERIFY(_messages.isEmpty());
    laden(path);
    QCOMPARE(_state->calibration.alpha, alpha);
    QCOMPARE(label("lblkalib")->text(), kalib);
}

void TestBadInput::unusualBitmaps_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");

    const QByteArray good = bmp24(pattern(30, 20));
    QTest::newRow("0-byte file") << QByteArray() << false;
    QTest::newRow("binary garbage") << QByteArray(5000, '\xA5') << false;
    QTest::newRow("header only") << good.left(54) << false;

    QByteArray fileSize = good;
    qToLittleEndian<quint32>(7, fileSize.data() + 2);
    QTest::newRow("wrong file size field") << fileSize << true;
    QByteArray imageSize = good;
    qToLittleEndian<quint32>(123456789, imageSize.data() + 34);
    QTest::newRow("wrong image size field") << imageSize << true;

    QByteArray tall = good;
    qToLittleEndian<qint32>(21, tall.data() + 22); // one row more than stored
    QTest::newRow("height one row beyond the data") << tall << false;
    QByteArray wide = good;
    qToLittleEndian<qint32>(0x7FFFFFFF, wide.data() + 18);
    QTest::newRow("largest width") << wide << false;
    QByteArray offset = good;
    qToLittleEndian<quint32>(0xFFFFFFF0u, offset.data() + 10);
    QTest::newRow("pixel offset beyond the file") << offset << false;
    QByteArray negativeWidth = good;
    qToLittleEndian<qint32>(-30, negativeWidth.data() + 18);
    QTest::newRow("negative width") << negativeWidth << false;
    QByteArray lowestHeight = good;
    qToLittleEndian<qint32>(qint32(0x80000000u), lowestHeight.data() + 22);
    QTest::newRow("lowest height, top-down") << lowestHeight << false;
    // Found by fuzzing: width, height and bit count so large that the
    // length of the pixel data overflowed.
    QTest::newRow("size fields that overflow") << fixtureBytes("bitmap_header_sizes_overflow.bmp") << false;
}

// Loaded after a sound map: a refused file is told by name and changes
// nothing; a loadable one shows exactly its pixels.
void TestBadInput::unusualBitmaps()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);

    const QString first = tempPath(QStringLiteral("gut.bmp"));
    QVERIFY(writeBytes(first, bmp24(pattern(17, 9))));
    laden(first);
    QVERIFY(_messages.isEmpty());

    const QString path = tempPath(QStringLiteral("fremd.bmp"));
    QVERIFY(writeBytes(path, bytes));
    laden(path);

    if (loads) {
        QVERIFY2(_messages.isEmpty(), qPrintable(_messages.join(u'\n')));
        QCOMPARE(label("lblkdatei")->text(), path);
        QCOMPARE(_window->mapImage(), pattern(30, 20));
    } else {
        QCOMPARE(_messages.size(), 1);
        QVERIFY2(_messages.first().contains(QStringLiteral("fremd.bmp")), qPrintable(_messages.first()));
        QCOMPARE(label("lblkdatei")->text(), first);
        QCOMPARE(_window->mapImage(), pattern(17, 9));
    }
    QCOMPARE(fileBytes(path), bytes);
}

void TestBadInput::mapPathWithUmlautsAndBlanks()
{
    const QString folder = tempPath(QStringLiteral("Karten Sächsische Schweiz"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/Blatt Großer Zschirnstein ä ö ü.bmp");
    const QString calPath = folder + QStringLiteral("/Blatt Großer Zschirnstein ä ö ü.cal");
    QVERIFY(writeBytes(path, bmp24(pattern(200, 150))));
    QVERIFY(writeBytes(calPath, calFile(calBody)));

    laden(path);
    QVERIFY(_messages.isEmpty());
    QCOMPARE(label("lblkdatei")->text(), path);
    QCOMPARE(_window->mapImage(), pattern(200, 150));
    QCOMPARE(_state->calibration.Lgrd2, 14.3);

    calibration::setReferencePoint(*_state, 1, 20, 130, 14.11, 50.81);
    calibration::setReferencePoint(*_state, 2, 180, 10, 14.29, 50.94);
    const CalibrationRecord calibrated = _state->calibration;
    abspeichern();
    QVERIFY2(_messages.isEmpty(), qPrintable(_messages.join(u'\n')));
    // Written in place under the same names, nothing beside them.
    QCOMPARE(entriesOf(folder), (QStringList{QStringLiteral("Blatt Großer Zschirnstein ä ö ü.bmp"),
                                             QStringLiteral("Blatt Großer Zschirnstein ä ö ü.cal")}));

    laden(path);
    QVERIFY(_messages.isEmpty());
    QCOMPARE(_state->calibration.cx1, calibrated.cx1);
    QCOMPARE(_state->calibration.Lgrd1, calibrated.Lgrd1);
    QCOMPARE(_state->calibration.Lx, calibrated.Lx);
    QCOMPARE(_window->mapImage(), pattern(200, 150));
}

// The map's folder is gone when the user saves (a removed stick, a deleted
// folder): both files fail, both failures are told, nothing is created.
void TestBadInput::saveIntoVanishedFolder()
{
    const QString folder = tempPath(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/karte.bmp");
    QVERIFY(writeBytes(path, bmp24(pattern(50, 40))));
    laden(path);
    QVERIFY(_messages.isEmpty());
    QVERIFY(QDir(folder).removeRecursively());

    abspeichern();

    QCOMPARE(_messages.size(), 1);
    QVERIFY2(_messages.first().contains(path), qPrintable(_messages.first()));
    QVERIFY2(_messages.first().contains(QStringLiteral("karte.cal")), qPrintable(_messages.first()));
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(entriesOf(_dir->path()), QStringList());
}

// Summit lists that are no lists, or far larger than any real one, loaded
// with "Gipfelliste laden": the load ends, the window keeps handling its
// events meanwhile, and the table holds what the blocks of the file hold.
void TestBadInput::summitListsThroughTheMenu_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("binary garbage") << QStringLiteral("garbage");
    QTest::newRow("100 MB") << QStringLiteral("100 MB");
    QTest::newRow("a line of 1 MB") << QStringLiteral("1 MB line");
}

void TestBadInput::summitListsThroughTheMenu()
{
    QFETCH(QString, kind);
    const QString path = tempPath(QStringLiteral("liste.txt"));
    const QByteArray lastBlock = "$GIPFEL:\r\nGIPFELNAME_D\tGIPFELNR\r\nLetzter\t42\r\n";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("garbage")) {
            QByteArray garbage(1 << 20, Qt::Uninitialized);
            quint32 x = 2463534242u; // xorshift: the same bytes every run
            for (char& c : garbage) {
                x ^= x << 13;
                x ^= x >> 17;
                x ^= x << 5;
                c = char(x);
            }
            QCOMPARE(file.write(garbage), garbage.size());
        } else if (kind == QLatin1String("100 MB")) {
            const QByteArray chunk = (QByteArray(98, 'g') + "\r\n").repeated(10000); // 1 MB
            for (int i = 0; i < 100; ++i)
                QCOMPARE(file.write(chunk), chunk.size());
            QVERIFY(file.write(lastBlock) > 0);
        } else {
            QVERIFY(file.write("$GIPFEL:\r\nGIPFELNAME_D\tGIPFELNR\r\n" + QByteArray(1 << 20, 'N') + "\t7\r\n\r\n"
                               + lastBlock)
                    > 0);
        }
    }
    _state->summits.count = 3; // a previous list

    // A timer stands for the window system: it must keep firing while the
    // list is read.
    int ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    connect(&timer, &QTimer::timeout, this, [&] {
        if (_window->summitListLoading())
            ++ticks;
    });
    timer.start();
    answerSummitDialog(path);
    _window->findChild<QAction*>(QStringLiteral("gladen"))->trigger();
    timer.stop();

    QVERIFY2(_messages.isEmpty(), qPrintable(_messages.join(u'\n')));
    QVERIFY(!_window->summitListLoading());
    QCOMPARE(label("lblgdatei")->text(), path);
    const SummitTable& t = _state->summits;
    if (kind == QLatin1String("garbage")) {
        QVERIFY(t.count >= 0 && t.count <= SummitTable::capacity);
        return;
    }
    if (kind == QLatin1String("100 MB"))
        QVERIFY(ticks > 0); // the others are read before the first round of events
    const int16_t expected = kind == QLatin1String("1 MB line") ? 2 : 1;
    QCOMPARE(t.count, expected);
    QCOMPARE(t.entries[size_t(expected - 1)].GIPFELNAME_D, QStringLiteral("Letzter"));
    if (expected == 2)
        QCOMPARE(t.entries[0].GIPFELNAME_D.size(), 1 << 20);
}

// Root may write into read-only files, so the target that cannot be written
// here is a path in a folder that does not exist.
void TestBadInput::summitListSaveIntoMissingFolder()
{
    SummitTable& t = _state->summits;
    readSummitListBytes("$GIPFEL:\r\nGIPFELNAME_D\tGIPFELNR\r\nEiner\t1\r\n", t);
    const QString target = tempPath(QStringLiteral("fehlt/liste.txt"));
    answerSummitDialog(target);
    _window->findChild<QAction*>(QStringLiteral("gspeichern"))->trigger();

    QCOMPARE(_messages.size(), 1);
    QVERIFY2(_messages.first().contains(QDir::toNativeSeparators(target)), qPrintable(_messages.first()));
    QCOMPARE(entriesOf(_dir->path()), QStringList());
    QCOMPARE(t.count, int16_t(1));
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
