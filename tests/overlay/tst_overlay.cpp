#include "overlay/overlay.h"
#include "overlay/summitsymbol.h"
#include "recordingcanvas.h"

#include <QList>
#include <QPointF>
#include <QTest>

#include <cmath>
#include <memory>

using namespace karte;

namespace {

// Power-of-two coefficients keep the positions exact: one image pixel is
// 1/1024 degree, north up.
constexpr double step = 1.0 / 1024.0;

// A calibrated map shown with sx 100, sy 50, z 2 on a 400 x 300 canvas: the
// visible image rectangle is columns 100..300, rows 50..200.
std::unique_ptr<ProgramState> calibratedState()
{
    auto state = std::make_unique<ProgramState>();
    CalibrationRecord& cal = state->calibration;
    cal.L0 = 13.0;
    cal.B0 = 51.0;
    cal.Lx = float(step);
    cal.Ly = 0;
    cal.Bx = 0;
    cal.By = float(-step);
    cal.maß = float(step); // 108.50694 metres per pixel
    cal.cx1 = cal.cy1 = cal.cx2 = cal.cy2 = 0;
    state->mapView.sx = 100;
    state->mapView.sy = 50;
    state->mapView.z = 2;
    return state;
}

// Degrees of image position (x, y) under the state's forward model.
QPointF geoOf(const ProgramState& state, double x, double y)
{
    const CalibrationRecord& c = state.calibration;
    return QPointF(c.L0 + double(c.Lx) * x + double(c.Ly) * y, c.B0 + double(c.Bx) * x + double(c.By) * y);
}

void addSummit(ProgramState& state, double x, double y, const QString& typ = QStringLiteral("G"),
               int16_t posfehler = 100, const QString& german = QStringLiteral("Lilienstein"),
               const QString& czech = QString())
{
    Summit& s = state.summits.entries[static_cast<std::size_t>(state.summits.count++)];
    const QPointF geo = geoOf(state, x, y);
    s.GIPFELOST = geo.x();
    s.GIPFELNORD = geo.y();
    s.TYP = typ;
    s.POSFEHLER = posfehler;
    s.GIPFELNAME_D = german;
    s.GIPFELNAME_CZ = czech;
}

// A negative x marks a segment separator (latitude and longitude 0).
void addTrackPoint(ProgramState& state, QPointF image)
{
    TrackPoint& t = state.track.entries[static_cast<std::size_t>(++state.track.count)];
    if (image.x() < 0) {
        t = TrackPoint{};
        return;
    }
    const QPointF geo = geoOf(state, image.x(), image.y());
    t.longitude = geo.x();
    t.latitude = geo.y();
}

void addWaypoint(ProgramState& state, double x, double y, const QString& name)
{
    Waypoint& w = state.waypoints.entries[static_cast<std::size_t>(++state.waypoints.count)];
    const QPointF geo = geoOf(state, x, y);
    w.longitude = geo.x();
    w.latitude = geo.y();
    w.name = name;
}

QStringList draw(const ProgramState& state, VisibleGeoBox* boxOut = nullptr)
{
    RecordingCanvas canvas(400, 300);
    VisibleGeoBox box;
    geinmalen(state, canvas, box);
    if (boxOut)
        *boxOut = box;
    return canvas.calls;
}

QString ln(int x1, int y1, int x2, int y2, int c)
{
    return QStringLiteral("line %1 %2 %3 %4 c%5").arg(x1).arg(y1).arg(x2).arg(y2).arg(c);
}

QString rc(int x1, int y1, int x2, int y2, int c)
{
    return QStringLiteral("rect %1 %2 %3 %4 c%5").arg(x1).arg(y1).arg(x2).arg(y2).arg(c);
}

} // namespace

