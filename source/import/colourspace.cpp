#include "colourspace.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// sRGB primaries to CIE XYZ, white D65.
constexpr float kToXyz[3][3] = {
    {0.4124564f, 0.3575761f, 0.1804375f},
    {0.2126729f, 0.7151522f, 0.0721750f},
    {0.0193339f, 0.1191920f, 0.9503041f},
};
constexpr float kWhite[3] = {0.95047f, 1.0f, 1.08883f};

// L*a*b*'s cube root, straightened near black.
constexpr float kLabEdge = 216.0f / 24389.0f;
constexpr float kLabSlope = 24389.0f / 27.0f / 116.0f;

float labCurve(float t)
{
    return t > kLabEdge ? std::cbrt(t) : kLabSlope * t + 16.0f / 116.0f;
}

float labCurveSlope(float t)
{
    return t > kLabEdge ? 1.0f / (3.0f * std::cbrt(t) * std::cbrt(t)) : kLabSlope;
}

} // namespace

float srgbToLinear(float v)
{
    return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
}

float linearToSrgb(float v)
{
    v = std::clamp(v, 0.0f, 1.0f);
    return v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
}

const std::array<float, 256> &linearOfByte()
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = srgbToLinear(float(i) / 255.0f);
        return t;
    }();
    return table;
}

LinearRgb linearOf(QRgb colour)
{
    const auto &lin = linearOfByte();
    return {lin[size_t(qRed(colour))], lin[size_t(qGreen(colour))], lin[size_t(qBlue(colour))]};
}

QRgb rgbOf(const LinearRgb &c)
{
    const auto byte = [](float v) { return int(std::lround(linearToSrgb(v) * 255.0f)); };
    return qRgb(byte(c[0]), byte(c[1]), byte(c[2]));
}

float luminance(const LinearRgb &c)
{
    return kToXyz[1][0] * c[0] + kToXyz[1][1] * c[1] + kToXyz[1][2] * c[2];
}

std::array<float, 3> labOf(const LinearRgb &c)
{
    float f[3];
    for (int i = 0; i < 3; ++i)
        f[i] = labCurve(std::max(0.0f, kToXyz[i][0] * c[0] + kToXyz[i][1] * c[1] + kToXyz[i][2] * c[2]) / kWhite[i]);
    return {116.0f * f[1] - 16.0f, 500.0f * (f[0] - f[1]), 200.0f * (f[1] - f[2])};
}

namespace {

// The metric on a grid of colours, even in the square root of each linear
// channel (close to even as people see it): between grid points it changes
// slowly, and looking it up costs far less than working it out.
constexpr int kMetricSteps = 32;

LabMetric differenceMetricOf(const LinearRgb &c)
{
    // The Jacobian of L*a*b* in the linear channels, J = D S M: M to XYZ,
    // S the curve's slope over the white, D the differences L*a*b* takes.
    float s[3];
    for (int i = 0; i < 3; ++i) {
        const float xyz = std::max(0.0f, kToXyz[i][0] * c[0] + kToXyz[i][1] * c[1] + kToXyz[i][2] * c[2]);
        s[i] = labCurveSlope(xyz / kWhite[i]) / kWhite[i];
    }
    float j[3][3];
    for (int k = 0; k < 3; ++k) {
        const float fx = s[0] * kToXyz[0][k], fy = s[1] * kToXyz[1][k], fz = s[2] * kToXyz[2][k];
        j[0][k] = 116.0f * fy;
        j[1][k] = 500.0f * (fx - fy);
        j[2][k] = 200.0f * (fy - fz);
    }
    // CIEDE2000 near this colour: a* stretched for greys, then lightness,
    // chroma and hue differences each over its own tolerance (the rotation
    // term, which only matters among blues, left out).
    const auto lab = labOf(c);
    const float chroma = std::hypot(lab[1], lab[2]);
    const float c7 = std::pow(chroma, 7.0f);
    const float stretch = 1.5f - 0.5f * std::sqrt(c7 / (c7 + 6103515625.0f));  // 25^7
    const float a = stretch * lab[1], b = lab[2];
    const float cp = std::hypot(a, b);
    const float hue = std::atan2(b, a);
    const float hueDegrees = hue * 57.29578f;
    const float t = 1 - 0.17f * std::cos((hueDegrees - 30) / 57.29578f) + 0.24f * std::cos(2 * hue)
        + 0.32f * std::cos((3 * hueDegrees + 6) / 57.29578f) - 0.20f * std::cos((4 * hueDegrees - 63) / 57.29578f);
    const float l50 = (lab[0] - 50) * (lab[0] - 50);
    const float sl = 1 + 0.015f * l50 / std::sqrt(20 + l50);
    const float sc = 1 + 0.045f * cp;
    const float sh = 1 + 0.015f * cp * t;
    const float cosh = cp > 0 ? a / cp : 1, sinh = cp > 0 ? b / cp : 0;
    const float d[3][3] = {
        {1 / sl, 0, 0},
        {0, stretch * cosh / sc, sinh / sc},
        {0, -stretch * sinh / sh, cosh / sh},
    };
    float m[3][3];
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k)
            m[r][k] = d[r][0] * j[0][k] + d[r][1] * j[1][k] + d[r][2] * j[2][k];
    const auto dot = [&m](int x, int y) { return m[0][x] * m[0][y] + m[1][x] * m[1][y] + m[2][x] * m[2][y]; };
    return {dot(0, 0), dot(0, 1), dot(0, 2), dot(1, 1), dot(1, 2), dot(2, 2)};
}

} // namespace

LabMetric differenceMetricAt(const LinearRgb &c)
{
    static const std::vector<LabMetric> grid = [] {
        std::vector<LabMetric> g(size_t(kMetricSteps * kMetricSteps * kMetricSteps));
        for (int r = 0; r < kMetricSteps; ++r)
            for (int gr = 0; gr < kMetricSteps; ++gr)
                for (int b = 0; b < kMetricSteps; ++b) {
                    const auto level = [](int i) { const float v = float(i) / (kMetricSteps - 1); return v * v; };
                    g[size_t((r * kMetricSteps + gr) * kMetricSteps + b)] = differenceMetricOf({level(r), level(gr), level(b)});
                }
        return g;
    }();
    const auto step = [](float v) { return std::clamp(int(std::lround(std::sqrt(std::max(v, 0.0f)) * (kMetricSteps - 1))), 0, kMetricSteps - 1); };
    return grid[size_t((step(c[0]) * kMetricSteps + step(c[1])) * kMetricSteps + step(c[2]))];
}
