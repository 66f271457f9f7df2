#pragma once

#include <QFont>
#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace karte {

// The pixels one aliased primitive sets, relative to its anchor (a line's
// start, a circle's centre, a text's top-left corner): one bit per pixel of
// the bounding box, rows of 64-pixel words. Compact, so that the masks of
// thousands of labels stay in the cache while a redraw stamps them.
struct Stamp {
    int left = 0;        // bounding box relative to the anchor
    int top = 0;
    int width = 0;       // 0: no pixel set
    int height = 0;
    int wordsPerRow = 0;
    // height * wordsPerRow words, bit i of a word is pixel i; small masks (a
    // label, a symbol line) inline, beside the rest of the stamp in memory.
    static constexpr int inlineWords = 12;
    uint64_t inlineBits[inlineWords] = {};
    std::vector<uint64_t> moreBits;

    const uint64_t* bits() const { return moreBits.empty() ? inlineBits : moreBits.data(); }
    uint64_t* bits() { return moreBits.empty() ? inlineBits : moreBits.data(); }
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
    // Label masks kept at most.
    static constexpr std::size_t maxTexts = 32768;

    // The font of the text masks; the text masks start afresh when it
    // changes. Compared once per canvas, not per label.
    void useFont(const QFont& font);
    // The mask of a text written at top-left (0, 0) in the font set last.
    const Stamp& text(const QString& text);
    // The mask of the line from (0, 0) to (dx, dy), both end pixels set;
    // |dx| and |dy| at most maxLineExtent.
    const Stamp& line(int dx, int dy);
    // The mask of the circle outline around (0, 0); radius 0..maxCircleRadius.
    const Stamp& circle(int radius);

    void clear();

private:
    // A label by the identity of its text: the overlay hands over the same
    // shared string of the summit table on every redraw, so comparing the
    // data pointer spares hashing and comparing the characters. The slot's
    // copy keeps that string data alive, so an equal pointer means equal
    // text.
    struct TextSlot {
        QString text;
        const Stamp* stamp = nullptr;
    };
    const Stamp& textByContent(const QString& text);
    void rememberText(const QString& text, const Stamp* stamp);

    QFont _font;
    bool _hasFont = false;
    std::unordered_map<QString, Stamp> _texts; // node-based: stamps keep their address
    std::vector<TextSlot> _textSlots;           // open addressing, size a power of 2
    std::size_t _usedTextSlots = 0;
    std::vector<std::unique_ptr<Stamp>> _lines;   // by (dx, dy), each within maxLineExtent
    std::vector<std::unique_ptr<Stamp>> _circles; // by radius 0..maxCircleRadius
};

} // namespace karte
