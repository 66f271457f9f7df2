#include "calibration/calibrationmodel.h"
#include "files/calibrationfile.h"
#include "state/numberformat.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace karte;
using namespace karte::test;
using namespace karte::calibrationfile;

Q_DECLARE_METATYPE(karte::CalibrationReadStatus)

namespace {

// A well-formed file body after the magic line, CR LF line ends.
const QByteArray workedExampleBody = "112,14.1203,830,50.8711\r\n"
                                     "975,14.2318,245,50.9346\r\n"
                                     "0,0,0,0\r\n"
                                     "14.0877698,1.42714E-04,1.993528E-05\r\n"
                                     "50.9443925,1.257193E-05,-9.000072E-05\r\n";

QByteArray withMagic(const QByteArray& body)
{
    return QByteArray(magicText) + "\r\n" + body;
}

ProgramState calibratedWorkedExample()
{
    ProgramState state;
    calibration::setReferencePoint(state, 1, 112, 830, 14.1203, 50.8711);
    calibration::setReferencePoint(state, 2, 975, 245, 14.2318, 50.9346);
    return state;
}


QList<QByteArray> linesOf(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestCalibrationFile : public QObject {
    Q_OBJECT
private slots:
    void pathRule_data();
    void pathRule();
    void findFallsBackToOtherLetterCase();
    void readsWorkedExample_data();
    void readsWorkedExample();
    void numberSyntax_data();
    void numberSyntax();
    void decimalCommaShiftsLaterValues();
    void unusableFiles_data();
    void unusableFiles();
    void fileBytes();
    void uncalibratedRoundTrip();
    void roundTripKeepsNorthDeviationSign();
    void exponentValuesRoundTrip();
    void loadForMap();
    void failedWriteKeepsTarget();
    void exampleMapIsCalibrated();
};

void TestCalibrationFile::pathRule_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QString>("cal");
    QTest::newRow("three-letter extension") << "/karten/BLATT12.BMP" << "/karten/BLATT12.cal";
    QTest::newRow("four-letter extension") << "/karten/karte.jpeg" << "/karten/karte.jcal";
    QTest::newRow("no extension") << "/karten/karte" << "/karten/kacal";
    QTest::newRow("relative name") << "abc" << "cal";
    QTest::newRow("name of two characters") << "/karten/ab" << "";
    QTest::newRow("two characters") << "ab" << "";
    QTest::newRow("empty") << "" << "";
}

void TestCalibrationFile::pathRule()
{
    QFETCH(QString, map);
    QFETCH(QString, cal);
    QCOMPARE(calibrationPathFor(map), cal);
}

void TestCalibrationFile::findFallsBackToOtherLetterCase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString map = dir.filePath("BLATT12.BMP");
    QCOMPARE(findCalibrationFile(map), QString());

    // A folder under the calibration name is no calibration file.
    QVERIFY(QDir(dir.path()).mkdir("BLATT12.cal"));
    QCOMPARE(findCalibrationFile(map), QString());
    QVERIFY(QDir(dir.path()).rmdir("BLATT12.cal"));

    QVERIFY(writeBytes(dir.filePath("BLATT12.CAL"), "x"));
    QCOMPARE(findCalibrationFile(map), dir.filePath("BLATT12.CAL"));

    QVERIFY(writeBytes(dir.filePath("BLATT12.cal"), "x"));
    QCOMPARE(findCalibrationFile(map), dir.filePath("BLATT12.cal"));
}

void TestCalibrationFile::readsWorkedExample_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF") << withMagic(workedExampleBody);
    QByteArray lf = withMagic(workedExampleBody);
    lf.replace("\r\n", "\n");
    QTest::newRow("LF alone") << lf;
    QByteArray quotedMagic = workedExampleBody;
    quotedMagic.prepend("  \"Tervanis-Kalibrationsdatei\"\r\n");
    QTest::newRow("magic quoted, blanks before") << quotedMagic;
    QByteArray blanks = withMagic(workedExampleBody);
    blanks.replace(",", ", ");
    QTest::newRow("blanks after commas") << blanks;
    QTest::newRow("no line end at the end") << withMagic(workedExampleBody).chopped(2);
}

