#include "viewgeometry.h"

#include "picturestate.h"

#include <algorithm>
#include <cmath>

namespace {

// A frame row is two widget rows at normal size.
constexpr int kNormalHeight = 2 * kFrameHeight;

// The width of the frame at normal size: the aspect corrections squeeze its
// 562 columns into fewer.
int normalWidth(int aspectCorrect)
{
    switch (aspectCorrect) {
    case 1: return 506;
    case 2: return 474;
    default: return kFrameWidth;
    }
}

// Division rounding down, for positions left of or above the widget too.
qint64 floorDiv(qint64 a, qint64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The first pixel whose centre lies in unit u: ceil(u * span / count - 1/2).
int firstPixelOf(int u, int count, int span)
{
    return int(-floorDiv(-(2 * qint64(u) * span - count), 2 * qint64(count)));
}

} // namespace

ViewGeometry::ViewGeometry(int screenSize, int aspectCorrect, double zoom)
    : m_magnification(ZoomSteps::magnification(ZoomSteps::bounded(zoom, screenSize), screenSize))
{
    m_size = QSize(int(std::lround(normalWidth(aspectCorrect) * m_magnification)),
                   int(std::lround(kNormalHeight * m_magnification)));
}

int ViewGeometry::unitUnder(int p, int count, int span)
{
    return int(floorDiv((2 * qint64(p) + 1) * count, 2 * qint64(span)));
}

QPoint ViewGeometry::frameAt(QPointF widgetPos) const
{
    const int px = int(std::floor(widgetPos.x()));
    const int py = int(std::floor(widgetPos.y()));
    return QPoint(unitUnder(px, kFrameWidth, m_size.width()), unitUnder(py, kFrameHeight, m_size.height()));
}

int ViewGeometry::firstPixelOfColumn(int column) const { return firstPixelOf(column, kFrameWidth, m_size.width()); }

int ViewGeometry::firstPixelOfRow(int row) const { return firstPixelOf(row, kFrameHeight, m_size.height()); }

QRect ViewGeometry::widgetRect(const QRect &frameRect) const
{
    const int left = firstPixelOfColumn(frameRect.left());
    const int right = firstPixelOfColumn(frameRect.right() + 1) - 1;
    const int top = firstPixelOfRow(frameRect.top());
    const int bottom = firstPixelOfRow(frameRect.bottom() + 1) - 1;
    if (right < left || bottom < top)
        return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRect ViewGeometry::frameRect(const QRect &widgetRect) const
{
    if (widgetRect.isEmpty())
        return QRect();
    return QRect(frameAt(widgetRect.topLeft()), frameAt(widgetRect.bottomRight()));
}

QRect ViewGeometry::widgetRowsShowing(int first, int last) const
{
    if (first > last)
        return QRect();
    // A smoothed widget row blends the two frame rows nearest its centre, so
    // a frame row reaches up to one row beyond its own place; two widget
    // rows more cover the painter's rounding.
    const double scale = m_size.height() / double(kFrameHeight);
    const int top = int(std::floor((first - 0.5) * scale - 0.5)) - 2;
    const int bottom = int(std::ceil((last + 1.5) * scale - 0.5)) + 2;
    return QRect(0, top, m_size.width(), bottom - top + 1) & QRect(QPoint(0, 0), m_size);
}

double ViewGeometry::fittingZoom(QSize viewport, int screenSize, int aspectCorrect)
{
    const double scale = ZoomSteps::sizeScale(screenSize);
    const double across = viewport.width() / (normalWidth(aspectCorrect) * scale);
    const double down = viewport.height() / (kNormalHeight * scale);
    return ZoomSteps::bounded(std::min(across, down), screenSize);
}