class TestOverlay : public QObject {
    Q_OBJECT

private slots:
    void placesSummitWithCircleSymbolAndLabel();
    void placesOnWholeImagePixels_data();
    void placesOnWholeImagePixels();
    void skipsSummitsOnBoundsAndCanvasEdges_data();
    void skipsSummitsOnBoundsAndCanvasEdges();
    void labelsWithGermanElseCzechName_data();
    void labelsWithGermanElseCzechName();
    void drawsSymbolByType_data();
    void drawsSymbolByType();
    void radiusFromPositionError_data();
    void radiusFromPositionError();
    void calibrationCondition_data();
    void calibrationCondition();
    void joinsTrackPoints_data();
    void joinsTrackPoints();
    void drawsReferenceCrosses_data();
    void drawsReferenceCrosses();
    void emptyTablesDrawOnlyCrosses();
    void rotatedMapKeepsCanvasTest();
};

void TestOverlay::placesSummitWithCircleSymbolAndLabel()
{
    auto state = calibratedState();
    addSummit(*state, 110, 55);
    VisibleGeoBox box;
    const QStringList calls = draw(*state, &box);
    const QStringList expected{
        QStringLiteral("textcolor c1"),
        QStringLiteral("circle 20 10 r2 c7"), // 100 m / 108.50694 m per pixel * 2
        QStringLiteral("pixel 20 7 c12"),
        rc(19, 8, 21, 9, 12),
        rc(18, 10, 22, 11, 12),
        rc(17, 12, 23, 13, 12),
        QStringLiteral("textpos 12 13"),
        QStringLiteral("text Lilienstein"),
    };
    QCOMPARE(calls, expected);
    QCOMPARE(box.Lmin, 13.0 + 100 * step);
    QCOMPARE(box.Lmax, 13.0 + 300 * step);
    QCOMPARE(box.Bmin, 51.0 - 200 * step);
    QCOMPARE(box.Bmax, 51.0 - 50 * step);
}

void TestOverlay::placesOnWholeImagePixels_data()
{
    QTest::addColumn<double>("x"); // image pixels
    QTest::addColumn<double>("y");
    QTest::addColumn<float>("z");
    QTest::addColumn<QString>("circle");
    QTest::newRow("halves to the even pixel") << 110.5 << 55.5 << 2.f << QStringLiteral("circle 20 12");
    QTest::newRow("odd halves up") << 111.5 << 56.5 << 2.f << QStringLiteral("circle 24 12");
    // 11 * 1.5 = 16.5 and 7 * 1.5 = 10.5 go to the even neighbours.
    QTest::newRow("zoomed half to even") << 111.0 << 57.0 << 1.5f << QStringLiteral("circle 16 10");
    QTest::newRow("snapped before zoom 8") << 110.4 << 55.6 << 8.f << QStringLiteral("circle 80 48");
}

void TestOverlay::placesOnWholeImagePixels()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(float, z);
    QFETCH(QString, circle);
    auto state = calibratedState();
    state->mapView.z = z;
    addSummit(*state, x, y);
    RecordingCanvas canvas(400, 300);
    VisibleGeoBox box;
    geinmalen(*state, canvas, box);
    const QStringList circles = canvas.callsOf(QStringLiteral("circle"));
    QCOMPARE(circles.size(), 1);
    QCOMPARE(circles.first().section(QLatin1Char(' '), 0, 2), circle);
}

void TestOverlay::skipsSummitsOnBoundsAndCanvasEdges_data()
{
    QTest::addColumn<double>("x"); // image pixels
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("longitude on Lmin") << 100.0 << 100.0 << false;
    QTest::newRow("longitude on Lmax") << 300.0 << 100.0 << false;
    QTest::newRow("latitude on Bmax") << 150.0 << 50.0 << false;
    QTest::newRow("latitude on Bmin") << 150.0 << 200.0 << false;
    // Inside the box, but snapped to the image pixel of a canvas edge.
    QTest::newRow("canvas column 0") << 100.25 << 100.0 << false;
    QTest::newRow("canvas column W") << 299.75 << 100.0 << false;
    QTest::newRow("canvas row 0") << 150.0 << 50.25 << false;
    QTest::newRow("canvas row H") << 150.0 << 199.75 << false;
    QTest::newRow("first column inside") << 100.75 << 100.0 << true;
    QTest::newRow("last row inside") << 150.0 << 199.25 << true;
}

