// Bad input for the summit list and track readers and the summit list
// writer: odd numbers, overlong lines, huge files, lists that must survive a
// save, and save targets that cannot be written.
#include "files/summitlist.h"
#include "files/trackfile.h"
#include "state/tables.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace karte;
using namespace karte::test;

namespace {



QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// The table saved to a file and loaded again, as a user would do it.
bool saveAndLoad(const SummitTable& table, SummitTable& loaded)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gespeichert.txt"));
    return dir.isValid() && writeSummitList(table, path) && readSummitList(path, loaded);
}

} // namespace

class TestBadFiles : public QObject {
    Q_OBJECT
private slots:
    void summitListNumbers_data();
    void summitListNumbers();
    void summitListTextsSurviveSave();
    void summitListOf100MB();
    void summitListSaveTargets_data();
    void summitListSaveTargets();
    void trackNumbers_data();
    void trackNumbers();
    void trackLineOf10000Commas();
    void trackLineOf1MB();
};

// Each text in the three number columns of one line. Whatever the text,
// the values are finite and a save and reload gives them back.
void TestBadFiles::summitListNumbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<float>("gipfelnr");
    QTest::addColumn<double>("ost");
    QTest::addColumn<int>("posfehler");

    constexpr double most = std::numeric_limits<double>::max();
    QTest::newRow("1E400") << QByteArray("1E400") << 0.0f << 0.0 << 32767;
    QTest::newRow("-1E400") << QByteArray("-1E400") << 0.0f << 0.0 << -32768;
    QTest::newRow("-0") << QByteArray("-0") << 0.0f << 0.0 << 0;
    QTest::newRow("NaN") << QByteArray("NaN") << 0.0f << 0.0 << 0;
    QTest::newRow("99999999") << QByteArray("99999999") << 1e8f << 99999999.0 << 32767;
    // Found by fuzzing: beyond single precision the summit number became
    // infinite, and was saved as text that loads back as 0.
    QTest::newRow("1E39, beyond single precision") << QByteArray("1E39") << 0.0f << 1e39 << 32767;
    // Found by fuzzing: 15 digits round the largest double up beyond the
    // range, so a save turned it into 0.
    QTest::newRow("largest double") << QByteArray("1.7976931348623157E308") << 0.0f << most << 32767;
}

void TestBadFiles::summitListNumbers()
{
    QFETCH(QByteArray, text);
    QFETCH(float, gipfelnr);
    QFETCH(double, ost);
    QFETCH(int, posfehler);

    SummitTable table;
    readSummitListBytes("$GIPFEL:\r\nGIPFELNAME_D\tGIPFELNR\tGIPFELOST\tPOSFEHLER\r\nGipfel\t" + text + "\t" + text
                            + "\t" + text + "\r\n",
                        table);
    QCOMPARE(table.count, int16_t(1));
    const Summit& s = table.entries[0];
    QCOMPARE(s.GIPFELNR, gipfelnr);
    QCOMPARE(s.GIPFELOST, ost);
    QCOMPARE(int(s.POSFEHLER), posfehler);

    SummitTable loaded;
    QVERIFY(saveAndLoad(table, loaded));
    QCOMPARE(loaded.count, int16_t(1));
    const Summit& l = loaded.entries[0];
    QVERIFY(std::isfinite(l.GIPFELNR) && std::isfinite(l.GIPFELOST));
    QCOMPARE(l.GIPFELNR, s.GIPFELNR);
    QVERIFY2(std::fabs(l.GIPFELOST - s.GIPFELOST) <= 1e-14 * std::fabs(s.GIPFELOST),
             qPrintable(QString::number(l.GIPFELOST, 'g', 17)));
    QCOMPARE(l.POSFEHLER, s.POSFEHLER);
}

// Found by fuzzing: a list read as Windows-1250 whose entries hold bytes
// that also form valid UTF-8 ("Ã¼" read where "ü" was meant). Saved as
// Windows-1250 the file became valid UTF-8 and loaded back with other texts.
void TestBadFiles::summitListTextsSurviveSave()
{
    SummitTable table;
    readSummitListBytes(fixtureBytes("summits_1250_bytes_valid_as_utf8.txt"), table);
    QCOMPARE(table.encoding, TextEncoding::Windows1250);
    QCOMPARE(table.count, int16_t(1));
    QCOMPARE(table.entries[0].GEBIET, QStringLiteral("S\u0102\u013dd"));

    SummitTable loaded;
    QVERIFY(saveAndLoad(table, loaded));
    QCOMPARE(loaded.count, int16_t(1));
    QCOMPARE(loaded.entries[0].GEBIET, table.entries[0].GEBIET);
    QCOMPARE(loaded.entries[0].GIPFELNAME_D, table.entries[0].GIPFELNAME_D);
}

