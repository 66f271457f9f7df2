#include "platform/globeicon.h"

#include "state/palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace karte {

namespace {

QColor colour(int number)
{
    const PaletteColor c = paletteColor(number);
    return QColor(c.red, c.green, c.blue);
}

} // namespace

QImage globeImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.scale(size / 32.0, size / 32.0);

    const QRectF disc(1, 1, 30, 30);
    QPainterPath globe;
    globe.addEllipse(disc);
    p.fillPath(globe, colour(9));
    p.setClipPath(globe);

    // Two continents, roughly: one in the west, one in the north-east.
    p.setPen(Qt::NoPen);
    p.setBrush(colour(2));
    p.drawPolygon(QPolygonF({{5, 8}, {12, 5}, {15, 9}, {13, 15}, {16, 20}, {12, 27}, {9, 22}, {6, 16}}));
    p.setBrush(colour(10));
    p.drawPolygon(QPolygonF({{18, 4}, {27, 7}, {29, 13}, {24, 15}, {22, 21}, {19, 17}, {17, 10}}));
    p.drawPolygon(QPolygonF({{22, 24}, {27, 22}, {26, 28}}));

    // Meridian and parallels.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour(1), 0));
    p.drawEllipse(QRectF(9, 1, 14, 30));
    p.drawLine(QPointF(1, 16), QPointF(31, 16));
    p.drawLine(QPointF(4, 9), QPointF(28, 9));
    p.drawLine(QPointF(4, 23), QPointF(28, 23));
    p.setClipping(false);
    p.setPen(QPen(colour(1), 1));
    p.drawEllipse(disc);
    return image;
}

QIcon globeIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(globeImage(32)));
    icon.addPixmap(QPixmap::fromImage(globeImage(16)));
    return icon;
}

} // namespace karte
