#include "viewgeometry.h"

#include "picturestate.h"

#include <cmath>

QSize displaySize(int screenSize, int aspectCorrect)
{
    int base = 562;
    if (aspectCorrect == 1)
        base = 506;
    else if (aspectCorrect == 2)
        base = 474;

    switch (screenSize) {
    case 0:
        return QSize(int((float(base) - 0.5f) * 0.5f + 0.5f), 192);
    case 2:
        return QSize(2 * base, 768);
    default:
        return QSize(base, 384);
    }
}

QPoint mapToPicture(QPoint widgetPos, int screenSize, int aspectCorrect)
{
    int x = widgetPos.x();
    int y = widgetPos.y();
    switch (screenSize) {
    case 0:
        x = 2 * x;
        break;
    case 1:
        y = y / 2;
        break;
    case 2:
        x = x / 2;
        y = y / 4;
        break;
    default:
        break;
    }
    // The render columns were squeezed by the aspect correction; undo it.
    if (aspectCorrect == 1)
        x = int(double(x) / 0.9);
    else if (aspectCorrect == 2)
        x = int(double(x) / 0.84);
    return QPoint(x, y);
}

QRect widgetRowsShowing(int first, int last, QSize widgetSize)
{
    if (first > last)
        return QRect();
    // A smoothed widget row blends the two frame rows nearest its centre, so
    // a frame row reaches up to one row beyond its own place; two widget
    // rows more cover the painter's rounding.
    const double scale = widgetSize.height() / double(kFrameHeight);
    const int top = int(std::floor((first - 0.5) * scale - 0.5)) - 2;
    const int bottom = int(std::ceil((last + 1.5) * scale - 0.5)) + 2;
    return QRect(0, top, widgetSize.width(), bottom - top + 1) & QRect(QPoint(0, 0), widgetSize);
}
