#include "overlay/overlay.h"
#include "platform/qimagecanvas.h"
#include "platform/scaledcopy.h"
#include "platform/stampcache.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <limits>
#include <memory>

using namespace karte;

namespace {

constexpr QRgb white = 0xffffffff;
constexpr QRgb red = 0xffff0000;
constexpr QRgb yellow = 0xffffff00;

QFont labelFont()
{
    QFont font(QStringLiteral("Small Fonts"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(6.75);
    return font;
}

QImage whiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(white);
    return image;
}

QImage noiseImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = 0xff000000 | (random.generate() & 0xffffff);
    }
    return image;
}

// The pixels of the image that are not white, as "x,y".
QSet<QString> nonWhite(const QImage& image)
{
    QSet<QString> result;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != white)
                result.insert(QStringLiteral("%1,%2").arg(x).arg(y));
    return result;
}

QSet<QString> block(int x1, int y1, int x2, int y2)
{
    QSet<QString> result;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            result.insert(QStringLiteral("%1,%2").arg(x).arg(y));
    return result;
}

} // namespace

class TestOverlayPixels : public QObject {
    Q_OBJECT

private slots:
    void paintsSummitSymbolAndWaypointSquare();
    void linesSetBothEndPixels();
    void stampsMatchDirectPainting();
    void hugeCircleFinishes();
    void labelMasksStartAfreshWhenFull();
    void extremeCoordinatesAreClipped();
    void scaledCopyLeavesNoStalePixels_data();
    void scaledCopyLeavesNoStalePixels();
};

void TestOverlayPixels::paintsSummitSymbolAndWaypointSquare()
{
    // Summit "G" at image (110, 55) and a waypoint at image (150, 100), shown
    // with sx 100, sy 50, z 2: canvas (20, 10) and (100, 100).
    auto state = std::make_unique<ProgramState>();
    CalibrationRecord& cal = state->calibration;
    const double step = 1.0 / 1024.0;
    cal.L0 = 13.0;
    cal.B0 = 51.0;
    cal.Lx = float(step);
    cal.By = float(-step);
    cal.maß = float(step);
    state->mapView.sx = 100;
    state->mapView.sy = 50;
    state->mapView.z = 2;
    Summit& s = state->summits.entries[0];
    s.GIPFELOST = 13.0 + 110 * step;
    s.GIPFELNORD = 51.0 - 55 * step;
    s.TYP = QStringLiteral("G");
    s.POSFEHLER = -1; // no circle, no name: the symbol alone
    state->summits.count = 1;
    Waypoint& w = state->waypoints.entries[1];
    w.longitude = 13.0 + 150 * step;
    w.latitude = 51.0 - 100 * step;
    state->waypoints.count = 1;

    QImage image = whiteImage(400, 300);
    {
        QImageCanvas canvas(image, labelFont());
        VisibleGeoBox box;
        geinmalen(*state, canvas, box);
    }
    const QSet<QString> triangle = block(20, 7, 20, 7) + block(19, 8, 21, 9) + block(18, 10, 22, 11)
        + block(17, 12, 23, 13);
    const QSet<QString> square = block(98, 98, 102, 102); // filled
    QCOMPARE(nonWhite(image), triangle + square);
    QCOMPARE(image.pixel(20, 7), red);
    QCOMPARE(image.pixel(17, 13), red);
    QCOMPARE(image.pixel(100, 100), yellow);
    QCOMPARE(image.pixel(98, 102), yellow);
}

void TestOverlayPixels::linesSetBothEndPixels()
{
    QImage image = whiteImage(20, 20);
    {
        QImageCanvas canvas(image, labelFont());
        canvas.line(2, 2, 6, 2, 12);   // horizontal
        canvas.line(10, 9, 10, 4, 12); // vertical, upwards
        canvas.line(13, 13, 14, 14, 12);
    }
    QCOMPARE(nonWhite(image), block(2, 2, 6, 2) + block(10, 4, 10, 9) + block(13, 13, 13, 13) + block(14, 14, 14, 14));
}

