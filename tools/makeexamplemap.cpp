// Draws the example map: a shaded-relief map of a fictional hill country
// with a river, forest, contour lines and roads, placed at real coordinates
// and turned 2 degrees against north, and writes it with its calibration
// file. Usage: makeexamplemap [output folder]  (default: examples)
// Prints the corner coordinates and the hill tops for the README.

#include "calibration/calibrationmodel.h"
#include "files/calibrationfile.h"
#include "platform/bitmapfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

using namespace karte;

namespace {

constexpr int imageWidth = 3000;
constexpr int imageHeight = 2200;
constexpr double centreLongitude = 14.20; // degrees east at the image centre
constexpr double centreLatitude = 50.91;  // degrees north at the image centre
constexpr double scaleDegrees = 6.3e-5;   // degrees of latitude per pixel (7 m)
constexpr double rotationDegrees = 2.0;   // north on the image, right of up
constexpr double metresPerDegree = 10000000.0 / 90.0;

// The map's own pixel <-> degree relation, the same similarity transform a
// two-point calibration produces.
struct Placement {
    double c = std::cos(centreLatitude / 180 * M_PI);
    double a = rotationDegrees / 180 * M_PI;
    double Lx = scaleDegrees * std::cos(a) / c, Ly = scaleDegrees * std::sin(a) / c;
    double Bx = scaleDegrees * std::sin(a), By = -scaleDegrees * std::cos(a);
    double L0 = centreLongitude - Lx * imageWidth / 2 - Ly * imageHeight / 2;
    double B0 = centreLatitude - Bx * imageWidth / 2 - By * imageHeight / 2;

