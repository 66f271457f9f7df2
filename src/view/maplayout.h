#pragma once

namespace karte {

// A rectangle in twips (1/1440 inch), top-left origin.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// Where the canvas and its two scroll bars stand in the main window, twips.
struct MapAreaLayout {
    TwipRect map{0, 960, 8055, 3975};
    TwipRect yScroll{8040, 600, 255, 4335};
    TwipRect xScroll{0, 4920, 8055, 255};

    friend bool operator==(const MapAreaLayout&, const MapAreaLayout&) = default;
};

// The smallest canvas side kept by the layout: one pixel, in twips.
constexpr int smallestCanvasTwips = 15;

// Lays the canvas and bars out for an inner window area of innerWidth by
// innerHeight twips, starting from the current placement: the canvas fills
// the area from (50, its top) up to the bars' thickness short of the right
// and bottom edges, the vertical bar to its right, the horizontal bar below
// it. An area 300 twips high or lower keeps the canvas height; one at most
// 200 twips wider than the canvas's left edge keeps its width. Where the
// area is too small for the canvas, it keeps one pixel instead of going to
// zero or below.
MapAreaLayout layoutMapArea(const MapAreaLayout& current, int innerWidth, int innerHeight);

} // namespace karte
