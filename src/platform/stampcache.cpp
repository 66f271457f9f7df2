#include "platform/stampcache.h"

#include "platform/qimagecanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace karte {

namespace {

// Collects the runs of non-transparent pixels of a mask whose anchor lies at
// (ox, oy).
Stamp stampFrom(const QImage& mask, int ox, int oy)
{
    Stamp stamp;
    stamp.left = mask.width();
    stamp.top = mask.height();
    for (int row = 0; row < mask.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(row));
        int col = 0;
        while (col < mask.width()) {
            if (qAlpha(line[col]) == 0) {
                ++col;
                continue;
            }
            const int start = col;
            while (col < mask.width() && qAlpha(line[col]) != 0)
                ++col;
            stamp.runs.push_back(Stamp::Run{static_cast<int16_t>(row - oy), static_cast<int16_t>(start - ox),
                                            static_cast<int16_t>(col - start)});
            stamp.left = std::min(stamp.left, start - ox);
            stamp.right = std::max(stamp.right, col - 1 - ox);
            stamp.top = std::min(stamp.top, row - oy);
            stamp.bottom = std::max(stamp.bottom, row - oy);
        }
    }
    if (stamp.runs.empty())
        stamp.left = stamp.top = 0;
    return stamp;
}

QImage blankMask(int width, int height)
{
    QImage mask(width, height, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    return mask;
}

} // namespace

const Stamp& StampCache::text(const QString& text, const QFont& font)
{
    if (!_hasFont || !(font == _font)) {
        _texts.clear();
        _font = font;
        _hasFont = true;
    }
    auto found = _texts.constFind(text);
    if (found != _texts.constEnd())
        return *found;

    const QFontMetrics metrics(font);
    const QRect bounds = metrics.boundingRect(text); // relative to the baseline origin
    const int pad = 4;
    const int ox = pad + std::max(0, -bounds.left());
    const int oy = pad + std::max(0, -(metrics.ascent() + bounds.top()));
    const int width = ox + std::max(metrics.horizontalAdvance(text), bounds.right() + 1) + pad;
    const int height = oy + std::max(metrics.height(), metrics.ascent() + bounds.bottom() + 1) + pad;
    QImage mask = blankMask(width, height);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(ox, oy + metrics.ascent(), text);
    }
    return *_texts.insert(text, stampFrom(mask, ox, oy));
}

const Stamp& StampCache::line(int dx, int dy)
{
    const quint32 key = (quint32(quint16(int16_t(dx))) << 16) | quint16(int16_t(dy));
    auto found = _lines.constFind(key);
    if (found != _lines.constEnd())
        return *found;
    const int pad = 2;
    const int ox = pad + std::max(0, -dx);
    const int oy = pad + std::max(0, -dy);
    QImage mask = blankMask(std::abs(dx) + 1 + 2 * pad, std::abs(dy) + 1 + 2 * pad);
    {
        QPainter painter(&mask);
        painter.setPen(QImageCanvas::linePen(Qt::black));
        painter.drawLine(ox, oy, ox + dx, oy + dy);
    }
    return *_lines.insert(key, stampFrom(mask, ox, oy));
}

const Stamp& StampCache::circle(int radius)
{
    auto found = _circles.constFind(radius);
    if (found != _circles.constEnd())
        return *found;
    const int pad = 2;
    const int o = pad + radius;
    QImage mask = blankMask(2 * o + 1, 2 * o + 1);
    {
        QPainter painter(&mask);
        painter.setPen(QImageCanvas::linePen(Qt::black));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPoint(o, o), radius, radius);
    }
    return *_circles.insert(radius, stampFrom(mask, o, o));
}

void StampCache::clear()
{
    _texts.clear();
    _lines.clear();
    _circles.clear();
    _hasFont = false;
}

} // namespace karte
