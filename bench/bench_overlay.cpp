// Full redraw of the map view: the scaled copy of the visible part followed
// by the overlay through the QImage canvas, on a 1920 x 1080 canvas over a
// 7000 x 6000 map at zoom 1, beside the floor of a plain frame copy.

#include "calibration/calibrationmodel.h"
#include "overlay/overlay.h"
#include "platform/qimagecanvas.h"
#include "platform/scaledcopy.h"
#include "platform/stampcache.h"

#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>

#include <cstring>
#include <memory>

using namespace karte;

namespace {

constexpr int canvasW = 1920;
constexpr int canvasH = 1080;
constexpr int16_t viewX = 2000; // sx
constexpr int16_t viewY = 2000; // sy

const QImage& mapImage()
{
    static const QImage map = [] {
        QImage image(7000, 6000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = qRgb((x * 7) & 0xff, (y * 5) & 0xff, ((x ^ y) * 3) & 0xff);
        }
        return image;
    }();
    return map;
}

QFont labelFont()
{
    QFont font(QStringLiteral("Small Fonts"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(6.75);
    return font;
}

// About 5 m per pixel, north up, calibrated from two reference points.
std::unique_ptr<ProgramState> makeState(int summits, int trackPoints, int waypoints)
{
    auto state = std::make_unique<ProgramState>();
    auto lon = [](double x) { return 14.0 + x * 0.5 / 7000; };
    auto lat = [](double y) { return 51.0 - y * 0.27 / 6000; };
    calibration::setReferencePoint(*state, 1, 1000, 1000, lon(1000), lat(1000));
    calibration::setReferencePoint(*state, 2, 6000, 5000, lon(6000), lat(5000));
    state->mapView.sx = viewX;
    state->mapView.sy = viewY;
    state->mapView.z = 1;

    QRandomGenerator random(42);
    auto visible = [&](int margin) {
        return QPointF(viewX + margin + random.bounded(canvasW - 2 * margin),
                       viewY + margin + random.bounded(canvasH - 2 * margin));
    };
    const QString types[] = {QStringLiteral("G"), QStringLiteral("W"), QStringLiteral("H"), QStringLiteral("P"),
                             QStringLiteral("C"), QStringLiteral("T"), QStringLiteral("X")};
    for (int i = 0; i < summits; ++i) {
        Summit& s = state->summits.entries[static_cast<std::size_t>(i)];
        const QPointF p = visible(10);
        const GeoPoint g = calibration::forward(state->calibration, float(p.x()), float(p.y()));
        s.GIPFELOST = g.longitude;
        s.GIPFELNORD = g.latitude;
        s.TYP = types[i % 7];
        s.POSFEHLER = static_cast<int16_t>(random.bounded(100));
        s.GIPFELNAME_D = QStringLiteral("Gipfel %1").arg(i);
    }
    state->summits.count = static_cast<int16_t>(summits);

    QPointF walk = visible(200);
    for (int i = 1; i <= trackPoints; ++i) {
        walk += QPointF(random.bounded(21) - 10, random.bounded(21) - 10);
        walk.setX(qBound<double>(viewX + 1, walk.x(), viewX + canvasW - 1));
        walk.setY(qBound<double>(viewY + 1, walk.y(), viewY + canvasH - 1));
        const GeoPoint g = calibration::forward(state->calibration, float(walk.x()), float(walk.y()));
        state->track.entries[static_cast<std::size_t>(i)] = TrackPoint{g.latitude, g.longitude};
    }
    state->track.count = static_cast<int16_t>(trackPoints);

    for (int i = 1; i <= waypoints; ++i) {
        Waypoint& w = state->waypoints.entries[static_cast<std::size_t>(i)];
        const QPointF p = visible(10);
        const GeoPoint g = calibration::forward(state->calibration, float(p.x()), float(p.y()));
        w.longitude = g.longitude;
        w.latitude = g.latitude;
        w.name = QStringLiteral("WP %1").arg(i);
    }
    state->waypoints.count = static_cast<int16_t>(waypoints);
    return state;
}

void BM_FloorFrameCopy(benchmark::State& bm)
{
    const QImage frame = mapImage().copy(viewX, viewY, canvasW, canvasH);
    QImage target(canvasW, canvasH, QImage::Format_RGB32);
    for (auto _ : bm) {
        std::memcpy(target.bits(), frame.constBits(), static_cast<std::size_t>(frame.sizeInBytes()));
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_ScaledCopyOnly(benchmark::State& bm)
{
    QImage target(canvasW, canvasH, QImage::Format_RGB32);
    for (auto _ : bm) {
        copyVisiblePart(target, mapImage(), viewX, viewY, 1.0f);
        benchmark::DoNotOptimize(target.constBits());
    }
}

// shareCache: the masks outlive the canvas, as when the map view keeps one
// StampCache; otherwise every redraw renders its labels afresh.
void redraw(benchmark::State& bm, int summits, int trackPoints, int waypoints, bool shareCache)
{
    const auto state = makeState(summits, trackPoints, waypoints);
    QImage target(canvasW, canvasH, QImage::Format_RGB32);
    const QFont font = labelFont();
    StampCache cache;
    VisibleGeoBox box;
    // The view keeps its cache from one redraw to the next: measure the
    // redraws after the first, which renders the masks (see below).
    if (shareCache) {
        copyVisiblePart(target, mapImage(), state->mapView.sx, state->mapView.sy, state->mapView.z);
        QImageCanvas canvas(target, font, &cache);
        geinmalen(*state, canvas, box);
    }
    for (auto _ : bm) {
        copyVisiblePart(target, mapImage(), state->mapView.sx, state->mapView.sy, state->mapView.z);
        QImageCanvas canvas(target, font, shareCache ? &cache : nullptr);
        geinmalen(*state, canvas, box);
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_RedrawTypical(benchmark::State& bm)
{
    redraw(bm, 500, 2000, 100, true);
}

void BM_RedrawWorst(benchmark::State& bm)
{
    redraw(bm, 10001, 10000, 1200, true);
}

// The first redraw after a list is loaded, which renders every mask.
void BM_RedrawWorstFirst(benchmark::State& bm)
{
    const auto state = makeState(10001, 10000, 1200);
    QImage target(canvasW, canvasH, QImage::Format_RGB32);
    const QFont font = labelFont();
    VisibleGeoBox box;
    for (auto _ : bm) {
        StampCache cache;
        copyVisiblePart(target, mapImage(), state->mapView.sx, state->mapView.sy, state->mapView.z);
        QImageCanvas canvas(target, font, &cache);
        geinmalen(*state, canvas, box);
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_RedrawWorstWithoutSharedCache(benchmark::State& bm)
{
    redraw(bm, 10001, 10000, 1200, false);
}

} // namespace

BENCHMARK(BM_FloorFrameCopy)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_ScaledCopyOnly)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawTypical)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawWorst)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawWorstFirst)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawWorstWithoutSharedCache)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
