#pragma once

#include "state/tables.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace karte {

// The track and waypoint file: comma-separated lines of plain points
// (latitude, longitude), waypoints ("W"), new track segments ("N") and
// track points ("T"). Reading fills both tables; there is no writer.

// Reads the file at `path`. When it does not exist or cannot be opened,
// returns false with the reason in `error` and leaves both tables as they
// were. Otherwise both tables are emptied before the first line and every
// line of the file is read; lines of a kind whose table is full are passed
// over. Latitude and longitude in degrees.
bool readTrackFile(const QString& path, TrackTable& track, WaypointTable& waypoints, QString* error = nullptr);

// The same from an open, seekable device, from its current position.
void readTrackFile(QIODevice& device, TrackTable& track, WaypointTable& waypoints);

// The same from the bytes of a file.
void readTrackFileBytes(const QByteArray& bytes, TrackTable& track, WaypointTable& waypoints);

} // namespace karte
