#include "platform/scaledcopy.h"

#include <QPainter>

namespace karte {

void copyVisiblePart(QImage& target, const QImage& map, int sx, int sy, float z)
{
    QPainter painter(&target);
    painter.fillRect(target.rect(), Qt::white);
    if (map.isNull() || z <= 0)
        return;
    const float w = static_cast<float>(target.width()) / z;
    const float h = static_cast<float>(target.height()) / z;
    const QRectF source(sx, sy, w, h);
    const QRectF visible = source.intersected(QRectF(map.rect()));
    if (visible.isEmpty())
        return;
    const QRectF dest((visible.x() - sx) * z, (visible.y() - sy) * z, visible.width() * z, visible.height() * z);
    painter.drawImage(dest, map, visible);
}

} // namespace karte
