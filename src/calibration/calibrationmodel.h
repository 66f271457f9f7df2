#pragma once

#include "state/programstate.h"

#include <optional>

namespace karte {

// A geographic position in decimal degrees.
struct GeoPoint {
    double longitude = 0; // degrees east
    double latitude = 0;  // degrees north
};

// A fractional image position in pixels.
struct ImagePoint {
    double x = 0;
    double y = 0;
};

// The two-point calibration: every computation on CalibrationRecord.
namespace calibration {

// Identity coefficients and zero reference points; maß and alpha unchanged.
void resetToIdentity(CalibrationRecord& record);

// Sets reference point k (1 or 2) at image pixel (x, y) with the typed
// longitude and latitude (degrees), clears it again when it shares a column
// or row with the other point or both its degrees, then runs kalibrechnen.
void setReferencePoint(ProgramState& state, int k, float x, float y, double longitude, double latitude);

// Recomputes maß, alpha and the six coefficients when both points are set
// (cx1 and cx2 non-zero); then runs the state's textaktualisieren hook.
// Returns whether it computed.
bool kalibrechnen(ProgramState& state);

// The computation alone, without the hook.
bool compute(CalibrationRecord& record, float pi);

// Image pixel (x, y) to degrees.
GeoPoint forward(const CalibrationRecord& record, float x, float y);

// Degrees to image pixels; nullopt where the determinant is 0.
std::optional<ImagePoint> inverse(const CalibrationRecord& record, double longitude, double latitude);

// Metres per image pixel for a scale in degrees of latitude per pixel.
float metresPerPixel(float maß);

// sqrt(Bx² + By²), degrees of latitude per image pixel.
float groundScale(const CalibrationRecord& record);

// alpha in degrees, with the program's single-precision pi.
float northDeviationDegrees(const CalibrationRecord& record, float pi);

// Ground length of a pixel step in x over that of a step in y; 0 where the
// denominator is 0.
float scaleRatio(const CalibrationRecord& record, float pi);

// maß and alpha derived from the coefficients, as after reading a
// calibration file: maß = sqrt(Bx² + By²), alpha = atan2(Ly, Lx), which is
// the alpha kalibrechnen computed, with its sign.
void deriveScaleAndAlpha(CalibrationRecord& record);

} // namespace calibration
} // namespace karte
