#pragma once

namespace karte::zoom {

// Zoom factor limits that every redraw with a loaded map keeps.
constexpr float minimumFactor = 0.25f;
constexpr float maximumFactor = 8.0f;

// What a scroll bar can hold: 16-bit values.
constexpr int largestScrollValue = 32767;

// The five zoom buttons, from "++" to "--".
enum class Step { Double, Up, Original, Down, Half };

// The fourth root of 2 as the square root of the square root of 2, double.
double fourthRootOfTwo();

// The zoom factor after one button press, stored in single precision; no
// limit is applied here (the redraw does that, and only with a map).
float applyStep(float z, Step step);

// z limited to 0.25..8 (first the upper limit, then the lower one).
float limitFactor(float z);

// Visible extent in image pixels of a canvas side of canvasPixels, single.
float visibleExtent(int canvasPixels, float z);

// Page step of a scroll bar: half the visible extent in image pixels,
// rounded half to even, kept between 1 and 32767 so that a bar can hold it.
int pageStep(int canvasPixels, float z);

// Maximum of a scroll bar: image size minus the visible extent (image
// pixels), at least 1, rounded half to even, at most 32767.
int scrollMaximum(int imagePixels, int canvasPixels, float z);

} // namespace karte::zoom
