#include "view/mapviewwidget.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace karte {

MapViewWidget::MapViewWidget(QWidget* parent)
    : QWidget(parent)
{
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    matchImageToSize();
}

const QImage& MapViewWidget::canvasImage() const
{
    matchImageToSize();
    return _image;
}

QImage& MapViewWidget::canvasImage()
{
    matchImageToSize();
    return _image;
}

QSize MapViewWidget::canvasSize() const
{
    return QSize(std::max(1, width()), std::max(1, height()));
}

QSize MapViewWidget::sizeHint() const
{
    return QSize(537, 265);
}

void MapViewWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), _image, event->rect());
}

void MapViewWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    matchImageToSize();
}

void MapViewWidget::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button(), event->modifiers(), event->position());
}

void MapViewWidget::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(event->position());
}

void MapViewWidget::matchImageToSize() const
{
    const QSize size = canvasSize();
    if (_image.size() == size)
        return;
    QImage resized(size, QImage::Format_RGB32);
    resized.fill(Qt::white);
    if (!_image.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, _image);
    }
    _image = std::move(resized);
}

} // namespace karte
