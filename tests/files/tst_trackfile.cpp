#include "files/trackfile.h"
#include "support/testfiles.h"

#include <QFile>
#include <QTest>

using namespace karte;
using namespace karte::test;

namespace {


QByteArray repeated(const QByteArray& line, int times)
{
    QByteArray out;
    out.reserve(line.size() * times);
    for (int i = 0; i < times; ++i)
        out += line;
    return out;
}

} // namespace

class TestTrackFile : public QObject {
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void missingFileChangesNothing();
    void waypointsOnlyEmptiesTrack();
    void segmentNeedsRoomForTwo_data();
    void segmentNeedsRoomForTwo();
    void capacitiesAreIndependent();
    void exampleFile();
};

void TestTrackFile::kinds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray crlf = fixtureBytes("track_kinds.txt");
    QVERIFY(crlf.contains("\r\n"));
    QTest::newRow("CR LF") << crlf;
    QTest::newRow("line feed alone") << QByteArray(crlf).replace("\r\n", "\n");
}

void TestTrackFile::kinds()
{
    QFETCH(QByteArray, bytes);
    TrackTable track;
    WaypointTable waypoints;
    track.count = 7;
    waypoints.count = 3;
    readTrackFileBytes(bytes, track, waypoints);

    // "N" first: a segment break, then its point; "0,14.2" adds nothing;
    // lower-case and blank-prefixed kinds are passed over; "T,x,0,0" adds a break.
    QCOMPARE(track.count, 5);
    const QList<QPair<double, double>> expected{{0, 0}, {50.1, 14.1}, {50.2, 14.2}, {50.6, 14.6}, {0, 0}};
    for (int i = 1; i <= track.count; ++i) {
        QCOMPARE(track.entries[static_cast<size_t>(i)].latitude, expected[i - 1].first);
        QCOMPARE(track.entries[static_cast<size_t>(i)].longitude, expected[i - 1].second);
    }

    QCOMPARE(waypoints.count, 4);
    const Waypoint& plain = waypoints.entries[1];
    QCOMPARE(plain.name, QStringLiteral("Gipfel"));
    QCOMPARE(plain.latitude, 50.3);
    QCOMPARE(plain.longitude, 14.3);
    QCOMPARE(plain.note, QString()); // fewer than 11 fields

    const Waypoint& two = waypoints.entries[2];
    QCOMPARE(two.name, QStringLiteral("Zwei"));
    QCOMPARE(two.latitude, 0.0);
    QCOMPARE(two.longitude, 0.0);

    // The comma inside the quotes separates too; the later fields shift.
    const Waypoint& quoted = waypoints.entries[3];
    QCOMPARE(quoted.name, QStringLiteral("\"Name"));
    QCOMPARE(quoted.latitude, 0.0);
    QCOMPARE(quoted.longitude, 50.4);
    QCOMPARE(quoted.note, QStringLiteral("f"));

    const Waypoint& czech = waypoints.entries[4];
    QCOMPARE(czech.name, QStringLiteral("Hütte u Řeky"));
    QCOMPARE(czech.note, QStringLiteral("Poznámka ř š č ě ů"));
    QCOMPARE(czech.latitude, 50.7);
}

void TestTrackFile::missingFileChangesNothing()
{
    TrackTable track;
    WaypointTable waypoints;
    track.count = 2;
    waypoints.count = 1;
    QString error;
    QVERIFY(!readTrackFile(QStringLiteral(KARTE_FIXTURES "/no_such_track.txt"), track, waypoints, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(track.count, 2);
    QCOMPARE(waypoints.count, 1);
}

void TestTrackFile::waypointsOnlyEmptiesTrack()
{
    TrackTable track;
    WaypointTable waypoints;
    track.count = 100;
    QVERIFY(readTrackFile(QStringLiteral(KARTE_FIXTURES "/track_waypoints_only.txt"), track, waypoints));
    QCOMPARE(track.count, 0);
    QCOMPARE(waypoints.count, 2);
    QCOMPARE(waypoints.entries[1].note, QStringLiteral("Anmerkung"));
    QCOMPARE(waypoints.entries[2].name, QStringLiteral("Zweiter"));
}

void TestTrackFile::segmentNeedsRoomForTwo_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("lastLatitude");

    // 9998 entries: the "N" line fits (break + point), the "T" line after it not.
    QTest::newRow("9998: N fits") << 9998 << 10000 << 51.0;
    // 9999 entries: the "N" line is passed over, the "T" line takes the 10000th place.
    QTest::newRow("9999: N passed over, T fits") << 9999 << 10000 << 52.0;
    QTest::newRow("10000: both passed over") << 10000 << 10000 << 50.0;
}

void TestTrackFile::segmentNeedsRoomForTwo()
{
    QFETCH(int, before);
    QFETCH(int, count);
    QFETCH(double, lastLatitude);

    const QByteArray bytes = repeated("T,x,50,14\r\n", before) + "N,x,51,14\r\nT,x,52,14\r\n50.5,14.5\r\n";
    TrackTable track;
    WaypointTable waypoints;
    readTrackFileBytes(bytes, track, waypoints);
    QCOMPARE(int(track.count), count);
    QCOMPARE(track.entries[static_cast<size_t>(track.count)].latitude, lastLatitude);
    if (before == 9998)
        QCOMPARE(track.entries[9999].latitude, 0.0); // the segment break
}

void TestTrackFile::capacitiesAreIndependent()
{
    // Full waypoints: track lines after them still count.
    TrackTable track;
    WaypointTable waypoints;
    readTrackFileBytes(repeated("W,wp,50.1,14.1\r\n", 1201) + "W,spaet,1,1\r\nT,x,50.2,14.2\r\n", track, waypoints);
    QCOMPARE(int(waypoints.count), WaypointTable::capacity);
    QCOMPARE(track.count, 1);

    // Full track: waypoints after it still count, a plain point does not.
    readTrackFileBytes(repeated("50.1,14.1\r\n", 10001) + "W,danach,50.3,14.3\r\nT,x,1,1\r\n", track, waypoints);
    QCOMPARE(int(track.count), TrackTable::capacity);
    QCOMPARE(waypoints.count, 1);
    QCOMPARE(waypoints.entries[1].name, QStringLiteral("danach"));
}

void TestTrackFile::exampleFile()
{
    TrackTable track;
    WaypointTable waypoints;
    QVERIFY(readTrackFile(QStringLiteral(KARTE_EXAMPLES "/track.txt"), track, waypoints));
    QCOMPARE(waypoints.count, 12);
    QVERIFY(track.count > 300);
    int breaks = 0;
    for (int i = 1; i <= track.count; ++i) {
        const TrackPoint& p = track.entries[static_cast<size_t>(i)];
        if (p.latitude == 0 && p.longitude == 0) {
            ++breaks;
            continue;
        }
        QVERIFY(p.longitude > 14.05 && p.longitude < 14.35);
        QVERIFY(p.latitude > 50.84 && p.latitude < 50.98);
    }
    QCOMPARE(breaks, 2);
    QVERIFY(!waypoints.entries[1].note.isEmpty());
}

QTEST_GUILESS_MAIN(TestTrackFile)
#include "tst_trackfile.moc"
