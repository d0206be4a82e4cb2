#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

// A part of an image stretched pixel sharp over a widget of the given size:
// each widget pixel of the part takes the image pixel under its centre
// (ViewGeometry::unitUnder). Only the part is made, so a picture zoomed far
// larger than the window costs what the window shows; and as the pointer
// maps to dots by the same rule, it always lands on the dot drawn under it.
QImage stretchedPart(const QImage &image, QSize widgetSize, const QRect &part);
