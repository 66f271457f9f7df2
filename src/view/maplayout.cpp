#include "view/maplayout.h"

#include <algorithm>

namespace karte {

MapAreaLayout layoutMapArea(const MapAreaLayout& current, int innerWidth, int innerHeight)
{
    MapAreaLayout l = current;
    if (innerHeight > 300) {
        l.yScroll.top = l.map.top;
        l.map.height = std::max(smallestCanvasTwips, innerHeight - l.map.top - l.xScroll.height);
        l.yScroll.height = l.map.height;
    }
    l.map.left = 50;
    l.xScroll.left = l.map.left;
    l.xScroll.top = l.map.top + l.map.height;
    if (innerWidth - l.map.left > 200)
        l.map.width = std::max(smallestCanvasTwips, innerWidth - l.map.left - l.yScroll.width);
    l.yScroll.left = l.map.left + l.map.width;
    l.xScroll.width = l.map.width;
    return l;
}

} // namespace karte