void TestOverlay::skipsSummitsOnBoundsAndCanvasEdges()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, drawn);
    auto state = calibratedState();
    addSummit(*state, x, y);
    RecordingCanvas canvas(400, 300);
    VisibleGeoBox box;
    geinmalen(*state, canvas, box);
    QCOMPARE(canvas.callsOf(QStringLiteral("circle")).size(), drawn ? 1 : 0);
    QCOMPARE(canvas.callsOf(QStringLiteral("text")).size(), drawn ? 1 : 0);
}

void TestOverlay::labelsWithGermanElseCzechName_data()
{
    QTest::addColumn<QString>("german");
    QTest::addColumn<QString>("czech");
    QTest::addColumn<QString>("label");
    QTest::newRow("german name") << QStringLiteral("Lilienstein") << QStringLiteral("Lilienstejn")
                                 << QStringLiteral("Lilienstein");
    QTest::newRow("german empty, czech") << QString() << QStringLiteral("Růžovský vrch")
                                         << QStringLiteral("Růžovský vrch");
    QTest::newRow("both empty") << QString() << QString() << QString();
}

void TestOverlay::labelsWithGermanElseCzechName()
{
    QFETCH(QString, german);
    QFETCH(QString, czech);
    QFETCH(QString, label);
    auto state = calibratedState();
    addSummit(*state, 110, 55, QStringLiteral("G"), 100, german, czech);
    const QStringList calls = draw(*state);
    const QStringList expected{QStringLiteral("textpos 12 13"), QStringLiteral("text ") + label};
    QCOMPARE(calls.mid(calls.size() - 2), expected);
}

void TestOverlay::drawsSymbolByType_data()
{
    QTest::addColumn<QString>("typ");
    QTest::addColumn<QStringList>("elements"); // at summit position (20, 10)
    const int X = 20;
    const int Y = 10;
    const QStringList square{rc(X - 2, Y - 2, X + 2, Y + 2, 12)};
    QTest::newRow("G stepped triangle")
        << QStringLiteral("G")
        << QStringList{QStringLiteral("pixel 20 7 c12"), rc(X - 1, Y - 2, X + 1, Y - 1, 12),
                       rc(X - 2, Y, X + 2, Y + 1, 12), rc(X - 3, Y + 2, X + 3, Y + 3, 12)};
    QTest::newRow("W block with handle")
        << QStringLiteral("W")
        << QStringList{rc(X - 3, Y - 4, X + 1, Y + 3, 10), ln(X + 2, Y + 1, X + 3, Y + 1, 10),
                       ln(X + 2, Y - 3, X + 3, Y - 3, 10), ln(X + 4, Y, X + 4, Y - 2, 10)};
    QTest::newRow("H arch")
        << QStringLiteral("H")
        << QStringList{ln(X - 3, Y + 2, X - 2, Y + 2, 5), ln(X - 2, Y + 1, X - 2, Y - 2, 5),
                       ln(X - 1, Y - 3, X + 1, Y - 3, 5), ln(X + 2, Y + 1, X + 2, Y - 2, 5),
                       ln(X + 3, Y + 2, X + 2, Y + 2, 5)};
    QTest::newRow("P letter")
        << QStringLiteral("P")
        << QStringList{ln(X - 2, Y + 3, X - 2, Y - 6, 1), ln(X - 1, Y - 1, X + 1, Y - 1, 1),
                       ln(X - 1, Y - 6, X + 1, Y - 6, 1), ln(X + 1, Y - 1, X + 3, Y - 3, 1),
                       ln(X + 1, Y - 6, X + 3, Y - 4, 1)};
    QTest::newRow("C poles")
        << QStringLiteral("C")
        << QStringList{ln(X - 4, Y + 3, X + 4, Y + 3, 2), ln(X - 4, Y + 2, X + 1, Y - 7, 2),
                       ln(X + 4, Y + 2, X - 1, Y - 7, 2), ln(X - 3, Y + 2, X, Y - 4, 2),
                       ln(X + 3, Y + 2, X, Y - 4, 2)};
    QTest::newRow("T square with rays")
        << QStringLiteral("T")
        << QStringList{rc(X - 1, Y - 1, X + 1, Y + 1, 2), ln(X, Y + 3, X, Y + 4, 2), ln(X, Y - 3, X, Y - 4, 2),
                       ln(X + 3, Y, X + 4, Y, 2), ln(X - 3, Y, X - 4, Y, 2), ln(X + 3, Y + 3, X + 4, Y + 4, 2),
                       ln(X - 3, Y - 3, X - 4, Y - 4, 2), ln(X + 3, Y - 3, X + 4, Y - 4, 2),
                       ln(X - 3, Y + 3, X - 4, Y + 4, 2)};
    QTest::newRow("lower-case g") << QStringLiteral("g") << square;
    QTest::newRow("G after a blank") << QStringLiteral(" G") << square;
    QTest::newRow("GG") << QStringLiteral("GG") << square;
    QTest::newRow("empty type") << QString() << square;
    QTest::newRow("unknown type") << QStringLiteral("X") << square;
}

