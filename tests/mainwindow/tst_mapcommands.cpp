// "Karte Laden" and "Karte Abspeichern" driven through the main window's
// menu, with the file dialog and the message box replaced by recorders.
#include "calibration/calibrationmodel.h"
#include "files/calibrationfile.h"
#include "mainwindow/mainwindow.h"
#include "platform/usermessage.h"
#include "state/programstate.h"
#include "view/mapviewwidget.h"
#include "support/testfiles.h"
#include "support/mainwindowtest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using namespace karte;
using namespace karte::test;

namespace {

const QString exampleMap = QStringLiteral(KARTE_EXAMPLES "/beispielkarte.bmp");
const QString exampleCal = QStringLiteral(KARTE_EXAMPLES "/beispielkarte.cal");

// What the example's calibration file says, and what follows from it.
const QString exampleSummary = QStringLiteral("Nordabweichung 2.002653° Maßstab:  6.999303Meter/Pixel");

// A map whose pixels differ from row to row and column to column, so that a
// swapped or shifted image shows.
QImage gradientMap(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x & 255, y & 255, (x * 7 + y * 3) & 255));
    return image;
}



// Every field of the record, exactly.
void compareRecords(const CalibrationRecord& actual, const CalibrationRecord& expected)
{
    QCOMPARE(actual.cx1, expected.cx1);
    QCOMPARE(actual.cy1, expected.cy1);
    QCOMPARE(actual.Lgrd1, expected.Lgrd1);
    QCOMPARE(actual.Bgrd1, expected.Bgrd1);
    QCOMPARE(actual.cx2, expected.cx2);
    QCOMPARE(actual.cy2, expected.cy2);
    QCOMPARE(actual.Lgrd2, expected.Lgrd2);
    QCOMPARE(actual.Bgrd2, expected.Bgrd2);
    QCOMPARE(actual.L0, expected.L0);
    QCOMPARE(actual.Lx, expected.Lx);
    QCOMPARE(actual.Ly, expected.Ly);
    QCOMPARE(actual.B0, expected.B0);
    QCOMPARE(actual.Bx, expected.Bx);
    QCOMPARE(actual.By, expected.By);
    QCOMPARE(actual.maß, expected.maß);
    QCOMPARE(actual.alpha, expected.alpha);
}

} // namespace

class TestMapCommands : public MainWindowTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void loadWithCalibrationFile();
    void calibrateSaveAndLoadKeepsNorthDeviation();
    void loadWithoutCalibrationKeepsScale();
    void loadThatChangesNothing_data();
    void loadThatChangesNothing();
    void unusableCalibrationFile_data();
    void unusableCalibrationFile();
    void saveWithoutMap();
    void saveToUnwritableTarget_data();
    void saveToUnwritableTarget();
    void uncalibratedRoundTrip();
    void upperCaseCalibrationFileIsUsedAndKept();

private:
    // A generated map written into the temporary folder; its full path.
    QString writeMap(const QString& name, int width, int height);
};

void TestMapCommands::init()
{
    openWindow(900, 700);
}

void TestMapCommands::cleanup()
{
    closeWindow();
}

