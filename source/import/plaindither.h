#pragma once

#include "importsettings.h"
#include "linearimage.h"
#include "picturedots.h"

// The plain way to fill a screen, as most converters see it: DHGR as 140
// cells to a line, each one of the palette's 16 colours; HGR as 140 pairs
// of dots, black, white or one of the two colours of the palette bit that
// fits the byte best; monochrome as dots lit or not. Each place takes the
// nearest colour (in L*a*b*) to what it should show, and with
// Floyd-Steinberg or Atkinson the difference, in linear light, is spread
// over the places not yet done. The colours are those of the view's
// palette slot (or tint, for monochrome targets).
PictureDots ditherPlain(const LinearImage &screen, ImportTarget target, ImportDither dither, const ViewOptions &view);
