// The track and waypoint file as "Track/GPS-Datei laden" reads it, through
// readTrackFile on a file.
#include "fuzzsupport.h"

#include "files/trackfile.h"
#include "state/tables.h"

#include <cmath>

using namespace karte;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeInput(QStringLiteral("track.csv"), data, size);
    // Tables left over from an earlier file, as after a previous load.
    static TrackTable track;
    static WaypointTable waypoints;
    QString error;
    if (!readTrackFile(path, track, waypoints, &error))
        fuzz::fail("an existing file was not read");
    if (track.count < 0 || track.count > TrackTable::capacity || waypoints.count < 0
        || waypoints.count > WaypointTable::capacity)
        fuzz::fail("a count outside its table");
    if (track.entries.size() != size_t(TrackTable::capacity) + 1
        || waypoints.entries.size() != size_t(WaypointTable::capacity) + 1)
        fuzz::fail("a table's capacity changed");
    for (int i = 1; i <= track.count; ++i) {
        const TrackPoint& p = track.entries[size_t(i)];
        if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude))
            fuzz::fail("a track point that is not finite");
    }
    for (int i = 1; i <= waypoints.count; ++i) {
        const Waypoint& w = waypoints.entries[size_t(i)];
        if (!std::isfinite(w.latitude) || !std::isfinite(w.longitude))
            fuzz::fail("a waypoint that is not finite");
        if (w.name.contains(u',') || w.note.contains(u','))
            fuzz::fail("a field holds its separator");
    }
    return 0;
}
