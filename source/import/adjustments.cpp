#include "adjustments.h"

#include "colourspace.h"

#include <algorithm>
#include <cmath>

namespace {

// sRGB values to linear ones, finely enough that the steps never show
// after dithering.
constexpr int kSteps = 4096;

const std::array<float, kSteps + 1> &linearOfStep()
{
    static const std::array<float, kSteps + 1> table = [] {
        std::array<float, kSteps + 1> t{};
        for (int i = 0; i <= kSteps; ++i)
            t[size_t(i)] = srgbToLinear(float(i) / kSteps);
        return t;
    }();
    return table;
}

} // namespace

QRect screenArea(const QRectF &screen, int w, int h)
{
    const int left = int(std::floor(screen.left() * w + 1e-9));
    const int top = int(std::floor(screen.top() * h + 1e-9));
    const int right = int(std::ceil(screen.right() * w - 1e-9));
    const int bottom = int(std::ceil(screen.bottom() * h - 1e-9));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(QRect(0, 0, w, h));
}

void adjustColours(LinearImage &image, const ImportSettings &s, const QRect &area)
{
    const float brightness = float(s.brightness) / 200.0f;
    const float contrast = float(100 + s.contrast) / 100.0f;
    const float saturation = float(100 + s.saturation) / 100.0f;
    const float inverseGamma = float(1.0 / std::clamp(s.gamma, 0.2, 5.0));
    const bool plain = s.brightness == 0 && s.contrast == 0 && s.saturation == 0 && s.gamma == 1.0;
    const auto &toLinear = linearOfStep();
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            LinearRgb &p = image.at(x, y);
            if (!area.contains(x, y)) {
                p = {0, 0, 0};
                continue;
            }
            if (plain)
                continue;
            float v[3];
            for (int c = 0; c < 3; ++c)
                v[c] = (linearToSrgb(p[size_t(c)]) - 0.5f) * contrast + 0.5f + brightness;
            const float grey = 0.2126f * v[0] + 0.7152f * v[1] + 0.0722f * v[2];
            for (int c = 0; c < 3; ++c) {
                const float e = std::clamp(grey + (v[c] - grey) * saturation, 0.0f, 1.0f);
                const float g = inverseGamma == 1.0f ? e : std::pow(e, inverseGamma);
                p[size_t(c)] = toLinear[size_t(std::lround(g * kSteps))];
            }
        }
    }
}

void toMonochrome(LinearImage &image, const LinearRgb &tint)
{
    for (LinearRgb &p : image.pixels) {
        const float y = std::min(luminance(p), 1.0f);
        p = {y * tint[0], y * tint[1], y * tint[2]};
    }
}
