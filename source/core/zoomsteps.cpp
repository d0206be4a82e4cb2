#include "zoomsteps.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ZoomSteps {

namespace {

// The steps as multiples of the normal size. Half size starts below them.
constexpr std::array<double, 7> kTimesNormal = {1.0, 1.5, 2.0, 3.0, 4.0, 6.0, 8.0};
constexpr double kMostTimesNormal = 8.0;
// Zooms that differ by less than this are the same step: a zoom read back
// from the settings or computed for a window may be off in its last bits.
constexpr double kSameStep = 1e-6;

} // namespace

double sizeScale(int screenSize)
{
    switch (screenSize) {
    case 0: return 0.5;
    case 2: return 2.0;
    default: return 1.0;
    }
}

double mostZoom(int screenSize) { return kMostTimesNormal / sizeScale(screenSize); }

double bounded(double zoom, int screenSize)
{
    if (!std::isfinite(zoom))
        return kActualSize;
    return std::clamp(zoom, kActualSize, mostZoom(screenSize));
}

double zoomedIn(double zoom, int screenSize)
{
    const double scale = sizeScale(screenSize);
    const double shown = bounded(zoom, screenSize) * scale;
    for (const double step : kTimesNormal)
        if (step > shown + kSameStep)
            return bounded(step / scale, screenSize);
    return mostZoom(screenSize);
}

double zoomedOut(double zoom, int screenSize)
{
    const double scale = sizeScale(screenSize);
    const double shown = bounded(zoom, screenSize) * scale;
    for (auto step = kTimesNormal.rbegin(); step != kTimesNormal.rend(); ++step)
        if (*step < shown - kSameStep)
            return bounded(*step / scale, screenSize);
    return kActualSize;
}

} // namespace ZoomSteps