void TestCalibrationFile::readsWorkedExample()
{
    QFETCH(QByteArray, bytes);
    const CalibrationReadResult result = readCalibration(bytes);
    QCOMPARE(result.status, CalibrationReadStatus::Read);
    QVERIFY(result.values);
    const CalibrationValues& v = *result.values;
    QCOMPARE(v.cx1, 112.0f);
    QCOMPARE(v.Lgrd1, 14.1203);
    QCOMPARE(v.cy1, 830.0f);
    QCOMPARE(v.Bgrd1, 50.8711);
    QCOMPARE(v.cx2, 975.0f);
    QCOMPARE(v.Lgrd2, 14.2318);
    QCOMPARE(v.cy2, 245.0f);
    QCOMPARE(v.Bgrd2, 50.9346);
    QCOMPARE(v.L0, 14.0877698);
    QCOMPARE(v.Lx, 1.42714E-04f);
    QCOMPARE(v.Ly, 1.993528E-05f);
    QCOMPARE(v.B0, 50.9443925);
    QCOMPARE(v.Bx, 1.257193E-05f);
    QCOMPARE(v.By, -9.000072E-05f);
}

void TestCalibrationFile::numberSyntax_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<double>("value");
    QTest::newRow("plus sign") << QByteArray("+2.5") << 2.5;
    QTest::newRow("no digit before the point") << QByteArray("-.25") << -0.25;
    QTest::newRow("point without fraction") << QByteArray("7.") << 7.0;
    QTest::newRow("lower-case exponent") << QByteArray("1.5e-05") << 1.5e-05;
    QTest::newRow("exponent with plus") << QByteArray("2E+03") << 2000.0;
    QTest::newRow("quoted number") << QByteArray("\"12.5\"") << 12.5;
}

// Each syntax in the field Lgrd1 (double); the rest of the file is sound.
void TestCalibrationFile::numberSyntax()
{
    QFETCH(QByteArray, item);
    QFETCH(double, value);
    QByteArray body = workedExampleBody;
    body.replace("14.1203", item);
    const CalibrationReadResult result = readCalibration(withMagic(body));
    QCOMPARE(result.status, CalibrationReadStatus::Read);
    QCOMPARE(result.values->Lgrd1, value);
}

void TestCalibrationFile::decimalCommaShiftsLaterValues()
{
    // "112,5" typed with a decimal comma: two items, every later value moves
    // one field on, and line 3's last value is what the skipped line eats.
    QByteArray body = workedExampleBody;
    body.replace("112,", "112,5,");
    const CalibrationReadResult result = readCalibration(withMagic(body));
    QCOMPARE(result.status, CalibrationReadStatus::Read);
    const CalibrationValues& v = *result.values;
    QCOMPARE(v.cx1, 112.0f);
    QCOMPARE(v.Lgrd1, 5.0);
    QCOMPARE(v.cy1, 14.1203f);
    QCOMPARE(v.Bgrd1, 830.0);
    QCOMPARE(v.cx2, 50.8711f);
    QCOMPARE(v.Lgrd2, 975.0);
    QCOMPARE(v.cy2, 14.2318f);
    QCOMPARE(v.Bgrd2, 245.0);
    // Rest of line 3 ("50.9346") skipped; the four zeros become coefficients.
    QCOMPARE(v.L0, 0.0);
    QCOMPARE(v.Lx, 0.0f);
    QCOMPARE(v.Ly, 0.0f);
    QCOMPARE(v.B0, 0.0);
    QCOMPARE(v.Bx, 14.0877698f);
    QCOMPARE(v.By, 1.42714E-04f);
}