QString TestMapCommands::writeMap(const QString& name, int width, int height)
{
    const QString path = tempPath(name);
    if (!gradientMap(width, height).save(path, "BMP"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestMapCommands::loadWithCalibrationFile()
{
    // Zoomed, scrolled and with a marked point before the load.
    _window->findChild<QPushButton*>(QStringLiteral("ggroesser"))->click();
    QCOMPARE(label("zoom")->text(), QStringLiteral(" 2"));
    _state->markedPoint = MarkedPoint{12, 34};

    laden(exampleMap);

    QVERIFY(_messages.isEmpty());
    QCOMPARE(label("lblkdatei")->text(), exampleMap);
    QCOMPARE(label("lblkdatei")->text(), exampleMap);
    QCOMPARE(_window->mapImage().size(), QSize(3000, 2200));
    QCOMPARE(_state->mapView.z, 1.0f);
    QCOMPARE(label("zoom")->text(), QStringLiteral(" 1"));
    QCOMPARE(_state->markedPoint.x, 12.0f);
    QCOMPARE(_state->markedPoint.y, 34.0f);

    const CalibrationRecord& r = _state->calibration;
    QCOMPARE(r.cx1, 277.5f);
    QCOMPARE(r.Lgrd1, 14.08);
    QCOMPARE(r.cy1, 1692.6f);
    QCOMPARE(r.Bgrd1, 50.87);
    QCOMPARE(r.cx2, 2728.0f);
    QCOMPARE(r.Lgrd2, 14.32);
    QCOMPARE(r.cy2, 348.7f);
    QCOMPARE(r.Bgrd2, 50.96);
    QCOMPARE(r.L0, 14.0463805980364);
    QCOMPARE(r.Lx, 9.985406E-05f);
    QCOMPARE(r.Ly, 3.49161E-06f);
    QCOMPARE(r.B0, 50.9759471799256);
    QCOMPARE(r.Bx, 2.201365E-06f);
    QCOMPARE(r.By, -6.295525E-05f);
    // Derived from the coefficients, not taken from line 7.
    QCOMPARE(r.maß, float(std::sqrt(double(r.Bx * r.Bx + r.By * r.By))));
    QVERIFY(qAbs(r.alpha - 3.495289E-02f) < 1e-6f);

    QCOMPARE(label("lblkalib")->text(), exampleSummary);
    // The view shows the map's top-left corner.
    QCOMPARE(_window->mapView()->canvasImage().pixel(0, 0), _window->mapImage().pixel(0, 0));
}

// The worked example: reference points that turn the map clockwise. Saved
// and loaded again it keeps its north deviation, sign included.
void TestMapCommands::calibrateSaveAndLoadKeepsNorthDeviation()
{
    const QString path = writeMap(QStringLiteral("blatt.bmp"), 1000, 900);
    laden(path);
    QCOMPARE(label("lblkdatei")->text(), path);

    calibration::setReferencePoint(*_state, 1, 112, 830, 14.1203, 50.8711);
    calibration::setReferencePoint(*_state, 2, 975, 245, 14.2318, 50.9346);
    _window->kartemalen();
    QCOMPARE(label("lblkalib")->text(), QStringLiteral("Nordabweichung 7.95202° Maßstab:  10.09717Meter/Pixel"));
    const CalibrationRecord calibrated = _state->calibration;

    abspeichern();
    QVERIFY(_messages.isEmpty());
    QVERIFY(QFileInfo(tempPath(QStringLiteral("blatt.cal"))).isFile());
    // Saving changes no label.
    QCOMPARE(label("lblkalib")->text(), QStringLiteral("Nordabweichung 7.95202° Maßstab:  10.09717Meter/Pixel"));

    _window->findChild<QPushButton*>(QStringLiteral("ggroesser"))->click();
    laden(path);
    QVERIFY(_messages.isEmpty());
    QCOMPARE(label("lblkalib")->text(), QStringLiteral("Nordabweichung 7.952017° Maßstab:  10.09717Meter/Pixel"));
    QCOMPARE(label("zoom")->text(), QStringLiteral(" 1"));
    QCOMPARE(_state->calibration.cx1, calibrated.cx1);
    QCOMPARE(_state->calibration.Bgrd2, calibrated.Bgrd2);
    QCOMPARE(_state->calibration.Lx, calibrated.Lx);
    QCOMPARE(_state->calibration.By, calibrated.By);
    QVERIFY(qAbs(_state->calibration.L0 - calibrated.L0) < 1e-12);
    QCOMPARE(_window->mapImage(), gradientMap(1000, 900));
}

void TestMapCommands::loadWithoutCalibrationKeepsScale()
{
    laden(exampleMap);
    const float maß = _state->calibration.maß;
    const float alpha = _state->calibration.alpha;
    QVERIFY(maß > 0);

    const QString path = writeMap(QStringLiteral("ohne.bmp"), 200, 150);
    laden(path);

    QVERIFY(_messages.isEmpty());
    QCOMPARE(label("lblkdatei")->text(), path);
    QCOMPARE(_window->mapImage().size(), QSize(200, 150));
    verifyIdentity(_state->calibration);
    QCOMPARE(_state->calibration.maß, maß);
    QCOMPARE(_state->calibration.alpha, alpha);
    QCOMPARE(label("lblkalib")->text(), exampleSummary);
}

// Failed loads after a calibrated, zoomed map: the map, its path, the zoom
// and the calibration stay exactly as they were.
void TestMapCommands::loadThatChangesNothing_data()
{
    QTest::addColumn<QString>("name"); // chosen file, in the temporary folder
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("message");

    QTest::newRow("cancelled dialog") << QString() << QByteArray() << false << false;
    QTest::newRow("no file at the path") << QStringLiteral("fehlt.bmp") << QByteArray() << false << false;
    QTest::newRow("folder named like a map") << QStringLiteral("ordner.bmp") << QByteArray() << false << false;
    QTest::newRow("garbage bytes") << QStringLiteral("muell.bmp") << QByteArray("no bitmap at all\r\n") << true
                                   << true;
    QTest::newRow("empty file") << QStringLiteral("leer.bmp") << QByteArray() << true << true;
    QTest::newRow("cut-off bitmap") << QStringLiteral("kurz.bmp")
                                    << fileBytes(exampleMap).left(2000) << true << true;
}

void TestMapCommands::loadThatChangesNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, create);
    QFETCH(bool, message);

    laden(exampleMap);
    _window->findChild<QPushButton*>(QStringLiteral("ggroesser"))->click();
    calibration::setReferencePoint(*_state, 1, 100, 2000, 14.07, 50.85);
    const CalibrationRecord before = _state->calibration;
    const QImage image = _window->mapImage();
    const QString kalib = label("lblkalib")->text();
    const float z = _state->mapView.z;
    QCOMPARE(z, 2.0f);

    QString path;
    if (!name.isEmpty()) {
        path = tempPath(name);
        if (create)
            QVERIFY(writeBytes(path, bytes));
        else if (name.startsWith(QStringLiteral("ordner")))
            QVERIFY(QDir().mkpath(path));
        // A calibration file that would change the record if it were read.
        QVERIFY(QFile::copy(exampleCal, calibrationfile::calibrationPathFor(path)));
    }
    laden(path);

    if (message) {
        QCOMPARE(_messages.size(), 1);
        QVERIFY2(_messages.first().contains(name), qPrintable(_messages.first()));
    } else {
        QVERIFY(_messages.isEmpty());
    }
    QCOMPARE(label("lblkdatei")->text(), exampleMap);
    QCOMPARE(label("lblkdatei")->text(), exampleMap);
    QCOMPARE(_window->mapImage().cacheKey(), image.cacheKey());
    QCOMPARE(_state->mapView.z, z);
    QCOMPARE(label("zoom")->text(), QStringLiteral(" 2"));
    compareRecords(_state->calibration, before);
    QCOMPARE(label("lblkalib")->text(), kalib);
}

void TestMapCommands::unusableCalibrationFile_data()
{
    QTest::addColumn<QByteArray>("cal");

    QTest::newRow("magic text, then too few values")
        << QByteArray("Tervanis-Kalibrationsdatei\r\n277.5,14.08,1692.6,50.87\r\n2728,14.32\r\n");
    QTest::newRow("a value that is no number")
        << QByteArray("Tervanis-Kalibrationsdatei\r\n277.5,14.08,1692.6,50.87\r\n2728,vierzehn,348.7,50.96\r\n"
                      "0,0,0,0\r\n14.04,9.98E-05,3.49E-06\r\n50.97,2.2E-06,-6.29E-05\r\n");
}

void TestMapCommands::unusableCalibrationFile()
{
    QFETCH(QByteArray, cal);

    laden(exampleMap);
    const float maß = _state->calibration.maß;
    const QString path = writeMap(QStringLiteral("karte.bmp"), 300, 200);
    QVERIFY(writeBytes(tempPath(QStringLiteral("karte.cal")), cal));

    laden(path);

    QCOMPARE(_messages.size(), 1);
    QVERIFY2(_messages.first().contains(QStringLiteral("karte.cal")), qPrintable(_messages.first()));
    QCOMPARE(label("lblkdatei")->text(), path);
    QCOMPARE(_window->mapImage().size(), QSize(300, 200));
    // Nothing half-read: shown uncalibrated.
    verifyIdentity(_state->calibration);
    QCOMPARE(_state->calibration.maß, maß);
    QCOMPARE(fileBytes(tempPath(QStringLiteral("karte.cal"))), cal);
}

void TestMapCommands::saveWithoutMap()
{
    // Anything written by mistake would land in the working folder.
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(_dir->path()));
    abspeichern();
    QVERIFY(QDir::setCurrent(oldCurrent));

    QCOMPARE(_messages.size(), 1);
    QVERIFY(QDir(_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    QCOMPARE(label("lblkdatei")->text(), QString());
}

// A target that cannot be written is reported by name and left as it was;
// the other file is still written, so that a calibration is not lost
// because the map file is blocked.
void TestMapCommands::saveToUnwritableTarget_data()
{
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<QString>("written");

    QTest::newRow("map path became a folder") << QStringLiteral("blatt.bmp") << QStringLiteral("blatt.cal");
    QTest::newRow("calibration path is a folder") << QStringLiteral("blatt.cal") << QStringLiteral("blatt.bmp");
}

void TestMapCommands::saveToUnwritableTarget()
{
    QFETCH(QString, blocked);
    QFETCH(QString, written);

    const QString path = writeMap(QStringLiteral("blatt.bmp"), 120, 80);
    laden(path);
    calibration::setReferencePoint(*_state, 1, 10, 70, 14.1, 50.8);
    calibration::setReferencePoint(*_state, 2, 110, 5, 14.2, 50.9);
    const QString kalib = label("lblkalib")->text();

    QFile::remove(tempPath(blocked));
    QVERIFY(QDir().mkpath(tempPath(blocked)));
    QVERIFY(writeBytes(tempPath(blocked) + QStringLiteral("/inhalt.txt"), "bleibt"));
    QFile::remove(tempPath(written));

    abspeichern();

    QCOMPARE(_messages.size(), 1);
    QVERIFY2(_messages.first().contains(tempPath(blocked)), qPrintable(_messages.first()));
    QVERIFY(QFileInfo(tempPath(blocked)).isDir());
    QCOMPARE(fileBytes(tempPath(blocked) + QStringLiteral("/inhalt.txt")), QByteArray("bleibt"));
    QVERIFY(QFileInfo(tempPath(written)).isFile());
    // No stray temporary files of the atomic writes.
    QCOMPARE(QDir(_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);
    QCOMPARE(label("lblkdatei")->text(), path);
    QCOMPARE(label("lblkalib")->text(), kalib);
}

// Saved without a calibration, loaded again: the identity gives alpha 0
// (never shown as -0) and maß 1.
void TestMapCommands::uncalibratedRoundTrip()
{
    const QString path = writeMap(QStringLiteral("roh.bmp"), 64, 48);
    laden(path);
    QCOMPARE(label("lblkalib")->text(), QStringLiteral("Nordabweichung 0° Maßstab:  0Meter/Pixel"));
    // Written back unchanged: the image as loaded.
    QVERIFY(QFile::remove(path));

    abspeichern();
    QVERIFY(_messages.isEmpty());
    const QList<QByteArray> lines = fileBytes(tempPath(QStringLiteral("roh.cal"))).split('\n');
    QCOMPARE(lines.size(), 15);
    QCOMPARE(lines.at(0), QByteArray("Tervanis-Kalibrationsdatei\r"));
    QCOMPARE(lines.at(1), QByteArray("0,0,0,0\r"));
    QCOMPARE(lines.at(4), QByteArray("0,1,0\r"));
    QCOMPARE(lines.at(5), QByteArray("0,0,1\r"));

    laden(path);
    QVERIFY(_messages.isEmpty());
    QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), gradientMap(64, 48));
    verifyIdentity(_state->calibration);
    QCOMPARE(_state->calibration.alpha, 0.0f);
    QVERIFY(!std::signbit(_state->calibration.alpha));
    QCOMPARE(_state->calibration.maß, 1.0f);
    QCOMPARE(label("lblkalib")->text(), QStringLiteral("Nordabweichung 0° Maßstab:  111111.1Meter/Pixel"));
}

// A map copied from a case-insensitive file system: BLATT12.CAL is read,
// and saving writes it back rather than adding a BLATT12.cal beside it.
void TestMapCommands::upperCaseCalibrationFileIsUsedAndKept()
{
    const QString path = writeMap(QStringLiteral("BLATT12.BMP"), 160, 120);
    QVERIFY(QFile::copy(exampleCal, tempPath(QStringLiteral("BLATT12.CAL"))));

    laden(path);
    QVERIFY(_messages.isEmpty());
    QCOMPARE(_state->calibration.cx2, 2728.0f);
    QCOMPARE(label("lblkalib")->text(), exampleSummary);

    calibration::setReferencePoint(*_state, 1, 20, 100, 14.1, 50.8);
    calibration::setReferencePoint(*_state, 2, 150, 10, 14.2, 50.9);
    abspeichern();
    QVERIFY(_messages.isEmpty());

    const QStringList names = QDir(_dir->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QCOMPARE(names, QStringList({QStringLiteral("BLATT12.BMP"), QStringLiteral("BLATT12.CAL")}));
    const CalibrationReadResult back = calibrationfile::readCalibrationFile(tempPath(QStringLiteral("BLATT12.CAL")));
    QVERIFY(back.values);
    QCOMPARE(back.values->cx1, 20.0f);
    QCOMPARE(back.values->Bgrd2, 50.9);
}

QTEST_MAIN(TestMapCommands)
#include "tst_mapcommands.moc"
