#include "practicemap.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace karte {

namespace {

// Height of the made-up landscape at a point, metres.
double height(double x, double y)
{
    const double a = std::exp(-((x - 0.32) * (x - 0.32) + (y - 0.38) * (y - 0.38)) / 0.02);
    const double b = std::exp(-((x - 0.70) * (x - 0.70) + (y - 0.62) * (y - 0.62)) / 0.035);
    return 400 + 900 * a + 650 * b + 60 * std::sin(6 * x + 3 * y);
}

} // namespace

QImage practiceMap(int width, int height_)
{
    QImage image(width, height_, QImage::Format_RGB32);
    image.fill(QColor(250, 248, 235));
    // Contour lines every 50 m where a pixel and its neighbours differ in band.
    auto band = [&](int x, int y) {
        return static_cast<int>(height(double(x) / width, double(y) / height_) / 50);
    };
    for (int y = 0; y + 1 < height_; ++y) {
        for (int x = 0; x + 1 < width; ++x) {
            const int b = band(x, y);
            if (b != band(x + 1, y) || b != band(x, y + 1))
                image.setPixel(x, y, b % 5 == 0 ? qRgb(150, 90, 40) : qRgb(200, 150, 100));
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath river(QPointF(0, height_ * 0.85));
    river.cubicTo(width * 0.3, height_ * 0.7, width * 0.5, height_ * 0.98, width, height_ * 0.8);
    p.setPen(QPen(QColor(60, 120, 220), 4));
    p.drawPath(river);
    p.setPen(QPen(QColor(200, 40, 40), 3));
    p.drawLine(QPointF(width * 0.05, 0), QPointF(width * 0.55, height_));
    p.setPen(QPen(QColor(120, 120, 200), 1));
    for (int x = 0; x < width; x += 100)
        p.drawLine(x, 0, x, height_);
    for (int y = 0; y < height_; y += 100)
        p.drawLine(0, y, width, y);
    p.setPen(Qt::black);
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(14);
    font.setItalic(true);
    p.setFont(font);
    p.drawText(QPointF(width * 0.32 - 40, height_ * 0.38 - 12), QStringLiteral("Hoher Kopf"));
    p.drawText(QPointF(width * 0.70 - 40, height_ * 0.62 - 12), QStringLiteral("Breitenberg"));
    p.drawText(QPointF(width * 0.60, height_ * 0.90), QStringLiteral("Talbach"));
    return image;
}

} // namespace karte
