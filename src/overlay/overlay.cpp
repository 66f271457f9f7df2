#include "overlay/overlay.h"

#include "calibration/calibrationmodel.h"
#include "overlay/summitsymbol.h"
#include "state/numberformat.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace karte {

namespace {

constexpr int darkBlue = 1;
constexpr int lightGrey = 7;
constexpr int magenta = 13;
constexpr int yellow = 14;

struct CanvasPoint {
    int x = 0;
    int y = 0;
};

// Everything one call needs for placing geographic points on the canvas.
struct Placing {
    const CalibrationRecord& cal;
    int sx = 0;
    int sy = 0;
    float z = 1;
    // Each the difference of two single-precision products; they are each
    // other's negatives.
    float denomX = 0; // Lx*By - Bx*Ly
    float denomY = 0; // Bx*Ly - Lx*By

    Placing(const CalibrationRecord& record, int scrollX, int scrollY, float zoom)
        : cal(record)
        , sx(scrollX)
        , sy(scrollY)
        , z(zoom)
    {
        const float lxBy = cal.Lx * cal.By;
        const float bxLy = cal.Bx * cal.Ly;
        denomX = lxBy - bxLy;
        denomY = bxLy - lxBy;
    }

    // Degrees (longitude, latitude) to canvas pixels: snapped to a whole
    // image pixel first, then zoomed. nullopt where a denominator is 0 and
    // the point cannot be placed.
    std::optional<CanvasPoint> place(double longitude, double latitude) const
    {
        if (denomX == 0 || denomY == 0)
            return std::nullopt;
        const double dL = longitude - cal.L0;
        const double dB = latitude - cal.B0;
        const int32_t x = roundHalfEven((double(cal.By) * dL - double(cal.Ly) * dB) / double(denomX));
        const int32_t y = roundHalfEven((double(cal.Bx) * dL - double(cal.Lx) * dB) / double(denomY));
        // 64-bit difference: a clamped image position minus a negative scroll
        // value would leave the 32-bit range.
        return CanvasPoint{roundHalfEven(double(int64_t(x) - sx) * double(z)),
                           roundHalfEven(double(int64_t(y) - sy) * double(z))};
    }
};

bool inBox(const VisibleGeoBox& box, double longitude, double latitude)
{
    return box.Lmin < longitude && longitude < box.Lmax && box.Bmin < latitude && latitude < box.Bmax;
}

bool onCanvas(const CanvasPoint& p, int w, int h)
{
    return 0 < p.x && p.x < w && 0 < p.y && p.y < h;
}

// The geographic bounds of the image rectangle sx..sx2, sy..sy2, corners
// taken in the order (sx, sy), (sx, sy2), (sx2, sy), (sx2, sy2).
VisibleGeoBox visibleBox(const CalibrationRecord& cal, double sx, double sy, double sx2, double sy2)
{
    const double xs[4] = {sx, sx, sx2, sx2};
    const double ys[4] = {sy, sy2, sy, sy2};
    VisibleGeoBox box;
    for (int i = 0; i < 4; ++i) {
        const double b = cal.B0 + double(cal.Bx) * xs[i] + double(cal.By) * ys[i];
        const double l = cal.L0 + double(cal.Lx) * xs[i] + double(cal.Ly) * ys[i];
        if (i == 0) {
            box.Bmin = box.Bmax = b;
            box.Lmin = box.Lmax = l;
            continue;
        }
        if (b > box.Bmax)
            box.Bmax = b;
        if (b < box.Bmin)
            box.Bmin = b;
        if (l > box.Lmax)
            box.Lmax = l;
        if (l < box.Lmin)
            box.Lmin = l;
    }
    return box;
}

void drawReferenceCross(Canvas& canvas, float cx, float cy, int sx, int sy, float z)
{
    if (cx == 0 || cy == 0)
        return;
    const float fx = (cx - float(sx)) * z;
    const float fy = (cy - float(sy)) * z;
    // A centre that far away is off every canvas; limiting it keeps the
    // arm ends within int.
    constexpr int far = 1000000;
    const int x = std::clamp(roundHalfEven(fx), -far, far);
    const int y = std::clamp(roundHalfEven(fy), -far, far);
    canvas.line(x + 7, y - 7, x - 7, y + 7, magenta);
    canvas.line(x + 7, y + 7, x - 7, y - 7, magenta);
}

void drawSummits(const ProgramState& state, Canvas& canvas, const VisibleGeoBox& box, const Placing& placing,
                 float m)
{
    const int w = canvas.width();
    const int h = canvas.height();
    canvas.setTextColor(darkBlue);
    const SummitTable& table = state.summits;
    const int count = table.count < 0 ? 0 : table.count;
    for (int i = 0; i < count && i < SummitTable::capacity; ++i) {
        const Summit& s = table.entries[static_cast<std::size_t>(i)];
        if (!inBox(box, s.GIPFELOST, s.GIPFELNORD))
            continue;
        const std::optional<CanvasPoint> p = placing.place(s.GIPFELOST, s.GIPFELNORD);
        if (!p)
            continue;
        const float r = float(s.POSFEHLER) / m * placing.z;
        const int16_t radius = roundHalfEven16(r); // clamped to the 16-bit range
        if (!onCanvas(*p, w, h))
            continue;
        // A negative position error has no circle to show, whatever it rounds to.
        if (s.POSFEHLER >= 0 && radius >= 0)
            canvas.circle(p->x, p->y, radius, lightGrey);
        drawSummitSymbol(canvas, s.TYP, p->x, p->y);
        canvas.setTextPosition(p->x - 8, p->y + 3);
        canvas.text(s.displayName());
    }
}

void drawTrack(const ProgramState& state, Canvas& canvas, const VisibleGeoBox& box, const Placing& placing)
{
    // (0, 0) stands for "no previous point", so a point placed exactly at the
    // canvas's top-left corner starts a new polyline.
    CanvasPoint previous;
    const TrackTable& table = state.track;
    const int count = table.count < 0 ? 0 : table.count;
    for (int i = 1; i <= count && i <= TrackTable::capacity; ++i) {
        const TrackPoint& t = table.entries[static_cast<std::size_t>(i)];
        std::optional<CanvasPoint> current;
        if (inBox(box, t.longitude, t.latitude))
            current = placing.place(t.longitude, t.latitude);
        if (!current) {
            previous = CanvasPoint{};
            continue;
        }
        if (previous.x != 0 || previous.y != 0)
            canvas.line(previous.x, previous.y, current->x, current->y, magenta);
        previous = *current;
    }
}

void drawWaypoints(const ProgramState& state, Canvas& canvas, const VisibleGeoBox& box, const Placing& placing)
{
    const int w = canvas.width();
    const int h = canvas.height();
    const WaypointTable& table = state.waypoints;
    const int count = table.count < 0 ? 0 : table.count;
    for (int i = 1; i <= count && i <= WaypointTable::capacity; ++i) {
        const Waypoint& wp = table.entries[static_cast<std::size_t>(i)];
        if (!inBox(box, wp.longitude, wp.latitude))
            continue;
        // Coefficients read from an edited calibration file can make the
        // denominators 0 while the box is not a single point: such a
        // waypoint cannot be placed and is left out.
        const std::optional<CanvasPoint> p = placing.place(wp.longitude, wp.latitude);
        if (!p || !onCanvas(*p, w, h))
            continue;
        canvas.rect(p->x - 2, p->y - 2, p->x + 2, p->y + 2, yellow);
        // The text colour is the canvas's own: dark blue once a summit pass
        // has set it.
        canvas.setTextPosition(p->x - 8, p->y + 3);
        canvas.text(wp.name);
    }
}

} // namespace

