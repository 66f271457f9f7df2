#include "view/zoommodel.h"

#include "state/numberformat.h"

#include <algorithm>
#include <cmath>

namespace karte::zoom {

double fourthRootOfTwo()
{
    return std::sqrt(std::sqrt(2.0));
}

float applyStep(float z, Step step)
{
    switch (step) {
    case Step::Double:
        return z * 2.0f;
    case Step::Up:
        return static_cast<float>(static_cast<double>(z) * fourthRootOfTwo());
    case Step::Original:
        return 1.0f;
    case Step::Down:
        return static_cast<float>(static_cast<double>(z) / fourthRootOfTwo());
    case Step::Half:
        return z / 2.0f;
    }
    return z;
}

float limitFactor(float z)
{
    if (z > maximumFactor)
        z = maximumFactor;
    if (z < minimumFactor)
        z = minimumFactor;
    return z;
}

float visibleExtent(int canvasPixels, float z)
{
    return static_cast<float>(canvasPixels) / z;
}

int pageStep(int canvasPixels, float z)
{
    const float half = visibleExtent(canvasPixels, z) / 2.0f;
    // A canvas narrower than one zoomed pixel would give 0, which a scroll
    // bar cannot use as a page step.
    return std::clamp<int>(roundHalfEven(half), 1, largestScrollValue);
}

int scrollMaximum(int imagePixels, int canvasPixels, float z)
{
    float m = static_cast<float>(imagePixels) - visibleExtent(canvasPixels, z);
    if (m < 1.0f)
        m = 1.0f;
    return std::clamp<int>(roundHalfEven(m), 1, largestScrollValue);
}

} // namespace karte::zoom
