#pragma once

#include "state/tables.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace karte {

// The state of the map display. The image and its path live in the main
// window (Pic1 and the label lblkdatei, whose text is the only record of the
// path); the models need only zoom and scroll positions.
struct MapView {
    float z = 1;        // zoom factor: canvas pixels per image pixel
    int16_t sx = 0;     // image column at the canvas's left edge
    int16_t sy = 0;     // image row at the canvas's top edge
};

// The last map point picked with the mouse, image pixels.
struct MarkedPoint {
    float x = 0;
    float y = 0;
};

// The calibration of the loaded map. Forward transform for image pixel
// (x, y): longitude = L0 + Lx*x + Ly*y, latitude = B0 + Bx*x + By*y.
struct CalibrationRecord {
    float cx1 = 0, cy1 = 0;       // reference point 1, image pixels
    double Lgrd1 = 0, Bgrd1 = 0;  // reference point 1, degrees east / north
    float cx2 = 0, cy2 = 0;       // reference point 2, image pixels
    double Lgrd2 = 0, Bgrd2 = 0;  // reference point 2, degrees east / north
    double L0 = 0;                // longitude at image (0, 0)
    float Lx = 1, Ly = 0;         // longitude per pixel step in x, y
    double B0 = 0;                // latitude at image (0, 0)
    float Bx = 0, By = 1;         // latitude per pixel step in x, y
    float maß = 0;                // degrees of latitude per image pixel
    float alpha = 0;              // north deviation, radians

    // Uncalibrated while both offsets are exactly 0.
    bool isCalibrated() const { return !(L0 == 0 && B0 == 0); }
};

// The one program-wide state all windows read and write.
struct ProgramState {
    float pi = 0; // single-precision pi, set at start-up
    MapView mapView;
    MarkedPoint markedPoint;
    CalibrationRecord calibration;
    SummitTable summits;
    TrackTable track;
    WaypointTable waypoints;

    // The calibration dialog's text refresh; called at the end of every
    // kalibrechnen. Empty while no dialog exists.
    std::function<void()> textaktualisieren;

    // Start-up values: pi, zoom 1, the identity calibration with maß and
    // alpha 0, empty tables.
    ProgramState();
};

// 4 * atan(1) formed in double and stored in single (3.1415927).
float singlePi();

} // namespace karte
