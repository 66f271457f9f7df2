#include "platform/qimagecanvas.h"

#include "platform/stampcache.h"
#include "state/palette.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>

namespace karte {

namespace {

QColor toQColor(int number)
{
    const PaletteColor c = paletteColor(number);
    return QColor(c.red, c.green, c.blue);
}

QRgb toRgb(int number)
{
    const PaletteColor c = paletteColor(number);
    return qRgb(c.red, c.green, c.blue);
}

bool isDirect32(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
        || format == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

QImageCanvas::QImageCanvas(QImage& image, const QFont& font, StampCache* cache)
    : _image(image)
    , _painter(&image)
    , _font(canvasFont(font))
    , _cache(cache)
    , _width(image.width())
    , _height(image.height())
{
    if (!_cache) {
        // A mask costs more than painting its label once: without a cache
        // that outlives this canvas, labels are painted directly.
        _ownCache = std::make_unique<StampCache>();
        _cache = _ownCache.get();
        _stampTexts = false;
    }
    _painter.setRenderHint(QPainter::Antialiasing, false);
    _painter.setRenderHint(QPainter::TextAntialiasing, false);
    _painter.setFont(_font);
    _cache->useFont(_font);
    // The painter is active, so the image is detached: these are the pixels
    // it paints on as well.
    if (_painter.isActive() && isDirect32(_image.format())) {
        _bits = _image.bits();
        _stride = _image.bytesPerLine();
    }
}

QImageCanvas::~QImageCanvas() = default;

QPen QImageCanvas::linePen(const QColor& color)
{
    // Width 0 is the cosmetic one-pixel pen; with a square cap the stroker
    // sets the end pixel too.
    QPen pen(color, 0);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

QFont QImageCanvas::canvasFont(const QFont& font)
{
    // Labels are drawn like a small bitmap face: without antialiasing they
    // stay crisp, and their pixels do not depend on the map below them.
    QFont result(font);
    result.setStyleStrategy(QFont::NoAntialias);
    return result;
}

int QImageCanvas::width() const
{
    return _width;
}

int QImageCanvas::height() const
{
    return _height;
}

void QImageCanvas::usePen(int color)
{
    if (color == _penColor)
        return;
    _painter.setPen(linePen(toQColor(color)));
    _penColor = color;
}

bool QImageCanvas::stamp(const Stamp& s, int x, int y, int color)
{
    if (!_bits)
        return false;
    if (s.width == 0)
        return true;
    // 64-bit: the overlay may hand over positions near the 32-bit limits.
    const int64_t left = int64_t(x) + s.left;
    const int64_t top = int64_t(y) + s.top;
    if (left < 0 || top < 0 || left + s.width > _width || top + s.height > _height)
        return false;
    const QRgb rgb = toRgb(color);
    const uint64_t* words = s.bits();
    for (int row = 0; row < s.height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(_bits + (top + row) * _stride) + left;
        for (int w = 0; w < s.wordsPerRow; ++w, line += 64) {
            for (uint64_t bits = *words++; bits != 0; bits &= bits - 1)
                line[std::countr_zero(bits)] = rgb;
        }
    }
    return true;
}

void QImageCanvas::line(int x1, int y1, int x2, int y2, int color)
{
    // Wholly beside the canvas: nothing to paint.
    if ((x1 < 0 && x2 < 0) || (y1 < 0 && y2 < 0) || (x1 >= _width && x2 >= _width)
        || (y1 >= _height && y2 >= _height))
        return;
    const int64_t dx = int64_t(x2) - x1;
    const int64_t dy = int64_t(y2) - y1;
    if (std::abs(dx) <= StampCache::maxLineExtent && std::abs(dy) <= StampCache::maxLineExtent
        && stamp(_cache->line(int(dx), int(dy)), x1, y1, color))
        return;
    usePen(color);
    _painter.drawLine(x1, y1, x2, y2);
}

void QImageCanvas::rect(int x1, int y1, int x2, int y2, int color)
{
    // Filled: the symbols' blocks and the waypoint square are solid.
    // Corners are limited to just beyond the edges first, which changes
    // nothing visible and keeps QRect's sizes within int.
    auto limit = [](int v, int size) { return std::clamp(v, -1, size); };
    const QRect r = QRect(QPoint(limit(x1, _width), limit(y1, _height)), QPoint(limit(x2, _width), limit(y2, _height)))
                        .normalized()
                        .intersected(QRect(0, 0, _width, _height));
    if (r.isEmpty())
        return;
    if (!_bits) {
        _painter.fillRect(r, toQColor(color));
        return;
    }
    const QRgb rgb = toRgb(color);
    for (int row = r.top(); row <= r.bottom(); ++row)
        std::fill_n(reinterpret_cast<QRgb*>(_bits + row * _stride) + r.left(), r.width(), rgb);
}

void QImageCanvas::circle(int x, int y, int radius, int color)
{
    if (radius < 0)
        return;
    if (int64_t(x) + radius < 0 || int64_t(y) + radius < 0 || int64_t(x) - radius >= _width
        || int64_t(y) - radius >= _height)
        return; // wholly beside the canvas
    if (radius <= StampCache::maxCircleRadius && stamp(_cache->circle(radius), x, y, color))
        return;
    usePen(color);
    _painter.setBrush(Qt::NoBrush);
    _painter.drawEllipse(QPoint(x, y), radius, radius);
}

void QImageCanvas::pixel(int x, int y, int color)
{
    if (x < 0 || y < 0 || x >= _width || y >= _height)
        return;
    if (_bits) {
        reinterpret_cast<QRgb*>(_bits + y * _stride)[x] = toRgb(color);
        return;
    }
    usePen(color);
    _painter.drawPoint(x, y);
}

void QImageCanvas::setTextColor(int color)
{
    _textColor = color;
}

void QImageCanvas::setTextPosition(int x, int y)
{
    _textX = x;
    _textY = y;
}

void QImageCanvas::text(const QString& text)
{
    // Nothing of a small label reaches that far back to the canvas; the test
    // also keeps the baseline below within int.
    if (text.isEmpty() || _textX > _width + 64 || _textY > _height + 64)
        return;
    if (_stampTexts && stamp(_cache->text(text), _textX, _textY, _textColor))
        return;
    usePen(_textColor);
    _painter.drawText(_textX, _textY + _painter.fontMetrics().ascent(), text);
}

} // namespace karte
