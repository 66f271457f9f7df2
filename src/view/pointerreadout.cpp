#include "view/pointerreadout.h"

#include "calibration/calibrationmodel.h"
#include "platform/canvas.h"
#include "state/numberformat.h"

#include <cmath>

namespace karte::pointer {

MarkedPoint canvasToImage(const MapView& view, float X, float Y)
{
    return {static_cast<float>(view.sx + double(X) / double(view.z)),
            static_cast<float>(view.sy + double(Y) / double(view.z))};
}

DistanceOrigin originAt(const MarkedPoint& point)
{
    return {roundHalfEven(point.x), roundHalfEven(point.y)};
}

float groundDistance(const CalibrationRecord& c, const DistanceOrigin& origin, float x, float y)
{
    const double dx = double(x) - origin.x;
    const double dy = double(y) - origin.y;
    const float pixels = static_cast<float>(std::sqrt(dx * dx + dy * dy));
    // The ground scale is a derived value of the calibration, kept in single
    // precision like the others.
    const double scale = calibration::groundScale(c);
    return static_cast<float>(double(pixels) * scale / 90.0 * 10000000.0);
}

QString readout(const CalibrationRecord& c, const DistanceOrigin& origin, float x, float y, PointerPosition& position)
{
    const GeoPoint geo = calibration::forward(c, x, y);
    position.E = geo.longitude;
    position.N = geo.latitude;
    // The cut drops digits without rounding; sign or blank count as one.
    QString text = QStringLiteral("Ost:") + generalForm(position.E).left(9) + QStringLiteral(" Nord:")
                   + generalForm(position.N).left(9);
    if (!c.isCalibrated())
        return text + QStringLiteral(" uncal");
    return text + u' ' + generalForm(groundDistance(c, origin, x, y)) + u'm';
}

void drawMarker(Canvas& canvas, float X, float Y)
{
    // Whole canvas pixels around one centre keep the cross symmetric.
    const int cx = roundHalfEven(X);
    const int cy = roundHalfEven(Y);
    canvas.line(cx + 7, cy - 7, cx - 7, cy + 7, markerColor);
    canvas.line(cx + 7, cy + 7, cx - 7, cy - 7, markerColor);
    canvas.circle(cx, cy, 10, markerColor);
}

} // namespace karte::pointer
