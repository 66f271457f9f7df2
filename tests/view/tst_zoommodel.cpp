#include "view/maplayout.h"
#include "view/zoommodel.h"

#include <QTest>

Q_DECLARE_METATYPE(karte::TwipRect)

namespace QTest {
template <>
char* toString(const karte::TwipRect& r)
{
    return qstrdup(QByteArray("(" + QByteArray::number(r.left) + ", " + QByteArray::number(r.top) + ", "
                              + QByteArray::number(r.width) + ", " + QByteArray::number(r.height) + ")"));
}
} // namespace QTest

using namespace karte;

class TestZoomModel : public QObject {
    Q_OBJECT
private slots:
    void fourthRoot();
    void stepSequences_data();
    void stepSequences();
    void limits_data();
    void limits();
    void pageStepAndMaximum_data();
    void pageStepAndMaximum();
    void layout_data();
    void layout();
};

void TestZoomModel::fourthRoot()
{
    QCOMPARE(zoom::fourthRootOfTwo(), 1.189207115002721);
    QCOMPARE(zoom::applyStep(1.0f, zoom::Step::Up), 1.1892071f);
}

// Presses are applied to the stored single value one after the other, so
// rounding accumulates exactly as in the window.
void TestZoomModel::stepSequences_data()
{
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<float>("expected");
    const int up = int(zoom::Step::Up), down = int(zoom::Step::Down);
    QTest::newRow("twelve up give exactly 8") << QList<int>(12, up) << 8.0f;
    QTest::newRow("thirteen up pass 8") << QList<int>(13, up) << 9.513657f;
    QTest::newRow("four down") << QList<int>(4, down) << 0.49999997f;
    QTest::newRow("eight down") << QList<int>(8, down) << 0.24999999f;
    QTest::newRow("up then down") << QList<int>{up, down} << 0.99999994f;
    QTest::newRow("up down original") << QList<int>{up, down, int(zoom::Step::Original)} << 1.0f;
    QTest::newRow("five doubles") << QList<int>(5, int(zoom::Step::Double)) << 32.0f;
    QTest::newRow("double then half") << QList<int>{int(zoom::Step::Double), int(zoom::Step::Half)} << 1.0f;
}

void TestZoomModel::stepSequences()
{
    QFETCH(QList<int>, steps);
    QFETCH(float, expected);
    float z = 1;
    for (int s : steps)
        z = zoom::applyStep(z, zoom::Step(s));
    QCOMPARE(z, expected);
}

void TestZoomModel::limits_data()
{
    QTest::addColumn<float>("z");
    QTest::addColumn<float>("expected");
    QTest::newRow("above 8") << 9.513657f << 8.0f;
    QTest::newRow("exactly 8") << 8.0f << 8.0f;
    QTest::newRow("just below a quarter") << 0.24999999f << 0.25f;
    QTest::newRow("inside") << 0.99999994f << 0.99999994f;
    QTest::newRow("32 before a map") << 32.0f << 8.0f;
}

void TestZoomModel::limits()
{
    QFETCH(float, z);
    QFETCH(float, expected);
    QCOMPARE(zoom::limitFactor(z), expected);
}

void TestZoomModel::pageStepAndMaximum_data()
{
    QTest::addColumn<int>("image");
    QTest::addColumn<int>("canvas");
    QTest::addColumn<float>("z");
    QTest::addColumn<int>("pageStep");
    QTest::addColumn<int>("maximum");
    QTest::newRow("272.5 rounds to even") << 900 << 545 << 1.0f << 272 << 355;
    QTest::newRow("627.5 rounds to even") << 900 << 545 << 2.0f << 136 << 628;
    QTest::newRow("image fits: maximum 1") << 300 << 540 << 1.0f << 270 << 1;
    QTest::newRow("image height fits") << 200 << 260 << 1.0f << 130 << 1;
    QTest::newRow("canvas below one zoomed pixel") << 900 << 1 << 8.0f << 1 << 900;
    QTest::newRow("image wider than a bar holds") << 70000 << 545 << 1.0f << 272 << 32767;
    QTest::newRow("quarter zoom") << 7000 << 1000 << 0.25f << 2000 << 3000;
}

