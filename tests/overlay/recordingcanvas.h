#pragma once

#include "platform/canvas.h"

#include <QString>
#include <QStringList>

namespace karte {

// A canvas that writes down every call as one line of text, so that a test
// can compare the primitives the overlay draws ("circle 20 10 r2 c7").
class RecordingCanvas final : public Canvas {
public:
    RecordingCanvas(int width, int height)
        : _width(width)
        , _height(height)
    {
    }

    int width() const override { return _width; }
    int height() const override { return _height; }

    void line(int x1, int y1, int x2, int y2, int color) override
    {
        calls << QStringLiteral("line %1 %2 %3 %4 c%5").arg(x1).arg(y1).arg(x2).arg(y2).arg(color);
    }
    void rect(int x1, int y1, int x2, int y2, int color) override
    {
        calls << QStringLiteral("rect %1 %2 %3 %4 c%5").arg(x1).arg(y1).arg(x2).arg(y2).arg(color);
    }
    void circle(int x, int y, int radius, int color) override
    {
        calls << QStringLiteral("circle %1 %2 r%3 c%4").arg(x).arg(y).arg(radius).arg(color);
    }
    void pixel(int x, int y, int color) override
    {
        calls << QStringLiteral("pixel %1 %2 c%3").arg(x).arg(y).arg(color);
    }
    void setTextColor(int color) override { calls << QStringLiteral("textcolor c%1").arg(color); }
    void setTextPosition(int x, int y) override { calls << QStringLiteral("textpos %1 %2").arg(x).arg(y); }
    void text(const QString& text) override { calls << QStringLiteral("text ") + text; }

    // The recorded calls of one kind ("circle", "line", "text", ...).
    QStringList callsOf(const QString& kind) const
    {
        QStringList result;
        for (const QString& call : calls)
            if (call.startsWith(kind + QLatin1Char(' ')))
                result << call;
        return result;
    }

    QStringList calls;

private:
    int _width;
    int _height;
};

} // namespace karte