// 100 MB of text without a block, then one block at the very end: the
// reader goes through all of it line by line, holds one line at a time and
// ends with the entry of the last block.
void TestBadFiles::summitListOf100MB()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("riesig.txt"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray line = QByteArray(98, 'g') + "\r\n";
        const QByteArray chunk = line.repeated(10000); // 1 MB
        for (int i = 0; i < 100; ++i)
            QCOMPARE(file.write(chunk), chunk.size());
        QVERIFY(file.write("$GIPFEL:\r\nGIPFELNAME_D\tGIPFELNR\r\nLetzter\t42\r\n") > 0);
    }
    SummitTable table;
    table.count = 5; // a previous list
    qint64 lines = 0;
    QVERIFY(readSummitList(path, table, [&] { ++lines; }));
    QCOMPARE(lines, qint64(1000000 + 3));
    QCOMPARE(table.count, int16_t(1));
    QCOMPARE(table.entries[0].GIPFELNAME_D, QStringLiteral("Letzter"));
    QCOMPARE(table.entries[0].GIPFELNR, 42.0f);
}

// Tests run as root, for whom a read-only file is no obstacle; what cannot
// be written even so is a folder, or a path whose folder does not exist.
void TestBadFiles::summitListSaveTargets_data()
{
    QTest::addColumn<QString>("target"); // relative to the temporary folder
    QTest::newRow("target is a folder") << QStringLiteral("liste.txt");
    QTest::newRow("folder of the target missing") << QStringLiteral("fehlt/liste.txt");
}

void TestBadFiles::summitListSaveTargets()
{
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("liste.txt")));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("liste.txt/inhalt")), "bleibt"));
    const QStringList before = entriesOf(dir.path());

    SummitTable table;
    readSummitListBytes(fixtureBytes("summits_two_blocks.txt"), table);
    QVERIFY(table.count > 0);
    QString error;
    QVERIFY(!writeSummitList(table, dir.filePath(target), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(entriesOf(dir.path()), before); // no half-written or temporary file
    QCOMPARE(entriesOf(dir.filePath(QStringLiteral("liste.txt"))), QStringList{QStringLiteral("inhalt")});
}

// The texts as latitude and longitude of a plain point, and as the
// coordinates of a "T" and a "W" line.
void TestBadFiles::trackNumbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("1E400") << QByteArray("1E400") << 0.0;
    QTest::newRow("-0") << QByteArray("-0") << 0.0;
    QTest::newRow("NaN") << QByteArray("NaN") << 0.0;
    QTest::newRow("99999999") << QByteArray("99999999") << 99999999.0;
}

void TestBadFiles::trackNumbers()
{
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    TrackTable track;
    WaypointTable waypoints;
    readTrackFileBytes(text + "," + text + "\r\nT,x," + text + "," + text + "\r\nW,Punkt," + text + "," + text
                           + "\r\n",
                       track, waypoints);
    // A plain point needs two numbers other than 0.
    const int plain = value != 0 ? 1 : 0;
    QCOMPARE(int(track.count), plain + 1);
    for (int i = 1; i <= track.count; ++i) {
        QCOMPARE(track.entries[size_t(i)].latitude, value);
        QCOMPARE(track.entries[size_t(i)].longitude, value);
    }
    QCOMPARE(waypoints.count, int16_t(1));
    QCOMPARE(waypoints.entries[1].latitude, value);
    QVERIFY(std::isfinite(waypoints.entries[1].longitude));
}

// A line has at most 20 fields; the 20th takes the rest, commas and all.
void TestBadFiles::trackLineOf10000Commas()
{
    const QByteArray commas(10000, ',');
    TrackTable track;
    WaypointTable waypoints;
    readTrackFileBytes("W,Gipfelkreuz,50.91,14.23,,,,,,,Notiz" + commas + "\r\n" + commas + "\r\n50.5,14.5" + commas
                           + "\r\nT,,50.6,14.6\r\n",
                       track, waypoints);
    QCOMPARE(waypoints.count, int16_t(1));
    QCOMPARE(waypoints.entries[1].name, QStringLiteral("Gipfelkreuz"));
    QCOMPARE(waypoints.entries[1].latitude, 50.91);
    QCOMPARE(waypoints.entries[1].note, QStringLiteral("Notiz"));
    // The line of commas alone is of no kind; the lines around it count.
    QCOMPARE(track.count, int16_t(2));
    QCOMPARE(track.entries[1].latitude, 50.5);
    QCOMPARE(track.entries[2].longitude, 14.6);
}

void TestBadFiles::trackLineOf1MB()
{
    const QByteArray megabyte(1 << 20, '9');
    TrackTable track;
    WaypointTable waypoints;
    readTrackFileBytes("W," + megabyte + ",50.1,14.1\r\n" + megabyte + "\r\n50.2,14.2\r\n", track, waypoints);
    QCOMPARE(waypoints.count, int16_t(1));
    QCOMPARE(waypoints.entries[1].name.size(), megabyte.size());
    // 1 MB of digits is a number beyond a double, which reads as 0: no point.
    QCOMPARE(track.count, int16_t(1));
    QCOMPARE(track.entries[1].latitude, 50.2);
}

QTEST_GUILESS_MAIN(TestBadFiles)
#include "tst_badfiles.moc"
