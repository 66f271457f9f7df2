#pragma once

#include "state/programstate.h"

#include <QString>

#include <cstdint>

namespace karte {

class Canvas;

// Where the distance read-out measures from, whole image pixels. Set by a
// left click with Shift, Ctrl or Alt; kept for the whole run.
struct DistanceOrigin {
    int32_t x = 0;
    int32_t y = 0;
};

// East and north value of the last pointer movement over the canvas, as
// the read-out computed them (degrees when calibrated, else image pixels).
struct PointerPosition {
    double E = 0;
    double N = 0;
};

// What the mouse on the map remembers between events.
struct PointerState {
    DistanceOrigin origin;
    PointerPosition position;
};

// The arithmetic of the mouse on the map: canvas to image, the position and
// distance read-out, the click marker.
namespace pointer {

// Canvas pixel (X, Y) to image pixel: sx + X / z, sy + Y / z, each held in
// single precision with its fraction.
MarkedPoint canvasToImage(const MapView& view, float X, float Y);

// The image point rounded to whole pixels, halves to the even neighbour.
DistanceOrigin originAt(const MarkedPoint& point);

// Ground distance in metres from origin to image pixel (x, y): the pixel
// distance (single) times sqrt(Bx² + By²) degrees per pixel, at 10000000 m
// to 90 degrees of latitude, held in single precision.
float groundDistance(const CalibrationRecord& calibration, const DistanceOrigin& origin, float x, float y);

// The read-out for image pixel (x, y): "Ost:" and " Nord:" each with the
// first 9 characters of the value, then " uncal" while L0 and B0 are both 0,
// else the distance from origin in metres. Stores E and N in position.
QString readout(const CalibrationRecord& calibration, const DistanceOrigin& origin, float x, float y,
                PointerPosition& position);

// The red click marker at canvas pixel (X, Y): a diagonal cross reaching 7
// pixels from the centre inside a circle of radius 10.
void drawMarker(Canvas& canvas, float X, float Y);

// Palette colour of the marker (red).
constexpr int markerColor = 12;

} // namespace pointer
} // namespace karte
