#include "platform/scaledcopy.h"

#include <QPainter>

namespace karte {

void copyVisiblePart(QImage& target, const QImage& map, int sx, int sy, float z)
{
    QPainter painter(&target);
    if (map.isNull() || z <= 0) {
        painter.fillRect(target.rect(), Qt::white);
        return;
    }
    const float w = static_cast<float>(target.width()) / z;
    const float h = static_cast<float>(target.height()) / z;
    const QRectF source(sx, sy, w, h);
    const QRectF visible = source.intersected(QRectF(map.rect()));
    const QRectF dest = visible.isEmpty()
        ? QRectF()
        : QRectF((visible.x() - sx) * z, (visible.y() - sy) * z, visible.width() * z, visible.height() * z);
    // The white background is only needed where the map does not reach;
    // painting it under a full frame would double the cost of every redraw.
    if (!dest.contains(QRectF(target.rect())))
        painter.fillRect(target.rect(), Qt::white);
    if (!dest.isEmpty())
        painter.drawImage(dest, map, visible);
}

} // namespace karte