void TestOverlay::drawsSymbolByType()
{
    QFETCH(QString, typ);
    QFETCH(QStringList, elements);
    auto state = calibratedState();
    addSummit(*state, 110, 55, typ);
    QStringList calls = draw(*state);
    // textcolor, circle first; textpos, text last.
    QCOMPARE(calls.size(), elements.size() + 4);
    QCOMPARE(calls.at(1), QStringLiteral("circle 20 10 r2 c7"));
    QCOMPARE(calls.mid(2, elements.size()), elements);

    // The symbol alone, anchored elsewhere, keeps its offsets.
    RecordingCanvas shifted(400, 300);
    drawSummitSymbol(shifted, typ, 20, 10);
    QCOMPARE(shifted.calls, elements);
}

void TestOverlay::radiusFromPositionError_data()
{
    QTest::addColumn<int>("posfehler"); // metres
    QTest::addColumn<float>("maß");
    QTest::addColumn<QString>("circle"); // empty: no circle
    QTest::newRow("zero error, radius 0") << 0 << float(step) << QStringLiteral("circle 20 10 r0 c7");
    QTest::newRow("500 m") << 500 << float(step) << QStringLiteral("circle 20 10 r9 c7"); // 9.2160
    QTest::newRow("negative error, no circle") << -5 << float(step) << QString();
    QTest::newRow("huge radius clamped") << 32767 << 1e-9f << QStringLiteral("circle 20 10 r32767 c7");
    QTest::newRow("huge negative radius, no circle") << -32768 << 1e-9f << QString();
}

void TestOverlay::radiusFromPositionError()
{
    QFETCH(int, posfehler);
    QFETCH(float, maß);
    QFETCH(QString, circle);
    auto state = calibratedState();
    state->calibration.maß = maß;
    addSummit(*state, 110, 55, QStringLiteral("G"), static_cast<int16_t>(posfehler));
    const QStringList calls = draw(*state);
    QCOMPARE(calls.filter(QStringLiteral("circle")), circle.isEmpty() ? QStringList() : QStringList{circle});
    // Symbol and label are drawn whatever the radius.
    QVERIFY(calls.contains(QStringLiteral("pixel 20 7 c12")));
    QCOMPARE(calls.last(), QStringLiteral("text Lilienstein"));
}

