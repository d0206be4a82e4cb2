#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Widget size for a screen size (0 half, 1 normal, 2 double) and an aspect
// correction (0 none, 1 standard 0.9, 2 DV 0.84). Unknown values fall back
// to normal size and no correction.
QSize displaySize(int screenSize, int aspectCorrect);

// Widget position to a position on the 560-dot grid (row 0 to 191), before
// any clipping to the picture.
QPoint mapToPicture(QPoint widgetPos, int screenSize, int aspectCorrect);

// The rows of a widget of the given size that show frame rows first to last
// of the 562 x 192 frame stretched over it, smoothed or not: the whole width,
// as the painter steps a smoothed stretch along each row from its left end,
// and a row painted from elsewhere can differ in its last bit.
QRect widgetRowsShowing(int first, int last, QSize widgetSize);
