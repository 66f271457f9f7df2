#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>

namespace karte {

// The map canvas: a white drawing area with a backing image, so what was
// drawn survives being covered; painting only shows that image. Positions
// are canvas pixels, origin top-left.
class MapViewWidget : public QWidget {
    Q_OBJECT
public:
    explicit MapViewWidget(QWidget* parent = nullptr);

    // The backing image, W by H canvas pixels, Format_RGB32.
    const QImage& canvasImage() const;
    // The same for drawing; the caller calls update() when done.
    QImage& canvasImage();
    // W by H in canvas pixels, never below 1 by 1.
    QSize canvasSize() const;

    QSize sizeHint() const override;

signals:
    // A mouse button went down at a canvas position.
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    // The pointer moved to a canvas position (buttons held or not).
    void moved(QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Keeps the backing image at the widget's size; what fits is kept.
    // The widget may be resized while hidden, with its resize event still
    // pending, so every access checks the size.
    void matchImageToSize() const;

    mutable QImage _image;
};

} // namespace karte