void TestOverlay::calibrationCondition_data()
{
    QTest::addColumn<float>("Lx");
    QTest::addColumn<float>("Ly");
    QTest::addColumn<float>("Bx");
    QTest::addColumn<float>("By");
    QTest::addColumn<float>("maß");
    QTest::addColumn<bool>("summitsAndTrack");
    QTest::addColumn<bool>("waypoint");
    const float s = float(step);
    QTest::newRow("calibrated") << s << 0.f << 0.f << -s << s << true << true;
    QTest::newRow("rotated 90 degrees, Lx zero") << 0.f << s << -s << 0.f << s << false << true;
    QTest::newRow("maß zero") << s << 0.f << 0.f << -s << 0.f << false << true;
    // Not produced by the calibration, but readable from an edited file: the
    // box is not a single point, yet nothing can be placed.
    QTest::newRow("zero denominators") << s << s << s << s << s << false << false;
}

void TestOverlay::calibrationCondition()
{
    QFETCH(float, Lx);
    QFETCH(float, Ly);
    QFETCH(float, Bx);
    QFETCH(float, By);
    QFETCH(float, maß);
    QFETCH(bool, summitsAndTrack);
    QFETCH(bool, waypoint);
    auto state = calibratedState();
    CalibrationRecord& cal = state->calibration;
    cal.Lx = Lx;
    cal.Ly = Ly;
    cal.Bx = Bx;
    cal.By = By;
    cal.maß = maß;
    addSummit(*state, 150, 100);
    addTrackPoint(*state, QPointF(150, 100));
    addTrackPoint(*state, QPointF(160, 110));
    addWaypoint(*state, 150, 100, QStringLiteral("Gipfelbuch"));

    RecordingCanvas canvas(400, 300);
    VisibleGeoBox box;
    geinmalen(*state, canvas, box);
    QCOMPARE(canvas.callsOf(QStringLiteral("circle")).size(), summitsAndTrack ? 1 : 0);
    QCOMPARE(canvas.callsOf(QStringLiteral("line")), summitsAndTrack ? QStringList{ln(100, 100, 120, 120, 13)}
                                                                       : QStringList());
    QCOMPARE(canvas.callsOf(QStringLiteral("rect")).contains(rc(98, 98, 102, 102, 14)), waypoint);
    QCOMPARE(canvas.calls.contains(QStringLiteral("text Gipfelbuch")), waypoint);
    if (waypoint)
        QCOMPARE(canvas.calls.mid(canvas.calls.size() - 3),
                 (QStringList{rc(98, 98, 102, 102, 14), QStringLiteral("textpos 92 103"),
                              QStringLiteral("text Gipfelbuch")}));
}

void TestOverlay::joinsTrackPoints_data()
{
    QTest::addColumn<QList<QPointF>>("points"); // image pixels; x < 0: separator
    QTest::addColumn<QStringList>("lines");
    const QPointF sep(-1, -1);
    QTest::newRow("three points, two lines")
        << QList<QPointF>{{110, 60}, {120, 60}, {130, 70}}
        << QStringList{ln(20, 20, 40, 20, 13), ln(40, 20, 60, 40, 13)};
    QTest::newRow("middle point outside the box")
        << QList<QPointF>{{110, 60}, {350, 60}, {130, 70}} << QStringList();
    QTest::newRow("separator splits the track")
        << QList<QPointF>{{110, 60}, {120, 60}, sep, {130, 70}, {140, 70}}
        << QStringList{ln(20, 20, 40, 20, 13), ln(60, 40, 80, 40, 13)};
    // (100.25, 50.25) lies in the box and lands on canvas (0, 0).
    QTest::newRow("point on canvas (0, 0) not joined to the next")
        << QList<QPointF>{{110, 60}, {100.25, 50.25}, {120, 60}, {130, 70}}
        << QStringList{ln(20, 20, 0, 0, 13), ln(40, 20, 60, 40, 13)};
    QTest::newRow("line beyond the canvas is left to clipping")
        << QList<QPointF>{{290, 190}, {299, 199}} << QStringList{ln(380, 280, 398, 298, 13)};
}

void TestOverlay::joinsTrackPoints()
{
    QFETCH(QList<QPointF>, points);
    QFETCH(QStringList, lines);
    auto state = calibratedState();
    for (const QPointF& p : points)
        addTrackPoint(*state, p);
    RecordingCanvas canvas(400, 300);
    VisibleGeoBox box;
    geinmalen(*state, canvas, box);
    QCOMPARE(canvas.callsOf(QStringLiteral("line")), lines);
}

