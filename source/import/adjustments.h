#pragma once

#include "importsettings.h"
#include "linearimage.h"

#include <QRect>

// Brightness, contrast, saturation and gamma, worked on the sRGB values as
// a person judges them, for the pixels inside area; the border around it
// stays black.
void adjustColours(LinearImage &image, const ImportSettings &settings, const QRect &area);

// The pixels a framing's screen rectangle (0 to 1) touches on a w x h image.
QRect screenArea(const QRectF &screen, int w, int h);

// A monochrome screen shows only how bright each place is, in its tint.
void toMonochrome(LinearImage &image, const LinearRgb &tint);