void TestCalibrationFile::unusableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<CalibrationReadStatus>("status");
    QTest::addColumn<int>("line");
    using S = CalibrationReadStatus;
    QTest::newRow("empty file") << QByteArray() << S::NotCalibrationFile << 1;
    QTest::newRow("magic in other letter case")
        << ("TERVANIS-Kalibrationsdatei\r\n" + workedExampleBody) << S::NotCalibrationFile << 1;
    QTest::newRow("other first item") << ("Kalibration\r\n" + workedExampleBody) << S::NotCalibrationFile << 1;
    QTest::newRow("magic with trailing text")
        << ("Tervanis-Kalibrationsdatei 2\r\n" + workedExampleBody) << S::NotCalibrationFile << 1;
    QTest::newRow("magic alone") << withMagic("") << S::TooFewValues << 2;
    QTest::newRow("ends after line 3") << withMagic(workedExampleBody.left(workedExampleBody.indexOf("0,0,0,0")))
                                        << S::TooFewValues << 4;
    QTest::newRow("last value missing") << withMagic(workedExampleBody.left(workedExampleBody.lastIndexOf(',')))
                                        << S::TooFewValues << 6;
    QByteArray text = workedExampleBody;
    text.replace("830", "abc");
    QTest::newRow("text for a number") << withMagic(text) << S::BadValue << 2;
    QByteArray empty = workedExampleBody;
    empty.replace("975,", ",");
    QTest::newRow("empty item") << withMagic(empty) << S::BadValue << 3;
    QByteArray twoPoints = workedExampleBody;
    twoPoints.replace("14.0877698", "14.08.77698");
    QTest::newRow("two points") << withMagic(twoPoints) << S::BadValue << 5;
    QByteArray bareExponent = workedExampleBody;
    bareExponent.replace("1.42714E-04", "1.42714E");
    QTest::newRow("exponent without digits") << withMagic(bareExponent) << S::BadValue << 5;
    QByteArray infinite = workedExampleBody;
    infinite.replace("1.257193E-05", "inf");
    QTest::newRow("inf") << withMagic(infinite) << S::BadValue << 6;
    QByteArray nan = workedExampleBody;
    nan.replace("50.9443925", "nan");
    QTest::newRow("nan") << withMagic(nan) << S::BadValue << 6;
    QByteArray floatOverflow = workedExampleBody;
    floatOverflow.replace("1.42714E-04", "1E+39");
    QTest::newRow("beyond single precision") << withMagic(floatOverflow) << S::BadValue << 5;
    QByteArray doubleOverflow = workedExampleBody;
    doubleOverflow.replace("14.2318", "1E+309");
    QTest::newRow("beyond double precision") << withMagic(doubleOverflow) << S::BadValue << 3;
}

void TestCalibrationFile::unusableFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(CalibrationReadStatus, status);
    QFETCH(int, line);
    const CalibrationReadResult result = readCalibration(bytes);
    QCOMPARE(result.status, status);
    QCOMPARE(result.line, line);
    QVERIFY(!result.values);
}

void TestCalibrationFile::fileBytes()
{
    const ProgramState state = calibratedWorkedExample();
    const QByteArray bytes = calibrationFileBytes(state.calibration, QLocale(QLocale::German));
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count("\r\n"), 14);
    QCOMPARE(bytes.count('\n'), 14); // no LF without its CR
    const QList<QByteArray> lines = linesOf(bytes);
    QCOMPARE(lines.size(), 14);
    QCOMPARE(lines[0], QByteArray("Tervanis-Kalibrationsdatei\r"));
    QCOMPARE(lines[1], QByteArray("112,14.1203,830,50.8711\r"));
    QCOMPARE(lines[2], QByteArray("975,14.2318,245,50.9346\r"));
    QCOMPARE(lines[3], QByteArray("0,0,0,0\r"));
    QCOMPARE(lines[4], QByteArray("14.0877697522496,0.000142714,1.993528E-05\r"));
    QCOMPARE(lines[6], QByteArray(" 9,087455E-05  ,1387889 \r"));
    QCOMPARE(lines[7], QByteArray("\r"));
    QCOMPARE(lines[8], QByteArray("\"' cx1, Lgrd1, cy1, Bgrd1\"\r"));
    QCOMPARE(lines[9], QByteArray("\"' cx2, Lgrd2, cy2, Bgrd2\"\r"));
    QCOMPARE(lines[10], QByteArray("\"' 0, 0, 0, 0\"\r"));
    QCOMPARE(lines[11], QByteArray("\"' L0, Lx, Ly\"\r"));
    QCOMPARE(lines[12], QByteArray("\"' B0, Bx, By\"\r"));
    QCOMPARE(lines[13], QByteArray("\"' ma\xDF, alpha\"\r"));

    const QList<QByteArray> c = linesOf(calibrationFileBytes(state.calibration, QLocale::c()));
    QCOMPARE(c[6], QByteArray(" 9.087455E-05  .1387889 \r"));
}

