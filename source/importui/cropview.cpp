#include "cropview.h"

#include "framing.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int kThumbnailWidth = 320;
constexpr int kThumbnailHeight = 240;

} // namespace

CropView::CropView(const QImage &image, QWidget *parent)
    : QWidget(parent)
    , m_thumbnail(image.scaled(kThumbnailWidth, kThumbnailHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation))
    , m_imageSize(image.size())
{
    setMinimumSize(kThumbnailWidth, kThumbnailHeight);
    setCursor(Qt::OpenHandCursor);
}

QSize CropView::sizeHint() const
{
    return QSize(kThumbnailWidth, kThumbnailHeight);
}

void CropView::setFraming(ImportFit fit, double cropX, double cropY)
{
    m_fit = fit;
    m_cropX = cropX;
    m_cropY = cropY;
    update();
}

QRectF CropView::imageRect() const
{
    const QSizeF shown = QSizeF(m_thumbnail.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

QRectF CropView::outline() const
{
    const QRectF shown = imageRect();
    const Framing f = frameFor(m_imageSize, m_fit, m_cropX, m_cropY);
    const double sx = shown.width() / std::max(1, m_imageSize.width());
    const double sy = shown.height() / std::max(1, m_imageSize.height());
    return QRectF(shown.x() + f.source.x() * sx, shown.y() + f.source.y() * sy, f.source.width() * sx,
                  f.source.height() * sy);
}

void CropView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QRectF shown = imageRect();
    p.drawImage(shown, m_thumbnail);
    const QRectF crop = outline();
    // Dim what the screen will not show.
    QPainterPath outside;
    outside.addRect(shown);
    outside.addRect(crop);
    p.fillPath(outside, QColor(0, 0, 0, 140));
    p.setPen(QPen(Qt::white, 2, Qt::DashLine));
    p.drawRect(crop.adjusted(1, 1, -1, -1));
}

void CropView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_fit != ImportFit::Crop)
        return;
    m_dragging = true;
    m_dragFrom = event->position();
    m_fromX = m_cropX;
    m_fromY = m_cropY;
    setCursor(Qt::ClosedHandCursor);
}

void CropView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    // The outline moves with the pointer: its free travel, left edge to
    // right edge, is the crop's range from -1 to 1.
    const QRectF shown = imageRect();
    const QRectF crop = outline();
    const QPointF moved = event->position() - m_dragFrom;
    const double freeX = shown.width() - crop.width();
    const double freeY = shown.height() - crop.height();
    const double x = freeX > 0.5 ? std::clamp(m_fromX + 2 * moved.x() / freeX, -1.0, 1.0) : m_cropX;
    const double y = freeY > 0.5 ? std::clamp(m_fromY + 2 * moved.y() / freeY, -1.0, 1.0) : m_cropY;
    if (x == m_cropX && y == m_cropY)
        return;
    m_cropX = x;
    m_cropY = y;
    update();
    emit cropMoved(x, y);
}

void CropView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    setCursor(Qt::OpenHandCursor);
    emit dragFinished();
}
