#include "overlay/summitsymbol.h"

namespace karte {

namespace {

constexpr int darkBlue = 1;
constexpr int darkGreen = 2;
constexpr int darkMagenta = 5;
constexpr int green = 10;
constexpr int red = 12;

} // namespace

void drawSummitSymbol(Canvas& canvas, const QString& typ, int x, int y)
{
    // The element lists keep the order and end points of the symbol table,
    // so the last element drawn wins where two overlap.
    if (typ == QLatin1String("G")) {
        canvas.pixel(x, y - 3, red);
        canvas.rect(x - 1, y - 2, x + 1, y - 1, red);
        canvas.rect(x - 2, y, x + 2, y + 1, red);
        canvas.rect(x - 3, y + 2, x + 3, y + 3, red);
    } else if (typ == QLatin1String("W")) {
        canvas.rect(x - 3, y - 4, x + 1, y + 3, green);
        canvas.line(x + 2, y + 1, x + 3, y + 1, green);
        canvas.line(x + 2, y - 3, x + 3, y - 3, green);
        canvas.line(x + 4, y, x + 4, y - 2, green);
    } else if (typ == QLatin1String("H")) {
        canvas.line(x - 3, y + 2, x - 2, y + 2, darkMagenta);
        canvas.line(x - 2, y + 1, x - 2, y - 2, darkMagenta);
        canvas.line(x - 1, y - 3, x + 1, y - 3, darkMagenta);
        canvas.line(x + 2, y + 1, x + 2, y - 2, darkMagenta);
        canvas.line(x + 3, y + 2, x + 2, y + 2, darkMagenta);
    } else if (typ == QLatin1String("P")) {
        canvas.line(x - 2, y + 3, x - 2, y - 6, darkBlue);
        canvas.line(x - 1, y - 1, x + 1, y - 1, darkBlue);
        canvas.line(x - 1, y - 6, x + 1, y - 6, darkBlue);
        canvas.line(x + 1, y - 1, x + 3, y - 3, darkBlue);
        canvas.line(x + 1, y - 6, x + 3, y - 4, darkBlue);
    } else if (typ == QLatin1String("C")) {
        canvas.line(x - 4, y + 3, x + 4, y + 3, darkGreen);
        canvas.line(x - 4, y + 2, x + 1, y - 7, darkGreen);
        canvas.line(x + 4, y + 2, x - 1, y - 7, darkGreen);
        canvas.line(x - 3, y + 2, x, y - 4, darkGreen);
        canvas.line(x + 3, y + 2, x, y - 4, darkGreen);
    } else if (typ == QLatin1String("T")) {
        canvas.rect(x - 1, y - 1, x + 1, y + 1, darkGreen);
        canvas.line(x, y + 3, x, y + 4, darkGreen);
        canvas.line(x, y - 3, x, y - 4, darkGreen);
        canvas.line(x + 3, y, x + 4, y, darkGreen);
        canvas.line(x - 3, y, x - 4, y, darkGreen);
        canvas.line(x + 3, y + 3, x + 4, y + 4, darkGreen);
        canvas.line(x - 3, y - 3, x - 4, y - 4, darkGreen);
        canvas.line(x + 3, y - 3, x + 4, y - 4, darkGreen);
        canvas.line(x - 3, y + 3, x - 4, y + 4, darkGreen);
    } else {
        canvas.rect(x - 2, y - 2, x + 2, y + 2, red);
    }
}

} // namespace karte