    void toDegrees(double x, double y, double& lon, double& lat) const
    {
        lon = L0 + Lx * x + Ly * y;
        lat = B0 + Bx * x + By * y;
    }
    void toPixel(double lon, double lat, double& x, double& y) const
    {
        const double d = Lx * By - Ly * Bx;
        x = (By * (lon - L0) - Ly * (lat - B0)) / d;
        y = (Lx * (lat - B0) - Bx * (lon - L0)) / d;
    }
    // Ground metres east and north of the centre.
    void toGround(double lon, double lat, double& east, double& north) const
    {
        east = (lon - centreLongitude) * c * metresPerDegree;
        north = (lat - centreLatitude) * metresPerDegree;
    }
};

// Deterministic hashing noise, so every run draws the same map.
uint32_t hash(int32_t x, int32_t y, uint32_t seed)
{
    uint32_t h = seed ^ (uint32_t(x) * 0x27d4eb2dU) ^ (uint32_t(y) * 0x165667b1U);
    h ^= h >> 15;
    h *= 0x85ebca6bU;
    h ^= h >> 13;
    h *= 0xc2b2ae35U;
    h ^= h >> 16;
    return h;
}

double lattice(int32_t x, int32_t y, uint32_t seed)
{
    return double(hash(x, y, seed)) / 4294967295.0 * 2 - 1;
}

// Smooth value noise in [-1, 1] at ground position (metres) for a feature size.
double valueNoise(double east, double north, double size, uint32_t seed)
{
    const double u = east / size, v = north / size;
    const double fu = std::floor(u), fv = std::floor(v);
    const auto ix = int32_t(fu), iy = int32_t(fv);
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double tx = smooth(u - fu), ty = smooth(v - fv);
    const double a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
    const double c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

double fractal(double east, double north, double size, int octaves, uint32_t seed)
{
    double sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(east, north, size, seed + uint32_t(i) * 7919U);
        total += amplitude;
        amplitude *= 0.5;
        size *= 0.5;
    }
    return sum / total;
}

// The river's centre line: ground north (metres) at ground east.
double riverNorth(double east)
{
    return -2600 + 1500 * std::sin(east / 4200 + 0.4) + 450 * std::sin(east / 1300 + 1.3);
}

struct Hill {
    double lon, lat;   // summit, degrees
    double east, north; // summit, ground metres from the centre
    double rise;       // metres above the surrounding land
    double radius;     // metres
};

// Forty hill tops spread over the map, away from its edge and the river.
std::vector<Hill> placeHills(const Placement& p)
{
    std::vector<Hill> hills;
    uint32_t n = 1;
    while (hills.size() < 40 && n < 100000) {
        const double x = 180 + (imageWidth - 360) * (double(hash(int32_t(n), 1, 99)) / 4294967295.0);
        const double y = 180 + (imageHeight - 360) * (double(hash(int32_t(n), 2, 99)) / 4294967295.0);
        ++n;
        Hill h{};
        p.toDegrees(x, y, h.lon, h.lat);
        // Summits are listed to four decimals; draw them exactly there.
        h.lon = std::round(h.lon * 10000) / 10000;
        h.lat = std::round(h.lat * 10000) / 10000;
        p.toGround(h.lon, h.lat, h.east, h.north);
        if (std::fabs(h.north - riverNorth(h.east)) < 1300)
            continue;
        bool crowded = false;
        for (const Hill& other : hills)
            crowded = crowded || std::hypot(other.east - h.east, other.north - h.north) < 1650;
        if (crowded)
            continue;
        h.rise = 70 + 230 * (double(hash(int32_t(n), 3, 99)) / 4294967295.0);
        h.radius = 450 + 500 * (double(hash(int32_t(n), 4, 99)) / 4294967295.0);
        hills.push_back(h);
    }
    return hills;
}

// Ground height in metres at ground position (metres from the centre).
double height(double east, double north, const std::vector<Hill>& hills)
{
    double h = 260 + 0.006 * north + 35 * fractal(east, north, 6000, 3, 11);
    for (const Hill& hill : hills) {
        const double d2 = (east - hill.east) * (east - hill.east) + (north - hill.north) * (north - hill.north);
        const double r2 = hill.radius * hill.radius;
        if (d2 < 16 * r2)
            h += hill.rise * std::exp(-d2 / (2 * r2));
    }
    h += 8 * fractal(east, north, 500, 4, 23);
    // The river cuts its valley.
    const double d = std::fabs(north - riverNorth(east));
    h -= 45 * std::exp(-(d * d) / (2 * 700.0 * 700.0));
    return h;
}

// Palette: 8 height bands x (open land, forest) x 14 shade levels, then the
// drawn features.
constexpr int shadeLevels = 14;
constexpr int heightBands = 8;
constexpr int water = heightBands * 2 * shadeLevels;
constexpr int roadCasing = water + 1;
constexpr int roadCore = water + 2;
constexpr int contour = water + 3;
constexpr int indexContour = water + 4;
constexpr double bandBottom = 200, bandStep = 50; // metres

QList<QRgb> palette()
{
    const std::array<std::array<int, 3>, heightBands> open = {{
        {166, 198, 134}, {182, 206, 140}, {200, 212, 148}, {214, 212, 156},
        {222, 206, 160}, {226, 200, 166}, {230, 208, 182}, {236, 222, 204},
    }};
    QList<QRgb> colours;
    for (int band = 0; band < heightBands; ++band) {
        for (int forest = 0; forest < 2; ++forest) {
            for (int s = 0; s < shadeLevels; ++s) {
                const double shade = 0.55 + 0.6 * s / (shadeLevels - 1);
                std::array<double, 3> rgb = {double(open[band][0]), double(open[band][1]), double(open[band][2])};
                if (forest) {
                    rgb = {rgb[0] * 0.55, rgb[1] * 0.78, rgb[2] * 0.52};
                }
                auto channel = [&](double v) { return std::clamp(int(std::lround(v * shade)), 0, 255); };
                colours.push_back(qRgb(channel(rgb[0]), channel(rgb[1]), channel(rgb[2])));
            }
        }
    }
    colours.push_back(qRgb(84, 146, 212));  // water
    colours.push_back(qRgb(120, 72, 48));   // road casing
    colours.push_back(qRgb(252, 236, 150)); // road
    colours.push_back(qRgb(168, 116, 72));  // contour
    colours.push_back(qRgb(128, 80, 44));   // index contour
    return colours;
}

// A road as a list of places, degrees (longitude, latitude).
using Road = std::vector<std::array<double, 2>>;

const std::array<Road, 4> roads = {{
    {{14.03, 50.935}, {14.10, 50.93}, {14.16, 50.915}, {14.21, 50.905}, {14.27, 50.90}, {14.37, 50.89}},
    {{14.19, 50.83}, {14.185, 50.86}, {14.195, 50.89}, {14.21, 50.905}, {14.22, 50.94}, {14.24, 50.99}},
    {{14.04, 50.86}, {14.09, 50.865}, {14.14, 50.875}, {14.185, 50.86}},
    {{14.27, 50.90}, {14.29, 50.925}, {14.31, 50.95}, {14.34, 50.99}},
}};

void stamp(QImage& image, double cx, double cy, double radius, int index)
{
    const int r = int(std::ceil(radius));
    for (int y = int(cy) - r; y <= int(cy) + r; ++y) {
        for (int x = int(cx) - r; x <= int(cx) + r; ++x) {
            if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
                continue;
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius)
                image.scanLine(y)[x] = uchar(index);
        }
    }
}

