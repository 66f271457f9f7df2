#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace karte {

// One summit of the summit list; the fields carry the list's column keywords.
struct Summit {
    QString GEBIET;        // area
    QString TEILGEBIET;    // sub-area
    QString GIPFELNAME_D;  // German name
    QString GIPFELNAME_CZ; // Czech name
    QString TYP;           // type code: G, W, H, P, C, T or anything else
    float GIPFELNR = 0;    // summit number
    double GIPFELOST = 0;  // longitude, degrees east
    double GIPFELNORD = 0; // latitude, degrees north
    int16_t POSFEHLER = 0; // position error, metres

    // The name shown on the map and in lists: German, else Czech.
    const QString& displayName() const { return GIPFELNAME_D.isEmpty() ? GIPFELNAME_CZ : GIPFELNAME_D; }
};

// How the texts of a summit list were encoded, so that a save gives back the
// bytes it read.
enum class TextEncoding { Windows1250, Utf8, Utf8WithBom };

// The summit list: entries 0 .. count - 1 of a fixed capacity of 10001.
struct SummitTable {
    static constexpr int capacity = 10001;
    std::vector<Summit> entries = std::vector<Summit>(capacity);
    int16_t count = 0;
    TextEncoding encoding = TextEncoding::Windows1250;
};

// A track point in degrees; latitude and longitude both 0 is a segment break.
struct TrackPoint {
    double latitude = 0;
    double longitude = 0;
};

// The track: entries 1 .. count of a fixed capacity of 10000; entry 0 unused.
struct TrackTable {
    static constexpr int capacity = 10000;
    std::vector<TrackPoint> entries = std::vector<TrackPoint>(capacity + 1);
    int16_t count = 0;
};

// A named GPS waypoint in degrees.
struct Waypoint {
    double latitude = 0;
    double longitude = 0;
    QString name;
    QString note;
};

// The waypoints: entries 1 .. count of a fixed capacity of 1200; entry 0 unused.
struct WaypointTable {
    static constexpr int capacity = 1200;
    std::vector<Waypoint> entries = std::vector<Waypoint>(capacity + 1);
    int16_t count = 0;
};

} // namespace karte
