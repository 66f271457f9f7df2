#pragma once

#include "platform/canvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>

namespace karte {

// The canvas operations painted onto a QImage (the map view's backing image).
class QImageCanvas final : public Canvas {
public:
    QImageCanvas(QImage& image, const QFont& font);

    int width() const override;
    int height() const override;
    void line(int x1, int y1, int x2, int y2, int color) override;
    void rect(int x1, int y1, int x2, int y2, int color) override;
    void circle(int x, int y, int radius, int color) override;
    void pixel(int x, int y, int color) override;
    void setTextColor(int color) override;
    void setTextPosition(int x, int y) override;
    void text(const QString& text) override;

private:
    QImage& _image;
    QPainter _painter;
    int _textColor = 0;
    int _textX = 0;
    int _textY = 0;
};

} // namespace karte
