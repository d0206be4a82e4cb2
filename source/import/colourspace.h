#pragma once

#include "linearimage.h"

#include <QRgb>

#include <array>

// sRGB's transfer curve, both ways, on values from 0 to 1.
float srgbToLinear(float v);
float linearToSrgb(float v);

// The linear value of each 8-bit sRGB value.
const std::array<float, 256> &linearOfByte();

LinearRgb linearOf(QRgb colour);
QRgb rgbOf(const LinearRgb &colour);

// Relative luminance (Rec. 709 primaries, as sRGB's).
float luminance(const LinearRgb &c);

// CIE L*a*b* (D65 white) of a linear sRGB colour.
std::array<float, 3> labOf(const LinearRgb &c);

// How far apart two nearby colours are seen: for a small change d of c,
// the square of its CIEDE2000 difference is about d' W d. W is symmetric;
// the six numbers are W00, W01, W02, W11, W12, W22.
using LabMetric = std::array<float, 6>;
LabMetric differenceMetricAt(const LinearRgb &c);

inline float weighedSquare(const LabMetric &w, float d0, float d1, float d2)
{
    return w[0] * d0 * d0 + w[3] * d1 * d1 + w[5] * d2 * d2 + 2 * (w[1] * d0 * d1 + w[2] * d0 * d2 + w[4] * d1 * d2);
}
