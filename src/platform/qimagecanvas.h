#pragma once

#include "platform/canvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <memory>

namespace karte {

class StampCache;
struct Stamp;

// The canvas operations painted onto a QImage (the map view's backing image).
//
// Drawing rules of this canvas: lines are aliased, one pixel wide, with both
// end pixels set; rectangles are filled; circles are one-pixel outlines;
// text is written without a background box and without antialiasing, the
// top-left corner of the text at the text position. Labels, short lines and
// small circles are stamped from masks that a StampCache keeps between
// redraws; the pixels are the ones QPainter paints.
class QImageCanvas final : public Canvas {
public:
    // cache: shared masks that outlive this canvas (the map view keeps one);
    // without one the canvas keeps line and circle masks for its lifetime
    // and paints labels directly.
    QImageCanvas(QImage& image, const QFont& font, StampCache* cache = nullptr);
    ~QImageCanvas() override;

    int width() const override;
    int height() const override;
    void line(int x1, int y1, int x2, int y2, int color) override;
    void rect(int x1, int y1, int x2, int y2, int color) override;
    void circle(int x, int y, int radius, int color) override;
    void pixel(int x, int y, int color) override;
    void setTextColor(int color) override;
    // The text colour set last; the map view carries it from one redraw to
    // the next, as a canvas keeps its text colour.
    int textColor() const { return _textColor; }
    void setTextPosition(int x, int y) override;
    void text(const QString& text) override;

    // The pen of lines and circles: aliased, one pixel, last pixel set.
    static QPen linePen(const QColor& color);
    // The canvas font as drawn: the given font without antialiasing.
    static QFont canvasFont(const QFont& font);

private:
    void usePen(int color);
    // Sets the stamp's pixels anchored at (x, y); false when the stamp does
    // not lie wholly inside the image and must be painted instead.
    bool stamp(const Stamp& stamp, int x, int y, int color);

    QImage& _image;
    QPainter _painter;
    QFont _font;
    std::unique_ptr<StampCache> _ownCache;
    StampCache* _cache = nullptr;
    bool _stampTexts = true;
    int _width = 0;
    int _height = 0;
    uchar* _bits = nullptr; // 32-bit pixels, or null for other formats
    qsizetype _stride = 0;
    int _penColor = -1;
    int _textColor = 0;
    int _textX = 0;
    int _textY = 0;
};

} // namespace karte