void TestCalibrationFile::uncalibratedRoundTrip()
{
    ProgramState state; // identity, maß and alpha 0
    const QList<QByteArray> lines = linesOf(calibrationFileBytes(state.calibration, QLocale::c()));
    QCOMPARE(lines[1], QByteArray("0,0,0,0\r"));
    QCOMPARE(lines[2], QByteArray("0,0,0,0\r"));
    QCOMPARE(lines[4], QByteArray("0,1,0\r"));
    QCOMPARE(lines[5], QByteArray("0,0,1\r"));
    QCOMPARE(lines[6], QByteArray(" 0  0 \r"));

    const CalibrationReadResult result = readCalibration(calibrationFileBytes(state.calibration, QLocale::c()));
    QCOMPARE(result.status, CalibrationReadStatus::Read);
    CalibrationRecord loaded;
    loaded.maß = 5; // whatever the previous map left
    loaded.alpha = -1;
    applyCalibration(loaded, *result.values);
    QCOMPARE(generalForm(loaded.alpha), QStringLiteral(" 0"));
    QCOMPARE(loaded.maß, 1.0f);
    QVERIFY(!loaded.isCalibrated());
}

void TestCalibrationFile::roundTripKeepsNorthDeviationSign()
{
    const ProgramState state = calibratedWorkedExample();
    QCOMPARE(generalForm(calibration::northDeviationDegrees(state.calibration, state.pi)), QStringLiteral(" 7.95202"));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("BLATT12.cal");
    QString error;
    QVERIFY2(writeCalibrationFile(state.calibration, path, &error), qPrintable(error));
    const CalibrationReadResult result = readCalibrationFile(path);
    QCOMPARE(result.status, CalibrationReadStatus::Read);

    CalibrationRecord loaded;
    applyCalibration(loaded, *result.values);
    const CalibrationRecord& w = state.calibration;
    // Reference points and coefficients to the written digits.
    QCOMPARE(loaded.cx1, w.cx1);
    QCOMPARE(loaded.cy1, w.cy1);
    QCOMPARE(loaded.cx2, w.cx2);
    QCOMPARE(loaded.cy2, w.cy2);
    QCOMPARE(loaded.Lgrd1, w.Lgrd1);
    QCOMPARE(loaded.Bgrd1, w.Bgrd1);
    QCOMPARE(loaded.Lgrd2, w.Lgrd2);
    QCOMPARE(loaded.Bgrd2, w.Bgrd2);
    QCOMPARE(generalForm(loaded.Lx), generalForm(w.Lx));
    QCOMPARE(generalForm(loaded.Ly), generalForm(w.Ly));
    QCOMPARE(generalForm(loaded.Bx), generalForm(w.Bx));
    QCOMPARE(generalForm(loaded.By), generalForm(w.By));
    QCOMPARE(generalForm(loaded.L0), generalForm(w.L0));
    QCOMPARE(generalForm(loaded.B0), generalForm(w.B0));
    // The north deviation keeps its sign after saving and loading.
    QCOMPARE(generalForm(calibration::northDeviationDegrees(loaded, state.pi)), QStringLiteral(" 7.952017"));
    QCOMPARE(generalForm(calibration::metresPerPixel(loaded.maß)), QStringLiteral(" 10.09717"));
}

void TestCalibrationFile::exponentValuesRoundTrip()
{
    // Magnitudes that the writer puts in exponent form, in every field type.
    CalibrationRecord r;
    r.cx1 = 1.5e-7f;
    r.Lgrd1 = -2.5e-20;
    r.cy1 = 3.25e12f;
    r.Bgrd1 = 1.0e300;
    r.Ly = -4.5e-5f;
    r.L0 = 6.0e-5;
    const QByteArray bytes = calibrationFileBytes(r, QLocale::c());
    QVERIFY(bytes.contains("E-05"));
    const CalibrationReadResult result = readCalibration(bytes);
    QCOMPARE(result.status, CalibrationReadStatus::Read);
    const CalibrationValues& v = *result.values;
    QCOMPARE(v.cx1, r.cx1);
    QCOMPARE(v.Lgrd1, r.Lgrd1);
    QCOMPARE(v.cy1, r.cy1);
    QCOMPARE(v.Bgrd1, r.Bgrd1);
    QCOMPARE(v.Ly, r.Ly);
    QCOMPARE(v.L0, r.L0);
}

