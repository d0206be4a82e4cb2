#include "pictureview.h"

#include "morvowidget.h"
#include "viewgeometry.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace {

// One notch of a common wheel.
constexpr int kWheelStep = 120;

} // namespace

PictureView::PictureView(MorvoWidget *picture, QWidget *parent)
    : QScrollArea(parent)
    , m_picture(picture)
{
    setWidget(picture);
    setWidgetResizable(false);
    setAlignment(Qt::AlignCenter);
}

void PictureView::zoomIn()
{
    keepingPointAt(viewportMiddle(), [this] { m_picture->zoomIn(); });
}

void PictureView::zoomOut()
{
    keepingPointAt(viewportMiddle(), [this] { m_picture->zoomOut(); });
}

void PictureView::actualSize() { zoomAround(ZoomSteps::kActualSize, viewportMiddle()); }

void PictureView::fitToWindow()
{
    // Without scroll bars the viewport has all the room the window gives.
    const QSize room = maximumViewportSize();
    const PictureState &state = m_picture->state();
    zoomAround(ViewGeometry::fittingZoom(room, state.screenSize, state.aspectCorrect), viewportMiddle());
}

void PictureView::zoomAround(double zoom, QPoint viewportPos)
{
    keepingPointAt(viewportPos, [this, zoom] { m_picture->setZoom(zoom); });
}

QPoint PictureView::viewportMiddle() const { return viewport()->rect().center(); }

// The picture point under the position is kept as a fraction of the
// widget's size; after the change the scroll bars bring it back under the
// position, as far as they reach.
void PictureView::keepingPointAt(QPoint viewportPos, const std::function<void()> &zoomChange)
{
    const QSize before = m_picture->size();
    const QPointF inWidget = QPointF(viewportPos - m_picture->pos()) + QPointF(0.5, 0.5);
    const double fx = inWidget.x() / std::max(before.width(), 1);
    const double fy = inWidget.y() / std::max(before.height(), 1);
    zoomChange();
    const QSize after = m_picture->size();
    if (after == before)
        return;
    // The scroll area places the widget anew as it takes its new size.
    horizontalScrollBar()->setValue(int(std::lround(fx * after.width() - 0.5 - viewportPos.x())));
    verticalScrollBar()->setValue(int(std::lround(fy * after.height() - 0.5 - viewportPos.y())));
}

void PictureView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    m_wheelAngle += event->angleDelta().y();
    // Wheel events reach the scroll area through its viewport, placed there.
    const QPoint at = event->position().toPoint();
    while (std::abs(m_wheelAngle) >= kWheelStep) {
        const bool in = m_wheelAngle > 0;
        m_wheelAngle -= in ? kWheelStep : -kWheelStep;
        keepingPointAt(at, [this, in] { in ? m_picture->zoomIn() : m_picture->zoomOut(); });
    }
}