void drawRoad(QImage& image, const Placement& p, const Road& road, double radius, int index)
{
    for (size_t i = 1; i < road.size(); ++i) {
        double x1, y1, x2, y2;
        p.toPixel(road[i - 1][0], road[i - 1][1], x1, y1);
        p.toPixel(road[i][0], road[i][1], x2, y2);
        const int steps = int(std::hypot(x2 - x1, y2 - y1) * 2) + 1;
        for (int s = 0; s <= steps; ++s) {
            const double t = double(s) / steps;
            stamp(image, x1 + (x2 - x1) * t, y1 + (y2 - y1) * t, radius, index);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("examples");
    QDir().mkpath(folder);
    const QString mapPath = QDir(folder).filePath(QStringLiteral("beispielkarte.bmp"));

    const Placement p;
    const std::vector<Hill> hills = placeHills(p);

    // Heights on the pixel grid plus a one-pixel border for the slopes.
    const int gw = imageWidth + 2, gh = imageHeight + 2;
    std::vector<float> h(size_t(gw) * gh);
    std::vector<float> riverDistance(size_t(gw) * gh);
    std::vector<float> woods(size_t(gw) * gh);
    for (int gy = 0; gy < gh; ++gy) {
        for (int gx = 0; gx < gw; ++gx) {
            double lon, lat, east, north;
            p.toDegrees(gx - 1 + 0.5, gy - 1 + 0.5, lon, lat);
            p.toGround(lon, lat, east, north);
            const size_t i = size_t(gy) * gw + gx;
            h[i] = float(height(east, north, hills));
            riverDistance[i] = float(std::fabs(north - riverNorth(east)));
            woods[i] = float(fractal(east, north, 2500, 4, 37));
        }
    }

    QImage image(imageWidth, imageHeight, QImage::Format_Indexed8);
    image.setColorTable(palette());
    const double pixelMetres = scaleDegrees * metresPerDegree;
    // Light from the upper left of the sheet, 45 degrees high.
    const double lx = -0.5, ly = -0.5, lz = std::sqrt(0.5);
    for (int y = 0; y < imageHeight; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < imageWidth; ++x) {
            const size_t i = size_t(y + 1) * gw + (x + 1);
            const double dzdx = (h[i + 1] - h[i - 1]) / (2 * pixelMetres);
            const double dzdy = (h[i + gw] - h[i - gw]) / (2 * pixelMetres);
            const double exaggeration = 2.5;
            const double nx = -dzdx * exaggeration, ny = -dzdy * exaggeration, nz = 1;
            const double light = (nx * lx + ny * ly + nz * lz) / std::sqrt(nx * nx + ny * ny + nz * nz);
            const int shade = std::clamp(int(std::lround((light - 0.35) / 0.65 * (shadeLevels - 1))), 0, shadeLevels - 1);
            const int band = std::clamp(int((h[i] - bandBottom) / bandStep), 0, heightBands - 1);
            const double slope = std::hypot(dzdx, dzdy);
            const bool forest = riverDistance[i] > 90 && woods[i] + 0.9 * slope + (h[i] - 330) / 400 > 0.25;
            int index = (band * 2 + (forest ? 1 : 0)) * shadeLevels + shade;

            const int level = int(std::floor(h[i] / 20));
            const bool onContour = level != int(std::floor(h[i + 1] / 20)) || level != int(std::floor(h[i + gw] / 20));
            if (onContour)
                index = (level + 1) % 5 == 0 || level % 5 == 0 ? indexContour : contour;
            if (riverDistance[i] < 16)
                index = water;
            row[x] = uchar(index);
        }
    }
    for (const Road& road : roads)
        drawRoad(image, p, road, 2.6, roadCasing);
    for (const Road& road : roads)
        drawRoad(image, p, road, 1.5, roadCore);

    QString error;
    if (!bitmapfile::saveBitmap(image, mapPath, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(mapPath), qPrintable(error));
        return 1;
    }

    // Calibrate as a user would: two reference points on the sheet.
    ProgramState state;
    const std::array<std::array<double, 2>, 2> references = {{{14.08, 50.87}, {14.32, 50.96}}};
    for (int k = 0; k < 2; ++k) {
        double x, y;
        p.toPixel(references[k][0], references[k][1], x, y);
        x = std::round(x * 10) / 10;
        y = std::round(y * 10) / 10;
        calibration::setReferencePoint(state, k + 1, float(x), float(y), references[k][0], references[k][1]);
        std::printf("reference point %d: pixel (%.1f, %.1f) = %.2f E, %.2f N\n", k + 1, x, y, references[k][0],
                    references[k][1]);
    }
    const QString calPath = calibrationfile::calibrationPathFor(mapPath);
    if (!calibrationfile::writeCalibrationFile(state.calibration, calPath, &error, QLocale::c())) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(calPath), qPrintable(error));
        return 1;
    }

    // Read back what was written, as the program will, for the README.
    CalibrationRecord loaded;
    const CalibrationReadResult read = calibrationfile::loadCalibrationForMap(loaded, mapPath);
    if (read.status != CalibrationReadStatus::Read) {
        std::fprintf(stderr, "the calibration file does not read back\n");
        return 1;
    }
    std::printf("north deviation %.4f degrees, %.3f m per pixel\n",
                double(calibration::northDeviationDegrees(loaded, singlePi())),
                double(calibration::metresPerPixel(loaded.maß)));
    const std::array<std::array<int, 2>, 4> corners = {{{0, 0}, {imageWidth, 0}, {0, imageHeight}, {imageWidth, imageHeight}}};
    const char* names[] = {"top left", "top right", "bottom left", "bottom right"};
    for (int k = 0; k < 4; ++k) {
        const GeoPoint g = calibration::forward(loaded, float(corners[k][0]), float(corners[k][1]));
        std::printf("| %s | (%d, %d) | %.4f | %.4f |\n", names[k], corners[k][0], corners[k][1], g.longitude, g.latitude);
    }
    std::vector<Hill> sorted = hills;
    std::sort(sorted.begin(), sorted.end(), [](const Hill& a, const Hill& b) { return a.lon < b.lon; });
    int number = 1;
    for (const Hill& hill : sorted) {
        double x, y;
        p.toPixel(hill.lon, hill.lat, x, y);
        std::printf("| H%02d | %.4f | %.4f | %.0f | (%.0f, %.0f) |\n", number++, hill.lon, hill.lat,
                    height(hill.east, hill.north, hills), x, y);
    }
    return 0;
}
