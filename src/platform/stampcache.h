#pragma once

#include <QFont>
#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

namespace karte {

// The pixels one aliased primitive sets, as horizontal runs relative to its
// anchor (a line's start, a circle's centre, a text's top-left corner).
struct Stamp {
    struct Run {
        int16_t dy = 0;
        int16_t dx = 0;
        int16_t length = 0;
    };
    std::vector<Run> runs;
    // Extent of the runs relative to the anchor, for the inside test.
    int left = 0, top = 0, right = -1, bottom = -1;
};

// Pixel masks of labels, short lines and circles, rendered once with
// QPainter and kept between redraws: the overlay draws the same names and
// symbols on every scroll step. Everything here is aliased, so a mask
// stamped at a whole-pixel position sets exactly the pixels QPainter would.
class StampCache {
public:
    // Lines and circles longer or larger than this are painted directly.
    static constexpr int maxLineExtent = 48;
    static constexpr int maxCircleRadius = 64;

    // The mask of a text written at top-left (0, 0) in the font; the cache
    // starts afresh when the font changes.
    const Stamp& text(const QString& text, const QFont& font);
    // The mask of the line from (0, 0) to (dx, dy), both end pixels set.
    const Stamp& line(int dx, int dy);
    // The mask of the circle outline around (0, 0).
    const Stamp& circle(int radius);

    void clear();

private:
    QFont _font;
    bool _hasFont = false;
    QHash<QString, Stamp> _texts;
    QHash<quint32, Stamp> _lines;
    QHash<int, Stamp> _circles;
};

} // namespace karte