void TestZoomModel::pageStepAndMaximum()
{
    QFETCH(int, image);
    QFETCH(int, canvas);
    QFETCH(float, z);
    QFETCH(int, pageStep);
    QFETCH(int, maximum);
    QCOMPARE(zoom::pageStep(canvas, z), pageStep);
    QCOMPARE(zoom::scrollMaximum(image, canvas, z), maximum);
}

// Inner sizes in twips; the placement starts from the designed one.
void TestZoomModel::layout_data()
{
    QTest::addColumn<int>("innerWidth");
    QTest::addColumn<int>("innerHeight");
    QTest::addColumn<TwipRect>("map");
    QTest::addColumn<TwipRect>("yScroll");
    QTest::addColumn<TwipRect>("xScroll");
    const int sw = 19200, sh = 11000;
    QTest::newRow("large area")
        << sw << sh << TwipRect{50, 960, sw - 305, sh - 1215} << TwipRect{sw - 255, 960, 255, sh - 1215}
        << TwipRect{50, sh - 255, sw - 305, 255};
    QTest::newRow("restored window 8340 x 5190")
        << 8340 << 5190 << TwipRect{50, 960, 8035, 3975} << TwipRect{8085, 960, 255, 3975}
        << TwipRect{50, 4935, 8035, 255};
    // Height kept, but the horizontal bar still moves below the canvas.
    QTest::newRow("300 high keeps the height")
        << sw << 300 << TwipRect{50, 960, sw - 305, 3975} << TwipRect{sw - 255, 600, 255, 4335}
        << TwipRect{50, 4935, sw - 305, 255};
    QTest::newRow("301 high: canvas one pixel")
        << sw << 301 << TwipRect{50, 960, sw - 305, 15} << TwipRect{sw - 255, 960, 255, 15}
        << TwipRect{50, 975, sw - 305, 255};
    QTest::newRow("1215 high: canvas one pixel")
        << sw << 1215 << TwipRect{50, 960, sw - 305, 15} << TwipRect{sw - 255, 960, 255, 15}
        << TwipRect{50, 975, sw - 305, 255};
    QTest::newRow("250 wide keeps the width")
        << 250 << sh << TwipRect{50, 960, 8055, sh - 1215} << TwipRect{8105, 960, 255, sh - 1215}
        << TwipRect{50, sh - 255, 8055, 255};
    QTest::newRow("251 wide: canvas one pixel")
        << 251 << sh << TwipRect{50, 960, 15, sh - 1215} << TwipRect{65, 960, 255, sh - 1215}
        << TwipRect{50, sh - 255, 15, 255};
    QTest::newRow("zero area keeps everything but the left edges")
        << 0 << 0 << TwipRect{50, 960, 8055, 3975} << TwipRect{8105, 600, 255, 4335}
        << TwipRect{50, 4935, 8055, 255};
}

void TestZoomModel::layout()
{
    QFETCH(int, innerWidth);
    QFETCH(int, innerHeight);
    QFETCH(TwipRect, map);
    QFETCH(TwipRect, yScroll);
    QFETCH(TwipRect, xScroll);
    const MapAreaLayout l = layoutMapArea(MapAreaLayout{}, innerWidth, innerHeight);
    QCOMPARE(l.map, map);
    QCOMPARE(l.yScroll, yScroll);
    QCOMPARE(l.xScroll, xScroll);
    // Laying out again for the same size changes nothing.
    QCOMPARE(layoutMapArea(l, innerWidth, innerHeight), l);
}


QTEST_GUILESS_MAIN(TestZoomModel)
#include "tst_zoommodel.moc"
