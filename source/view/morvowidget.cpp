#include "morvowidget.h"

#include "pictureedit.h"
#include "pictureloader.h"
#include "pointerreadout.h"
#include "render.h"
#include "rowbase.h"
#include "sharpstretch.h"
#include "textscreen.h"
#include "viewgeometry.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace {

// The dot grid shows from four times the normal size on, where a dot is
// four pixels wide and a scan line eight pixels high.
constexpr double kDotGridMagnification = 4.0;

} // namespace

MorvoWidget::MorvoWidget(QWidget *parent)
    : QWidget(parent)
    , m_ownState(std::make_unique<PictureState>())
    , m_state(*m_ownState)
{
    setUp();
}

MorvoWidget::MorvoWidget(PictureState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
{
    setUp();
}

void MorvoWidget::setUp()
{
    setAcceptDrops(true);
    setAttribute(Qt::WA_MouseTracking);
    setCursor(Qt::CrossCursor);
    refresh();
}

MorvoWidget::~MorvoWidget() = default;

QImage MorvoWidget::exportImage() const
{
    return m_image.scaled(kFrameWidth, 2 * kFrameHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void MorvoWidget::refresh()
{
    renderPicture(m_state, m_image);
    const QRect changed = changedFrameRows();
    m_drawnFrom = m_state;
    m_drawn = true;
    m_screenImageStale |= changed;

    // A larger screen size leaves less room to zoom.
    const double zoom = ZoomSteps::bounded(m_zoom, m_state.screenSize);
    const bool zoomMoved = zoom != m_zoom;
    m_zoom = zoom;
    const ViewGeometry view = geometry();
    const QSize size = view.widgetSize();
    const bool resized = size != this->size();
    setFixedSize(size);
    if (resized)
        update();
    else if (!changed.isEmpty())
        update(view.widgetRowsShowing(changed.top(), changed.bottom()));
    if (zoomMoved)
        Q_EMIT zoomChanged(m_zoom);
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

QSize MorvoWidget::displaySize() const { return geometry().widgetSize(); }

ViewGeometry MorvoWidget::geometry() const
{
    return ViewGeometry(m_state.screenSize, m_state.aspectCorrect, m_zoom);
}

QPoint MorvoWidget::mapToPicture(QPoint widgetPos) const { return dotAt(QPointF(widgetPos)); }

// The frame shows DHGR dot d in column d + firstDotColumn.
QPoint MorvoWidget::dotAt(QPointF widgetPos) const
{
    return geometry().frameAt(widgetPos) - QPoint(firstDotColumn(m_state), 0);
}

void MorvoWidget::setZoom(double zoom)
{
    const double before = m_zoom;
    m_zoom = ZoomSteps::bounded(zoom, m_state.screenSize);
    if (m_zoom == before)
        return;
    refresh();
    Q_EMIT zoomChanged(m_zoom);
}

void MorvoWidget::zoomIn() { setZoom(ZoomSteps::zoomedIn(m_zoom, m_state.screenSize)); }

void MorvoWidget::zoomOut() { setZoom(ZoomSteps::zoomedOut(m_zoom, m_state.screenSize)); }

void MorvoWidget::setDotGrid(bool shown)
{
    if (shown == m_dotGrid)
        return;
    m_dotGrid = shown;
    update();
}

void MorvoWidget::setTool(Tool tool)
{
    // A step in progress ends as the tool that began it.
    endStep();
    m_tool = tool;
}

void MorvoWidget::setPencilColor(int colour) { m_pencilColor = colour & 15; }

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

void MorvoWidget::renderTextScreen(const QString &text, const QString &fontFamily)
{
    ::renderTextScreen(m_state, text, fontFamily);
    refresh();
}

void MorvoWidget::showOverlay(const QImage &image)
{
    // The overlay takes the mouse: a stroke in progress ends here.
    endStep();
    m_overlayImage = image;
    m_overlayVisible = true;
    Q_EMIT pointerReadout(QString());
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
    if (event->button() != Qt::LeftButton || m_drawing) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (m_tool == Tool::Eyedropper) {
        const int colour = colorSeenAt(m_state, dotAt(event->position()));
        if (colour >= 0)
            Q_EMIT colorPicked(colour);
        return;
    }
    Q_EMIT changeStarting();
    // The tools draw in double hi-res only: an HGR picture becomes DHGR at
    // the first press, and the press is placed on the DHGR frame.
    ::convertToDhgr(m_state);
    m_drawing = true;
    m_pressPoint = m_lastPoint = dotAt(event->position());
    m_pressPicture = PictureSnapshot::of(m_state);
    if (m_tool == Tool::Fill)
        floodFill(m_state, m_pressPoint, m_pencilColor);
    else if (m_tool != Tool::Pencil)
        drawTo(m_pressPoint);
    refresh();
}

// Takes the step on to a point: the pencil draws on from where the mouse
// last was, even off the picture; the shapes are drawn anew from the press.
void MorvoWidget::drawTo(QPoint point)
{
    if (m_tool == Tool::Pencil) {
        drawPencilLine(m_state, m_lastPoint, point, m_pencilColor);
    } else if (const ShapeDrawing draw = shapeDrawing(m_tool)) {
        m_pressPicture.applyTo(m_state);
        draw(m_state, m_pressPoint, point, m_pencilColor);
    }
    m_lastPoint = point;
}

void MorvoWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = dotAt(event->position());
    if (m_drawing) {
        drawTo(point);
        refresh();
    } else if (m_tool == Tool::Eyedropper && (event->buttons() & Qt::LeftButton) && !m_overlayVisible) {
        const int colour = colorSeenAt(m_state, point);
        if (colour >= 0)
            Q_EMIT colorPicked(colour);
    } else {
        QWidget::mouseMoveEvent(event);
    }
    if (!m_overlayVisible)
        Q_EMIT pointerReadout(PointerReadout::at(m_state, point).text());
}

void MorvoWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_drawing) {
        // The shapes end where the button is let go; the pencil has drawn
        // up to the last move.
        if (m_tool != Tool::Pencil)
            drawTo(dotAt(event->position()));
        endStep();
        refresh();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void MorvoWidget::endStep()
{
    if (!m_drawing)
        return;
    m_drawing = false;
    Q_EMIT changeFinished(QCoreApplication::translate("Tool", toolInfo(m_tool).stepName));
}

void MorvoWidget::leaveEvent(QEvent *event)
{
    Q_EMIT pointerReadout(QString());
    QWidget::leaveEvent(event);
}

void MorvoWidget::paintEvent(QPaintEvent *event)
{
    // Only what is exposed is painted: zoomed in, the widget is far larger
    // than the scroll area that shows it.
    const QRect exposed = event->rect();
    QPainter painter(this);
    painter.setClipRect(exposed);
    painter.fillRect(exposed, QColor(64, 64, 64));
    const QRect all = rect();
    const QRect part = exposed & all;
    if (m_overlayVisible && !m_overlayImage.isNull()) {
        painter.drawImage(part.topLeft(), stretchedPart(m_overlayImage, all.size(), part));
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
    if (m_state.aspectCorrect != 0) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(all, m_screenImage);
    } else {
        painter.drawImage(part.topLeft(), stretchedPart(m_screenImage, all.size(), part));
    }
    if (m_dotGrid && geometry().magnification() >= kDotGridMagnification)
        paintDotGrid(painter, exposed);
}

// A line of pixels along the first pixel column of every frame column and
// the first pixel row of every frame row that shows in the exposed part.
void MorvoWidget::paintDotGrid(QPainter &painter, const QRect &exposed) const
{
    // Set off from any colour: darker over light dots, lighter over dark.
    const QColor line(80, 80, 80);
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    const ViewGeometry view = geometry();
    const QRect frame = view.frameRect(exposed);
    for (int column = frame.left(); column <= frame.right(); ++column) {
        const int x = view.widgetRect(QRect(column, 0, 1, 1)).left();
        painter.fillRect(QRect(x, exposed.top(), 1, exposed.height()), line);
    }
    for (int row = frame.top(); row <= frame.bottom(); ++row) {
        const int y = view.widgetRect(QRect(0, row, 1, 1)).top();
        painter.fillRect(QRect(exposed.left(), y, exposed.width(), 1), line);
    }
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
