// Loading and saving the summit list and loading a track file of full size.
//
// The summit list load lets the event loop handle pending events after every
// line, as the main window does, so the figure includes that cost. The
// variant without events shows what that cost is (about 1 to 1.5 us per line
// with a bare QCoreApplication). In the widget program each call also polls
// the window system; should that make a long load slow, the main window's
// callback can keep a QElapsedTimer and call processEvents() only when some
// 20 ms have passed since the last call: the window still repaints and reacts
// many times a second, and the reader itself needs no change.

#include "files/summitlist.h"
#include "files/trackfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace karte;

namespace {

QTemporaryDir* tempDir = nullptr;

QString writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = tempDir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A full summit list (10001 entries) with Czech and German names.
SummitTable fullSummitTable()
{
    SummitTable t;
    t.count = SummitTable::capacity;
    for (int i = 0; i < t.count; ++i) {
        Summit& s = t.entries[static_cast<size_t>(i)];
        s.GEBIET = QStringLiteral("Kreuzbergland");
        s.TEILGEBIET = QStringLiteral("Südhang");
        s.GIPFELNAME_D = QStringLiteral("Großer Stein %1").arg(i);
        s.GIPFELNAME_CZ = QStringLiteral("Velký kámen ř š č %1").arg(i);
        s.TYP = QStringLiteral("G");
        s.GIPFELNR = static_cast<float>(i) + 0.5f;
        s.GIPFELOST = 14.08 + 0.24 * i / t.count;
        s.GIPFELNORD = 50.85 + 0.12 * i / t.count;
        s.POSFEHLER = static_cast<int16_t>(5 + i % 46);
    }
    return t;
}

QByteArray trackBytes()
{
    QByteArray out;
    for (int i = 1; i <= WaypointTable::capacity; ++i)
        out += "W,WP" + QByteArray::number(i) + "," + QByteArray::number(50.85 + i * 1e-4, 'f', 6) + ","
               + QByteArray::number(14.08 + i * 1e-4, 'f', 6) + ",400,Summit,,,,,Hütte am Weg\r\n";
    for (int i = 1; i <= TrackTable::capacity; ++i)
        out += QByteArray(i % 1000 == 1 ? "N" : "T") + ",2026-06-14 09:12:05," + QByteArray::number(50.85 + i * 1e-5, 'f', 6)
               + "," + QByteArray::number(14.08 + i * 2e-5, 'f', 6) + ",412.3\r\n";
    return out;
}

void loadSummitList(benchmark::State& state)
{
    const QString path = writeFile(QStringLiteral("gipfel.txt"), summitListBytes(fullSummitTable()));
    SummitTable t;
    for (auto _ : state) {
        readSummitList(path, t, [] { QCoreApplication::processEvents(); });
        benchmark::DoNotOptimize(t.count);
    }
    if (t.count != SummitTable::capacity)
        state.SkipWithError("not all entries read");
}

void loadSummitListWithoutEvents(benchmark::State& state)
{
    const QString path = writeFile(QStringLiteral("gipfel.txt"), summitListBytes(fullSummitTable()));
    SummitTable t;
    for (auto _ : state) {
        readSummitList(path, t);
        benchmark::DoNotOptimize(t.count);
    }
}

void saveSummitList(benchmark::State& state)
{
    const SummitTable t = fullSummitTable();
    const QString path = tempDir->filePath(QStringLiteral("gespeichert.txt"));
    for (auto _ : state) {
        if (!writeSummitList(t, path))
            state.SkipWithError("save failed");
    }
}

// The bytes alone, without the file system (QSaveFile syncs the file to
// disk before it replaces the old one, which costs wall time, not CPU).
void summitListBytesOnly(benchmark::State& state)
{
    const SummitTable t = fullSummitTable();
    for (auto _ : state)
        benchmark::DoNotOptimize(summitListBytes(t));
}

void loadTrackFile(benchmark::State& state)
{
    const QString path = writeFile(QStringLiteral("track.txt"), trackBytes());
    TrackTable track;
    WaypointTable waypoints;
    for (auto _ : state) {
        readTrackFile(path, track, waypoints);
        benchmark::DoNotOptimize(track.count);
    }
    if (track.count != TrackTable::capacity || waypoints.count != WaypointTable::capacity)
        state.SkipWithError("tables not filled");
}

} // namespace

BENCHMARK(loadSummitList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(loadSummitListWithoutEvents)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(saveSummitList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(summitListBytesOnly)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(loadTrackFile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    tempDir = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
