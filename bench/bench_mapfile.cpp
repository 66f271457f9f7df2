// Loading and saving a large scanned map with its calibration file, each
// beside the plain reading or writing of the same bytes. Run with
// --peak-memory <map.bmp> to load once and report the memory it took; the
// normal run does that in a child process after its benchmarks.

#include "calibration/calibrationmodel.h"
#include "files/calibrationfile.h"
#include "platform/bitmapfile.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

using namespace karte;

namespace {

constexpr int mapWidth = 7000;
constexpr int mapHeight = 6000;

QString g_mapPath;
QString g_copyPath;

// VmHWM (peak resident set) of this process in kB.
long peakResidentKB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// A 24-bit scan-sized picture with its calibration file beside it.
void makeMap(const QString& path)
{
    QImage image(mapWidth, mapHeight, QImage::Format_RGB32);
    for (int y = 0; y < mapHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < mapWidth; ++x)
            row[x] = qRgb((x ^ y) & 0xFF, (x * 3 + y) & 0xFF, (y * 5) & 0xFF);
    }
    QString error;
    if (!bitmapfile::saveBitmap(image, path, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(error));
        std::exit(1);
    }
    ProgramState state;
    calibration::setReferencePoint(state, 1, 112, 830, 14.1203, 50.8711);
    calibration::setReferencePoint(state, 2, 975, 245, 14.2318, 50.9346);
    calibrationfile::writeCalibrationFile(state.calibration, calibrationfile::calibrationPathFor(path), nullptr);
}

void BM_ReadMapBytes(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(g_mapPath);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_LoadMap(benchmark::State& state)
{
    for (auto _ : state) {
        std::optional<QImage> image = bitmapfile::loadBitmap(g_mapPath);
        CalibrationRecord record;
        calibrationfile::loadCalibrationForMap(record, g_mapPath);
        if (!image) {
            state.SkipWithError("map did not load");
            break;
        }
        benchmark::DoNotOptimize(image->constBits());
        benchmark::DoNotOptimize(record.alpha);
    }
}

void BM_WriteMapBytes(benchmark::State& state)
{
    QFile in(g_mapPath);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    for (auto _ : state) {
        QSaveFile out(g_copyPath);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        out.commit();
    }
}

void BM_SaveMap(benchmark::State& state)
{
    const std::optional<QImage> image = bitmapfile::loadBitmap(g_mapPath);
    CalibrationRecord record;
    calibrationfile::loadCalibrationForMap(record, g_mapPath);
    for (auto _ : state) {
        if (!image || !bitmapfile::saveBitmap(*image, g_copyPath, nullptr)
            || !calibrationfile::writeCalibrationFile(record, calibrationfile::calibrationPathFor(g_copyPath), nullptr)) {
            state.SkipWithError("map not saved");
            break;
        }
    }
}

BENCHMARK(BM_ReadMapBytes)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);
BENCHMARK(BM_LoadMap)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);
BENCHMARK(BM_WriteMapBytes)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);
BENCHMARK(BM_SaveMap)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

int peakMemory(const QString& path)
{
    const long before = peakResidentKB();
    std::optional<QImage> image = bitmapfile::loadBitmap(path);
    CalibrationRecord record;
    calibrationfile::loadCalibrationForMap(record, path);
    const long after = peakResidentKB();
    if (!image)
        return 1;
    const double decodedMB = double(image->sizeInBytes()) / (1024 * 1024);
    const double addedMB = double(after - before) / 1024;
    std::printf("peak memory of one load: %.1f MB over a baseline of %.1f MB; decoded image %.1f MB; "
                "beyond the image %.1f MB (limit 64 MB)\n",
                addedMB, double(before) / 1024, decodedMB, addedMB - decodedMB);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0)
        return peakMemory(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    g_mapPath = dir.filePath("scan.bmp");
    g_copyPath = dir.filePath("copy.bmp");
    makeMap(g_mapPath);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // A fresh process, so that the generation above does not set the peak.
    const std::string command = "'" + std::string(argv[0]) + "' --peak-memory '" + g_mapPath.toStdString() + "'";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
