#pragma once

#include "importsettings.h"
#include "linearimage.h"
#include "picturestate.h"

#include <QRectF>
#include <QSizeF>

// The Apple II screen is 4:3: 560 dots across, each about half as wide as a
// scan line is tall, and 192 scan lines.
constexpr double kScreenAspect = 4.0 / 3.0;

// Which part of the image is shown (in the image's pixels) and where it
// lands on the screen (0 to 1 across and down).
struct Framing {
    QRectF source;
    QRectF screen;
};

Framing frameFor(QSizeF image, ImportFit fit, double cropX, double cropY);

// The screen's scan lines' worth of the image, 560 x 192 (or another grid
// over the same screen), each pixel the average of the image over the area
// it covers (a dot is a narrow box, a scan line a tall one), black where the
// framing leaves a border. The framing's source rectangle is in pixels of
// which image's each cover scale (across, down).
LinearImage resampleToScreen(const LinearImage &image, const Framing &framing, const QSizeF &scale,
                             int width = kDhgrDots, int height = kScanLines);
