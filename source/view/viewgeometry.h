#pragma once

#include "zoomsteps.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

// Where the 562 x 192 frame lies in the picture widget for a screen size
// (0 half, 1 normal, 2 double), an aspect correction (0 none, 1 standard
// 0.9, 2 DV 0.84) and a zoom on top of the size. Unknown sizes and aspects
// are normal size and no correction. The frame is stretched over the whole
// widget, and a widget pixel shows the frame column and row under its
// centre, as the painter draws it unsmoothed.
class ViewGeometry {
public:
    ViewGeometry(int screenSize, int aspectCorrect, double zoom = ZoomSteps::kActualSize);

    QSize widgetSize() const { return m_size; }
    // How many times normal size the frame is shown at.
    double magnification() const { return m_magnification; }

    // The frame column and row shown by the widget pixel at pos; positions
    // off the widget give columns and rows off the frame.
    QPoint frameAt(QPointF widgetPos) const;
    // The widget pixels that show the frame columns and rows of frameRect;
    // empty when the view is too small to show any of them.
    QRect widgetRect(const QRect &frameRect) const;
    // The frame columns and rows shown in the widget pixels of widgetRect.
    QRect frameRect(const QRect &widgetRect) const;

    // The rows of the widget that show frame rows first to last, smoothed or
    // not: the whole width, as the painter steps a smoothed stretch along
    // each row from its left end, and a row painted from elsewhere can
    // differ in its last bit.
    QRect widgetRowsShowing(int first, int last) const;

    // Which of count units stretched over span pixels pixel p shows: the
    // one under its centre, floor((p + 1/2) * count / span).
    static int unitUnder(int p, int count, int span);

    // The largest zoom at which the widget fits in a viewport of the given
    // size, within the zoom range of the screen size.
    static double fittingZoom(QSize viewport, int screenSize, int aspectCorrect);

private:
    int firstPixelOfColumn(int column) const;
    int firstPixelOfRow(int row) const;

    QSize m_size;
    double m_magnification;
};
