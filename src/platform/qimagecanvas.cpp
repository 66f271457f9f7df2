#include "platform/qimagecanvas.h"

#include "state/palette.h"

namespace karte {

namespace {

QColor toQColor(int number)
{
    const PaletteColor c = paletteColor(number);
    return QColor(c.red, c.green, c.blue);
}

} // namespace

QImageCanvas::QImageCanvas(QImage& image, const QFont& font)
    : _image(image)
    , _painter(&image)
{
    _painter.setFont(font);
}

int QImageCanvas::width() const
{
    return _image.width();
}

int QImageCanvas::height() const
{
    return _image.height();
}

void QImageCanvas::line(int x1, int y1, int x2, int y2, int color)
{
    _painter.setPen(toQColor(color));
    _painter.drawLine(x1, y1, x2, y2);
}

void QImageCanvas::rect(int x1, int y1, int x2, int y2, int color)
{
    // Filled: the symbols' blocks and the waypoint square are solid.
    const QRect r = QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
    _painter.fillRect(r, toQColor(color));
}

void QImageCanvas::circle(int x, int y, int radius, int color)
{
    _painter.setPen(toQColor(color));
    _painter.setBrush(Qt::NoBrush);
    _painter.drawEllipse(QPoint(x, y), radius, radius);
}

void QImageCanvas::pixel(int x, int y, int color)
{
    _painter.setPen(toQColor(color));
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
    _painter.setPen(toQColor(_textColor));
    const QFontMetrics metrics = _painter.fontMetrics();
    _painter.drawText(_textX, _textY + metrics.ascent(), text);
}

} // namespace karte
