#include "viewgeometry.h"

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
