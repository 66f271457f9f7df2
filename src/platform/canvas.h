#pragma once

#include <QString>

namespace karte {

// The drawing operations the overlay needs of the map canvas. Coordinates
// are canvas pixels, origin top-left; colours are palette numbers 0..15.
// Drawing outside the canvas is clipped, never an error.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int width() const = 0;  // W, canvas pixels
    virtual int height() const = 0; // H, canvas pixels

    virtual void line(int x1, int y1, int x2, int y2, int color) = 0;
    // Axis-parallel rectangle with opposite corners (x1, y1) and (x2, y2).
    virtual void rect(int x1, int y1, int x2, int y2, int color) = 0;
    virtual void circle(int x, int y, int radius, int color) = 0;
    virtual void pixel(int x, int y, int color) = 0;
    virtual void setTextColor(int color) = 0;
    // Top-left corner of the next text output.
    virtual void setTextPosition(int x, int y) = 0;
    // Writes at the text position in the canvas font and text colour.
    virtual void text(const QString& text) = 0;
};

} // namespace karte
