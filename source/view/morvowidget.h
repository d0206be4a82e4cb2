#pragma once

#include "picturesnapshot.h"
#include "picturestate.h"
#include "picturetools.h"
#include "zoomsteps.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <memory>

class QPainter;
class ViewGeometry;

// The picture view: owns the picture and its view options, renders the frame
// and shows it stretched to the chosen size, aspect and zoom. The left
// button uses the current tool under the pointer. An overlay image can be
// laid over the picture (the boot screens use it).

class MorvoWidget : public QWidget {
    Q_OBJECT

public:
    // A view of a picture of its own, or of one owned elsewhere (the open
    // picture's document), which must outlive the view.
    explicit MorvoWidget(QWidget *parent = nullptr);
    explicit MorvoWidget(PictureState &state, QWidget *parent = nullptr);
    ~MorvoWidget() override;

    PictureState &state() { return m_state; }
    const PictureState &state() const { return m_state; }
    const QImage &image() const { return m_image; }
    // The frame as an exported picture shows it: 562 x 384, every scan line
    // twice, whatever size, aspect and zoom the view has.
    QImage exportImage() const;

    // Renders the picture with the current view options, fixes the widget's
    // size to displaySize() and repaints.
    void refresh();
    QSize displaySize() const;
    // The dot of the 560-dot grid (and the row) shown under a widget pixel,
    // before any clipping to the picture.
    QPoint mapToPicture(QPoint widgetPos) const;

    // The zoom on top of the screen size, 1 being Actual Size: kept within
    // what the size allows (up to eight times normal), also when the size
    // changes.
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    // The grid between the dots, shown at four times normal size and above.
    bool dotGrid() const { return m_dotGrid; }
    void setDotGrid(bool shown);

    Tool tool() const { return m_tool; }
    // Ends a step in progress first.
    void setTool(Tool tool);
    // The colour index (0 to 15) the tools draw in.
    int pencilColor() const { return m_pencilColor; }
    void setPencilColor(int colour);

    // Loads a picture file by its size; on failure the picture stays as it
    // was and the reason goes to statusMessage. Returns whether it loaded.
    bool loadPicture(const QString &path);

    // Replaces the picture with a 40- or 80-column text screen drawn in the
    // given font family (the default font when it is empty).
    void renderTextScreen(const QString &text, const QString &fontFamily);

    bool isDrawing() const { return m_drawing; }
    QPoint lastPoint() const { return m_lastPoint; }

    void showOverlay(const QImage &image);
    void hideOverlay();
    bool overlayVisible() const { return m_overlayVisible; }
    const QImage &overlayImage() const { return m_overlayImage; }

Q_SIGNALS:
    void statusMessage(const QString &msg);
    void overlayClicked();
    // A local file was dropped on the picture; what it is decides what opens.
    void fileDropped(const QString &path);
    void zoomChanged(double zoom);
    // A press of a drawing tool is about to change the picture: nothing has
    // changed yet. changeFinished follows when the step is over, with its
    // name for the history ("Stroke", "Line", ...), even if in the end it
    // changed nothing.
    void changeStarting();
    void changeFinished(const QString &stepName);
    // The eyedropper's colour index (0 to 15).
    void colorPicked(int colour);
    // What lies under the pointer, for the status bar; empty off the picture.
    void pointerReadout(const QString &text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void setUp();
    QRect changedFrameRows() const;
    ViewGeometry geometry() const;
    QPoint dotAt(QPointF widgetPos) const;
    void drawTo(QPoint point);
    void endStep();
    void paintDotGrid(QPainter &painter, const QRect &exposed) const;

    std::unique_ptr<PictureState> m_ownState;
    PictureState &m_state;
    QImage m_image;
    // What the shown frame was drawn from. A frame row depends only on its
    // own scan line's bytes, the kind of picture, the view options and the
    // palettes, so after a pencil move only the rows whose bytes changed are
    // repainted, not the whole stretched frame.
    PictureState m_drawnFrom;
    bool m_drawn = false;
    // The frame in the painter's own pixel format: stretching it costs about
    // half as much as stretching the RGBA frame, and gives the same pixels.
    // The rows that changed since it was last painted are brought up to date
    // when it is next painted.
    QImage m_screenImage;
    QRect m_screenImageStale;
    double m_zoom = ZoomSteps::kActualSize;
    bool m_dotGrid = false;
    Tool m_tool = Tool::Pencil;
    int m_pencilColor = 15;
    bool m_drawing = false;
    QPoint m_pressPoint;
    QPoint m_lastPoint;
    // The picture as the press left it: the shapes are drawn anew over it
    // at each move.
    PictureSnapshot m_pressPicture;
    QImage m_overlayImage;
    bool m_overlayVisible = false;
};
