#pragma once

#include "linearimage.h"

#include <QImage>

// How near a rendered frame comes to the image it was made from, as a
// viewer sees both: the image's centred 4:3 part at 560 x 384, against the
// frame's columns 0 to 559 with each scan line two rows tall.
struct PictureScore {
    double blurred = 0;    // mean CIEDE2000 after a Gaussian blur (1.5 dots across, 0.75 scan line down) in linear light
    double sharp = 0;      // mean CIEDE2000 without the blur
    double ssim = 0;       // SSIM of the L* lightness
};

// reference: 560 x 384 in linear light; frame: the renderer's 562 x 192.
PictureScore scoreFrame(const LinearImage &reference, const QImage &frame);

// CIEDE2000 between two L*a*b* colours.
double ciede2000(const std::array<float, 3> &a, const std::array<float, 3> &b);