void geinmalen(const ProgramState& state, Canvas& canvas, VisibleGeoBox& box)
{
    const CalibrationRecord& cal = state.calibration;
    const float z = state.mapView.z;
    const int sx = state.mapView.sx;
    const int sy = state.mapView.sy;
    const int w = canvas.width();
    const int h = canvas.height();

    const float visibleW = float(w) / z;
    const float visibleH = float(h) / z;
    const int32_t sx2 = roundHalfEven(double(sx) + double(visibleW));
    const int32_t sy2 = roundHalfEven(double(sy) + double(visibleH));
    box = visibleBox(cal, sx, sy, sx2, sy2);

    drawReferenceCross(canvas, cal.cx1, cal.cy1, sx, sy, z);
    drawReferenceCross(canvas, cal.cx2, cal.cy2, sx, sy, z);

    const Placing placing(cal, sx, sy, z);
    const float m = calibration::metresPerPixel(cal.maß);
    const float lxBy = cal.Lx * cal.By;
    const float bxLy = cal.Bx * cal.Ly;
    const bool calibrated = cal.Lx != 0 && bxLy != lxBy && m > 0;
    if (calibrated) {
        drawSummits(state, canvas, box, placing, m);
        drawTrack(state, canvas, box, placing);
    }
    drawWaypoints(state, canvas, box, placing);
}

} // namespace karte