void TestCalibrationFile::loadForMap()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString map = dir.filePath("BLATT12.BMP");
    const ProgramState calibrated = calibratedWorkedExample();

    CalibrationRecord record = calibrated.calibration;
    record.maß = 2;
    record.alpha = 0.5f;
    // No file: identity, maß and alpha kept from the previous map.
    QCOMPARE(loadCalibrationForMap(record, map).status, CalibrationReadStatus::NoFile);
    QCOMPARE(record.Lx, 1.0f);
    QCOMPARE(record.By, 1.0f);
    QCOMPARE(record.cx1, 0.0f);
    QCOMPARE(record.maß, 2.0f);
    QCOMPARE(record.alpha, 0.5f);

    // A file under the upper-case name, as copied from another system.
    QVERIFY(writeCalibrationFile(calibrated.calibration, dir.filePath("BLATT12.CAL"), nullptr));
    QCOMPARE(loadCalibrationForMap(record, map).status, CalibrationReadStatus::Read);
    QCOMPARE(record.cx2, 975.0f);
    QCOMPARE(record.Lx, calibrated.calibration.Lx);
    QVERIFY(record.isCalibrated());
    QCOMPARE(generalForm(record.alpha), QStringLiteral(" .1387889"));

    // A file cut short: nothing half-read, the identity stands.
    QByteArray bytes = calibrationFileBytes(calibrated.calibration, QLocale::c());
    QVERIFY(writeBytes(dir.filePath("BLATT12.CAL"), bytes.left(bytes.indexOf("0,0,0,0"))));
    record.maß = 2;
    QCOMPARE(loadCalibrationForMap(record, map).status, CalibrationReadStatus::TooFewValues);
    QCOMPARE(record.cx1, 0.0f);
    QCOMPARE(record.Lgrd1, 0.0);
    QCOMPARE(record.L0, 0.0);
    QCOMPARE(record.Lx, 1.0f);
    QCOMPARE(record.maß, 2.0f);
}

void TestCalibrationFile::failedWriteKeepsTarget()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const ProgramState state = calibratedWorkedExample();

    // The target is a folder with something inside: it stays as it was.
    const QString target = dir.filePath("karte.cal");
    QVERIFY(QDir(dir.path()).mkdir("karte.cal"));
    QVERIFY(writeBytes(target + "/inside.txt", "keep"));
    QString error;
    QVERIFY(!writeCalibrationFile(state.calibration, target, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(target).isDir());
    QVERIFY(QFile::exists(target + "/inside.txt"));
    // No temporary file is left behind beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"karte.cal"});

    error.clear();
    QVERIFY(!writeCalibrationFile(state.calibration, dir.filePath("missing/karte.cal"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!writeCalibrationFile(state.calibration, QString(), &error));

    // A good write replaces an older file whole.
    const QString path = dir.filePath("old.cal");
    QVERIFY(writeBytes(path, QByteArray(4096, 'x')));
    QVERIFY(writeCalibrationFile(state.calibration, path, nullptr, QLocale::c()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), calibrationFileBytes(state.calibration, QLocale::c()));
}

void TestCalibrationFile::exampleMapIsCalibrated()
{
    CalibrationRecord record;
    const CalibrationReadResult result =
        loadCalibrationForMap(record, QStringLiteral(KARTE_EXAMPLES "/beispielkarte.bmp"));
    QCOMPARE(result.status, CalibrationReadStatus::Read);
    QVERIFY(record.isCalibrated());
    QVERIFY(qAbs(calibration::northDeviationDegrees(record, singlePi()) - 2.0f) < 0.01f);
    QVERIFY(qAbs(calibration::metresPerPixel(record.maß) - 7.0f) < 0.01f);
    // The second reference point and a corner, as the README lists them.
    const GeoPoint point2 = calibration::forward(record, 2728.0f, 348.7f);
    QVERIFY(qAbs(point2.longitude - 14.32) < 1e-5);
    QVERIFY(qAbs(point2.latitude - 50.96) < 1e-5);
    const GeoPoint bottomRight = calibration::forward(record, 3000, 2200);
    QCOMPARE(QString::number(bottomRight.longitude, 'f', 4), QStringLiteral("14.3536"));
    QCOMPARE(QString::number(bottomRight.latitude, 'f', 4), QStringLiteral("50.8440"));
}

QTEST_GUILESS_MAIN(TestCalibrationFile)
#include "tst_calibrationfile.moc"
