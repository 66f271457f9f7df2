#pragma once

#include "platform/canvas.h"
#include "state/programstate.h"

namespace karte {

// Geographic bounds of the visible part of the map, degrees; rewritten by
// every geinmalen before any test.
struct VisibleGeoBox {
    double Lmin = 0, Lmax = 0, Bmin = 0, Bmax = 0;
};

// Draws the overlay (reference crosses, summits, track, waypoints) onto the
// canvas, which shows image point (sx + X / z, sy + Y / z) at canvas pixel
// (X, Y) with z, sx, sy from state.mapView.
void geinmalen(const ProgramState& state, Canvas& canvas, VisibleGeoBox& box);

} // namespace karte
