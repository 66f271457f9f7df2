#include "platform/stampcache.h"

#include "platform/qimagecanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace karte {

namespace {

// Collects the non-transparent pixels of a mask whose anchor lies at
// (ox, oy).
Stamp stampFrom(const QImage& mask, int ox, int oy)
{
    int left = mask.width(), right = -1, top = mask.height(), bottom = -1;
    for (int row = 0; row < mask.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(row));
        for (int col = 0; col < mask.width(); ++col) {
            if (qAlpha(line[col]) == 0)
                continue;
            left = std::min(left, col);
            right = std::max(right, col);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
    }
    Stamp stamp;
    if (right < 0)
        return stamp;
    stamp.left = left - ox;
    stamp.top = top - oy;
    stamp.width = right - left + 1;
    stamp.height = bottom - top + 1;
    stamp.wordsPerRow = (stamp.width + 63) / 64;
    const int words = stamp.height * stamp.wordsPerRow;
    if (words > Stamp::inlineWords)
        stamp.moreBits.assign(static_cast<std::size_t>(words), 0);
    for (int row = top; row <= bottom; ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(row));
        uint64_t* rowWords = stamp.bits() + (row - top) * stamp.wordsPerRow;
        for (int col = left; col <= right; ++col)
            if (qAlpha(line[col]) != 0)
                rowWords[(col - left) / 64] |= uint64_t(1) << ((col - left) % 64);
    }
    return stamp;
}

QImage blankMask(int width, int height)
{
    QImage mask(width, height, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    return mask;
}

} // namespace

namespace {

std::size_t slotOf(const QChar* data, std::size_t slotCount)
{
    const auto key = reinterpret_cast<std::uintptr_t>(data);
    return static_cast<std::size_t>((key >> 3) * 0x9e3779b97f4a7c15ULL) & (slotCount - 1);
}

} // namespace

void StampCache::useFont(const QFont& font)
{
    if (_hasFont && font == _font)
        return;
    _texts.clear();
    _textSlots.clear();
    _usedTextSlots = 0;
    _font = font;
    _hasFont = true;
}

const Stamp& StampCache::text(const QString& text)
{
    if (!_textSlots.empty()) {
        const QChar* data = text.constData();
        for (std::size_t i = slotOf(data, _textSlots.size());; i = (i + 1) & (_textSlots.size() - 1)) {
            const TextSlot& slot = _textSlots[i];
            if (!slot.stamp)
                break;
            if (slot.text.constData() == data && slot.text.size() == text.size())
                return *slot.stamp;
        }
    }
    const Stamp& stamp = textByContent(text);
    rememberText(text, &stamp);
    return stamp;
}

void StampCache::rememberText(const QString& text, const Stamp* stamp)
{
    // Kept at most half full; when a list has been replaced many times over
    // the slots start afresh instead of growing further.
    constexpr std::size_t maxSlots = std::size_t(1) << 16;
    if (2 * (_usedTextSlots + 1) > _textSlots.size()) {
        std::vector<TextSlot> old;
        old.swap(_textSlots);
        const std::size_t size = old.empty() ? 1024 : std::min(old.size() * 2, maxSlots);
        _textSlots.resize(size);
        _usedTextSlots = 0;
        if (size > old.size())
            for (TextSlot& slot : old)
                if (slot.stamp)
                    rememberText(slot.text, slot.stamp);
    }
    std::size_t i = slotOf(text.constData(), _textSlots.size());
    while (_textSlots[i].stamp)
        i = (i + 1) & (_textSlots.size() - 1);
    _textSlots[i] = TextSlot{text, stamp};
    ++_usedTextSlots;
}

const Stamp& StampCache::textByContent(const QString& text)
{
    auto found = _texts.find(text);
    if (found != _texts.end())
        return found->second;
    // A few lists' worth of names; beyond that (lists loaded one after
    // another all day) the masks start afresh rather than grow for ever.
    if (_texts.size() >= maxTexts) {
        _textSlots.clear();
        _usedTextSlots = 0;
        _texts.clear();
    }

    const QFont& font = _font;
    const QFontMetrics metrics(font);
    const QRect bounds = metrics.boundingRect(text); // relative to the baseline origin
    const int pad = 4;
    const int ox = pad + std::max(0, -bounds.left());
    const int oy = pad + std::max(0, -(metrics.ascent() + bounds.top()));
    const int width = ox + std::max(metrics.horizontalAdvance(text), bounds.right() + 1) + pad;
    const int height = oy + std::max(metrics.height(), metrics.ascent() + bounds.bottom() + 1) + pad;
    QImage mask = blankMask(width, height);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(ox, oy + metrics.ascent(), text);
    }
    return _texts.emplace(text, stampFrom(mask, ox, oy)).first->second;
}

const Stamp& StampCache::line(int dx, int dy)
{
    // Indexed directly: a track draws thousands of short lines per redraw.
    const std::size_t key = std::size_t((dy + maxLineExtent) * (2 * maxLineExtent + 1) + (dx + maxLineExtent));
    if (_lines.empty())
        _lines.resize(std::size_t((2 * maxLineExtent + 1) * (2 * maxLineExtent + 1)));
    if (_lines[key])
        return *_lines[key];
    const int pad = 2;
    const int ox = pad + std::max(0, -dx);
    const int oy = pad + std::max(0, -dy);
    QImage mask = blankMask(std::abs(dx) + 1 + 2 * pad, std::abs(dy) + 1 + 2 * pad);
    {
        QPainter painter(&mask);
        painter.setPen(QImageCanvas::linePen(Qt::black));
        painter.drawLine(ox, oy, ox + dx, oy + dy);
    }
    _lines[key] = std::make_unique<Stamp>(stampFrom(mask, ox, oy));
    return *_lines[key];
}

const Stamp& StampCache::circle(int radius)
{
    if (_circles.empty())
        _circles.resize(maxCircleRadius + 1);
    const auto key = static_cast<std::size_t>(radius);
    if (_circles[key])
        return *_circles[key];
    const int pad = 2;
    const int o = pad + radius;
    QImage mask = blankMask(2 * o + 1, 2 * o + 1);
    {
        QPainter painter(&mask);
        painter.setPen(QImageCanvas::linePen(Qt::black));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPoint(o, o), radius, radius);
    }
    _circles[key] = std::make_unique<Stamp>(stampFrom(mask, o, o));
    return *_circles[key];
}

void StampCache::clear()
{
    _texts.clear();
    _textSlots.clear();
    _usedTextSlots = 0;
    _lines.clear();
    _circles.clear();
    _hasFont = false;
}

} // namespace karte