void TestOverlayPixels::stampsMatchDirectPainting()
{
    // Whatever the canvas stamps from its masks must equal what QPainter
    // paints for the same primitive, at every position, over any map, and
    // where the primitive is clipped at an edge.
    const QFont font = QImageCanvas::canvasFont(labelFont());
    const QStringList names{QStringLiteral("Lilienstein"), QStringLiteral("Růžovský vrch"),
                            QStringLiteral("jgÄ_,'"),
                            QStringLiteral("W")};
    struct Line {
        int x1, y1, x2, y2;
    };
    const QList<Line> lines{{30, 30, 35, 21}, {60, 40, 57, 34}, {5, 70, 5, 60}, {80, 80, 40, 60},
                            {-3, 10, 4, 12}, {195, 5, 205, 9}, {10, 10, 10, 10}};
    const QList<QPoint> places{{20, 20}, {21, 57}, {150, 90}, {-2, 50}, {190, 95}};

    const QImage background = noiseImage(200, 100);
    QImage stamped = background;
    QImage painted = background;
    StampCache cache;
    for (int pass = 0; pass < 2; ++pass) { // the second pass draws from the cache
        {
            QImageCanvas canvas(stamped, labelFont(), &cache);
            canvas.setTextColor(1);
            for (const QPoint& p : places) {
                for (int r : {0, 1, 2, 7, 30})
                    canvas.circle(p.x(), p.y(), r, 7);
                for (const QString& name : names) {
                    canvas.setTextPosition(p.x() + pass, p.y() + 3);
                    canvas.text(name);
                }
            }
            for (const Line& l : lines)
                canvas.line(l.x1 + pass, l.y1, l.x2 + pass, l.y2, 13);
        }
        {
            QPainter painter(&painted);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setFont(font);
            painter.setBrush(Qt::NoBrush);
            for (const QPoint& p : places) {
                painter.setPen(QImageCanvas::linePen(QColor(192, 192, 192)));
                for (int r : {0, 1, 2, 7, 30})
                    painter.drawEllipse(p, r, r);
                painter.setPen(QImageCanvas::linePen(QColor(0, 0, 128)));
                for (const QString& name : names)
                    painter.drawText(p.x() + pass, p.y() + 3 + painter.fontMetrics().ascent(), name);
            }
            painter.setPen(QImageCanvas::linePen(QColor(255, 0, 255)));
            for (const Line& l : lines)
                painter.drawLine(l.x1 + pass, l.y1, l.x2 + pass, l.y2);
        }
        QCOMPARE(stamped, painted);
    }
    QVERIFY(stamped != background);
}

void TestOverlayPixels::hugeCircleFinishes()
{
    QImage image = whiteImage(50, 50);
    {
        QImageCanvas canvas(image, labelFont());
        canvas.circle(25, 25, 32767, 7);
        canvas.circle(25, 25, -3, 7); // nothing
        canvas.circle(25, 25, 0, 7);
    }
    QVERIFY(image.pixel(25, 25) != white || nonWhite(image).isEmpty());
}

void TestOverlayPixels::extremeCoordinatesAreClipped()
{
    QImage image = whiteImage(60, 60);
    {
        QImageCanvas canvas(image, labelFont());
        canvas.line(std::numeric_limits<int>::min(), 30, std::numeric_limits<int>::max(), 30, 13);
        canvas.line(40, std::numeric_limits<int>::min(), 40, std::numeric_limits<int>::max(), 13);
        canvas.line(std::numeric_limits<int>::max() - 5, 0, std::numeric_limits<int>::max(), 5, 13);
        canvas.rect(std::numeric_limits<int>::min(), 50, 5, std::numeric_limits<int>::max(), 14);
        canvas.circle(std::numeric_limits<int>::max(), 10, 32767, 7);
        canvas.setTextPosition(std::numeric_limits<int>::max(), std::numeric_limits<int>::min());
        canvas.text(QStringLiteral("weit weg"));
    }
    QCOMPARE(nonWhite(image), block(0, 30, 59, 30) + block(40, 0, 40, 59) + block(0, 50, 5, 59));
}

void TestOverlayPixels::scaledCopyLeavesNoStalePixels_data()
{
    QTest::addColumn<int>("sx");
    QTest::addColumn<float>("z");
    QTest::addColumn<int>("mapColumns"); // canvas columns showing the map; the rest white
    QTest::newRow("map covers the canvas") << 2 << 1.f << 8;
    QTest::newRow("map ends inside the canvas") << 15 << 1.f << 5;
    QTest::newRow("zoom 2, map ends inside") << 18 << 2.f << 4;
}

void TestOverlayPixels::scaledCopyLeavesNoStalePixels()
{
    // The redraw paints over the previous frame: nothing of it may remain.
    QFETCH(int, sx);
    QFETCH(float, z);
    QFETCH(int, mapColumns);
    QImage map = noiseImage(20, 20);
    QImage target(8, 8, QImage::Format_RGB32);
    target.fill(Qt::black);
    copyVisiblePart(target, map, sx, 0, z);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const QRgb expected = x < mapColumns ? map.pixel(sx + int(float(x) / z), int(float(y) / z)) : white;
            QCOMPARE(target.pixel(x, y), expected);
        }
}

void TestOverlayPixels::labelMasksStartAfreshWhenFull()
{
    // A label drawn from a full cache, after the cache has started afresh,
    // sets the same pixels as before.
    StampCache cache;
    const QString name = QStringLiteral("Hoher Schneeberg");
    auto draw = [&] {
        QImage image = whiteImage(120, 30);
        QImageCanvas canvas(image, labelFont(), &cache);
        canvas.setTextColor(1);
        canvas.setTextPosition(5, 5);
        canvas.text(name);
        return image;
    };
    const QImage before = draw();
    QVERIFY(before != whiteImage(120, 30));
    for (std::size_t i = 0; i <= StampCache::maxTexts; ++i)
        cache.text(QString::number(i));
    QCOMPARE(draw(), before);
}

QTEST_MAIN(TestOverlayPixels)
#include "tst_overlaypixels.moc"
