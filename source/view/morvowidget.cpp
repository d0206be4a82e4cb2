#include "morvowidget.h"

#include "pictureedit.h"
#include "pictureloader.h"
#include "render.h"
#include "rowbase.h"
#include "textscreen.h"
#include "viewgeometry.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <cstring>

MorvoWidget::MorvoWidget(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setAttribute(Qt::WA_MouseTracking);
    setCursor(Qt::CrossCursor);
    refresh();
}

MorvoWidget::~MorvoWidget() = default;

void MorvoWidget::refresh()
{
    renderPicture(m_state, m_image);
    const QRect changed = changedFrameRows();
    m_drawnFrom = m_state;
    m_drawn = true;
    m_screenImageStale |= changed;

    const QSize size = displaySize();
    const bool resized = size != this->size();
    setFixedSize(size);
    if (resized)
        update();
    else if (!changed.isEmpty())
        update(widgetRowsShowing(changed.top(), changed.bottom(), size));
}

// The frame rows, the whole width, that may differ from the frame drawn before.
QRect MorvoWidget::changedFrameRows() const
{
    const QRect whole(0, 0, kFrameWidth, kFrameHeight);
    const PictureState &was = m_drawnFrom;
    if (!m_drawn || was.isDhgr != m_state.isDhgr || was.viewOptions() != m_state.viewOptions()
        || std::memcmp(was.palettes.data(), m_state.palettes.data(), sizeof m_state.palettes) != 0)
        return whole;
    int first = kScanLines, last = -1;
    for (int y = 0; y < kScanLines; ++y) {
        const size_t base = rowBaseTable[size_t(y)];
        if (std::memcmp(was.auxMemory.data() + base, m_state.auxMemory.data() + base, kBytesPerLine) != 0
            || std::memcmp(was.mainMemory.data() + base, m_state.mainMemory.data() + base, kBytesPerLine) != 0) {
            first = std::min(first, y);
            last = y;
        }
    }
    return last < 0 ? QRect() : QRect(0, first, kFrameWidth, last - first + 1);
}

QSize MorvoWidget::displaySize() const
{
    return ::displaySize(m_state.screenSize, m_state.aspectCorrect);
}

QPoint MorvoWidget::mapToPicture(QPoint widgetPos) const
{
    return ::mapToPicture(widgetPos, m_state.screenSize, m_state.aspectCorrect);
}

bool MorvoWidget::loadPicture(const QString &path)
{
    const PictureFile file = readPictureFile(path);
    if (!applyPictureFile(file, m_state)) {
        Q_EMIT statusMessage(tr("Not loaded: %1").arg(file.error));
        return false;
    }
    refresh();
    Q_EMIT statusMessage(tr("Loaded: %1").arg(path));
    return true;
}

void MorvoWidget::convertToDhgr()
{
    ::convertToDhgr(m_state);
    refresh();
}

void MorvoWidget::shiftPicture(bool left)
{
    ::shiftPicture(m_state, left);
    refresh();
}

void MorvoWidget::clearPicture()
{
    m_state.clearMemory();
    refresh();
}

void MorvoWidget::renderTextScreen(const QString &text, const QString &fontFamily)
{
    ::renderTextScreen(m_state, text, fontFamily);
    refresh();
}

void MorvoWidget::showOverlay(const QImage &image)
{
    // The overlay takes the mouse: a stroke in progress ends here.
    m_drawing = false;
    m_overlayImage = image;
    m_overlayVisible = true;
    update();
}

void MorvoWidget::hideOverlay()
{
    m_overlayVisible = false;
    m_overlayImage = QImage();
    update();
}

void MorvoWidget::mousePressEvent(QMouseEvent *event)
{
    if (m_overlayVisible) {
        Q_EMIT overlayClicked();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The pencil paints in double hi-res only.
    if (!m_state.isDhgr)
        convertToDhgr();
    m_drawing = true;
    m_lastPoint = mapToPicture(event->position().toPoint());
    setCursor(Qt::CrossCursor);
}

void MorvoWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_drawing) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    // The line runs from where the mouse really was, even off the picture.
    const QPoint point = mapToPicture(event->position().toPoint());
    drawPencilLine(m_state, m_lastPoint, point, pencilColor);
    m_lastPoint = point;
    refresh();
}

void MorvoWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_drawing = false;
        refresh();
    }
    QWidget::mouseReleaseEvent(event);
}

void MorvoWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect all = rect();
    painter.fillRect(all, QColor(64, 64, 64));
    if (m_overlayVisible && !m_overlayImage.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(all, m_overlayImage);
        return;
    }
    if (m_image.isNull())
        return;
    if (m_screenImage.isNull() || m_screenImage.size() != m_image.size()) {
        m_screenImage = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else if (!m_screenImageStale.isEmpty()) {
        QPainter copy(&m_screenImage);
        copy.setCompositionMode(QPainter::CompositionMode_Source);
        copy.drawImage(m_screenImageStale.topLeft(), m_image, m_screenImageStale);
    }
    m_screenImageStale = QRect();
    // The aspect corrections squeeze 562 columns into fewer; smoothing
    // keeps the squeezed dots even. Without correction, stay pixel sharp.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_state.aspectCorrect != 0);
    painter.drawImage(all, m_screenImage);
}

void MorvoWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MorvoWidget::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile()) {
            Q_EMIT fileDropped(url.toLocalFile());
            return;
        }
    }
}
