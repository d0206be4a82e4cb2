#pragma once

// The zoom is a factor on top of the chosen screen size: 1 shows the picture
// at Half, Normal or Double Size as chosen ("Actual Size"), and the steps go
// up to eight times the normal size. A zoom that does not fall on a step (one
// that fits a window) steps to the next one either way.
namespace ZoomSteps {

constexpr double kActualSize = 1.0;
// Half size zoomed to eight times normal: the largest zoom any size allows.
constexpr double kMostZoom = 16.0;

// How many times the normal size a screen size is: 0.5 for Half, 2 for
// Double, 1 for Normal and for any unknown size.
double sizeScale(int screenSize);

// The largest zoom of a screen size: eight times normal.
double mostZoom(int screenSize);

// The zoom brought into the range of the screen size; anything that is no
// number at all is Actual Size.
double bounded(double zoom, int screenSize);

// The next step up or down from a zoom, within the range of the screen size.
double zoomedIn(double zoom, int screenSize);
double zoomedOut(double zoom, int screenSize);

// How many times normal the picture is shown at.
inline double magnification(double zoom, int screenSize) { return zoom * sizeScale(screenSize); }

} // namespace ZoomSteps