void TestOverlay::drawsReferenceCrosses_data()
{
    QTest::addColumn<float>("cx1");
    QTest::addColumn<float>("cy1");
    QTest::addColumn<QStringList>("lines");
    // Point 2 at (400, 300) lies off the canvas at (600, 500); its cross is
    // drawn all the same and left to clipping.
    const QStringList second{ln(607, 493, 593, 507, 13), ln(607, 507, 593, 493, 13)};
    // (110.5 - 100) * 2 = 21, (55.25 - 50) * 2 = 10.5 goes to 10.
    QTest::newRow("both points") << 110.5f << 55.25f
                                 << (QStringList{ln(28, 3, 14, 17, 13), ln(28, 17, 14, 3, 13)} + second);
    QTest::newRow("cx1 zero, no first cross") << 0.f << 55.f << second;
    QTest::newRow("cy1 zero, no first cross") << 110.f << 0.f << second;
    // Read from an edited calibration file; the cross lies far off the canvas.
    QTest::newRow("point beyond the integer range")
        << 1e30f << -1e30f
        << (QStringList{ln(1000007, -1000007, 999993, -999993, 13), ln(1000007, -999993, 999993, -1000007, 13)}
            + second);
}

void TestOverlay::drawsReferenceCrosses()
{
    QFETCH(float, cx1);
    QFETCH(float, cy1);
    QFETCH(QStringList, lines);
    auto state = calibratedState();
    state->calibration.cx1 = cx1;
    state->calibration.cy1 = cy1;
    state->calibration.cx2 = 400;
    state->calibration.cy2 = 300;
    // The crosses do not depend on the calibration condition.
    for (const bool calibrated : {true, false}) {
        state->calibration.Lx = calibrated ? float(step) : 0.f;
        RecordingCanvas canvas(400, 300);
        VisibleGeoBox box;
        geinmalen(*state, canvas, box);
        QCOMPARE(canvas.callsOf(QStringLiteral("line")), lines);
    }
}

void TestOverlay::emptyTablesDrawOnlyCrosses()
{
    auto state = calibratedState();
    state->calibration.cx1 = 110;
    state->calibration.cy1 = 55;
    state->calibration.cx2 = 200;
    state->calibration.cy2 = 100;
    const QStringList calls = draw(*state);
    const QStringList expected{ln(27, 3, 13, 17, 13), ln(27, 17, 13, 3, 13), ln(207, 93, 193, 107, 13),
                               ln(207, 107, 193, 93, 13), QStringLiteral("textcolor c1")};
    QCOMPARE(calls, expected);
}

void TestOverlay::rotatedMapKeepsCanvasTest()
{
    // Rotated 45 degrees: the box covers ground beyond the visible part, so a
    // summit inside the box can still lie off the canvas.
    auto state = calibratedState();
    CalibrationRecord& cal = state->calibration;
    cal.Lx = float(step);
    cal.Ly = float(step);
    cal.Bx = float(step);
    cal.By = float(-step);
    addSummit(*state, 90, 100, QStringLiteral("G"), 100, QStringLiteral("links daneben"));
    addSummit(*state, 150, 100, QStringLiteral("G"), 100, QStringLiteral("sichtbar"));
    VisibleGeoBox box;
    const QStringList calls = draw(*state, &box);
    const QPointF left = geoOf(*state, 90, 100);
    QVERIFY(box.Lmin < left.x() && left.x() < box.Lmax && box.Bmin < left.y() && left.y() < box.Bmax);
    QCOMPARE(calls.filter(QStringLiteral("text ")), QStringList{QStringLiteral("text sichtbar")});
    QVERIFY(calls.contains(QStringLiteral("circle 100 100 r2 c7")));
}

QTEST_GUILESS_MAIN(TestOverlay)
#include "tst_overlay.moc"
