#include "calibration/calibrationmodel.h"

#include <cmath>

namespace karte::calibration {

namespace {

void clearPoint(CalibrationRecord& r, int k)
{
    if (k == 1) {
        r.cx1 = 0; r.cy1 = 0; r.Lgrd1 = 0; r.Bgrd1 = 0;
    } else {
        r.cx2 = 0; r.cy2 = 0; r.Lgrd2 = 0; r.Bgrd2 = 0;
    }
}

} // namespace

void resetToIdentity(CalibrationRecord& record)
{
    const float maß = record.maß;
    const float alpha = record.alpha;
    record = CalibrationRecord{};
    record.maß = maß;
    record.alpha = alpha;
}

void setReferencePoint(ProgramState& state, int k, float x, float y, double longitude, double latitude)
{
    CalibrationRecord& r = state.calibration;
    if (k == 1) {
        r.cx1 = x; r.cy1 = y; r.Lgrd1 = longitude; r.Bgrd1 = latitude;
    } else {
        r.cx2 = x; r.cy2 = y; r.Lgrd2 = longitude; r.Bgrd2 = latitude;
    }
    if (r.cx1 == r.cx2 || r.cy1 == r.cy2 || (r.Lgrd2 == r.Lgrd1 && r.Bgrd1 == r.Bgrd2))
        clearPoint(r, k);
    kalibrechnen(state);
}

bool compute(CalibrationRecord& r, float pi)
{
    if (r.cx1 == 0 || r.cx2 == 0)
        return false;
    const double p = pi;
    const double c = std::cos(((r.Bgrd1 + r.Bgrd2) / 2) / 180 * p);
    const double dN = r.Bgrd2 - r.Bgrd1;
    const double dE = (r.Lgrd2 - r.Lgrd1) * c;
    const double dx = double(r.cx2) - double(r.cx1);
    const double dy = double(r.cy2) - double(r.cy1);
    const double dg = std::sqrt(dN * dN + dE * dE);
    const double dp = std::sqrt(dx * dx + dy * dy);
    // The acceptance rule keeps dp > 0; a zero dg cannot come from it either,
    // but a record edited by hand must not turn into NaN.
    if (dp == 0 || dg == 0 || c == 0)
        return false;
    r.maß = static_cast<float>(dg / dp);
    r.alpha = static_cast<float>(std::atan2(dx * dN + dy * dE, dx * dE - dy * dN));
    const double m = r.maß;
    const double a = r.alpha;
    r.Lx = static_cast<float>(m * std::cos(a) / c);
    r.Ly = static_cast<float>(m * std::sin(a) / c);
    r.Bx = static_cast<float>(m * std::sin(a));
    r.By = static_cast<float>(-m * std::cos(a));
    r.B0 = r.Bgrd1 - double(r.Bx) * double(r.cx1) - double(r.By) * double(r.cy1);
    r.L0 = r.Lgrd1 - double(r.Lx) * double(r.cx1) - double(r.Ly) * double(r.cy1);
    return true;
}

bool kalibrechnen(ProgramState& state)
{
    const bool computed = compute(state.calibration, state.pi);
    if (state.textaktualisieren)
        state.textaktualisieren();
    return computed;
}

GeoPoint forward(const CalibrationRecord& r, float x, float y)
{
    return {r.L0 + double(r.Lx) * double(x) + double(r.Ly) * double(y),
            r.B0 + double(r.Bx) * double(x) + double(r.By) * double(y)};
}

std::optional<ImagePoint> inverse(const CalibrationRecord& r, double longitude, double latitude)
{
    const double d = double(r.Lx) * double(r.By) - double(r.Ly) * double(r.Bx);
    if (d == 0)
        return std::nullopt;
    const double dl = longitude - r.L0;
    const double db = latitude - r.B0;
    return ImagePoint{(double(r.By) * dl - double(r.Ly) * db) / d, (double(r.Lx) * db - double(r.Bx) * dl) / d};
}

float metresPerPixel(float maß)
{
    return static_cast<float>(double(maß) * 10000000.0 / 90.0);
}

float groundScale(const CalibrationRecord& r)
{
    return static_cast<float>(std::sqrt(double(r.Bx) * r.Bx + double(r.By) * r.By));
}

float northDeviationDegrees(const CalibrationRecord& r, float pi)
{
    // Formed in single precision with the stored pi.
    return r.alpha / pi * 180.0f;
}

float scaleRatio(const CalibrationRecord& r, float pi)
{
    const double k = std::cos(r.B0 / 180 * double(pi));
    const double num = double(r.Bx) * r.Bx + double(r.Lx) * r.Lx * k * k;
    const double den = double(r.By) * r.By + double(r.Ly) * r.Ly * k * k;
    if (den == 0)
        return 0;
    return static_cast<float>(std::sqrt(num / den));
}

void deriveScaleAndAlpha(CalibrationRecord& r)
{
    // Squares and sum in single precision, the root in double.
    const float sum = r.Bx * r.Bx + r.By * r.By;
    r.maß = static_cast<float>(std::sqrt(double(sum)));
    // atan2 keeps the sign kalibrechnen gave alpha and answers Lx = 0;
    // atan2(0, 0) is +0, so an uncalibrated record shows " 0".
    r.alpha = static_cast<float>(std::atan2(double(r.Ly), double(r.Lx)));
    if (r.alpha == 0)
        r.alpha = 0; // no negative zero
}

} // namespace karte::calibration
