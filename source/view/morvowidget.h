#pragma once

#include "picturestate.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

// The picture view: owns the picture and its view options, renders the frame
// and shows it stretched to the chosen size and aspect. An overlay image can
// be laid over the picture (the boot screens use it).
class MorvoWidget : public QWidget {
    Q_OBJECT

public:
    explicit MorvoWidget(QWidget *parent = nullptr);
    ~MorvoWidget() override;

    PictureState &state() { return m_state; }
    const PictureState &state() const { return m_state; }
    const QImage &image() const { return m_image; }

    // Renders the picture with the current view options, fixes the widget's
    // size to displaySize() and repaints.
    void refresh();
    QSize displaySize() const;
    QPoint mapToPicture(QPoint widgetPos) const;

    // Loads a picture file by its size; on failure the picture stays as it
    // was and the reason goes to statusMessage. Returns whether it loaded.
    bool loadPicture(const QString &path);

    // Whole-picture operations; each re-renders.
    void convertToDhgr();
    void shiftPicture(bool left);
    void clearPicture();
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

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QRect changedFrameRows() const;

    PictureState m_state;
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
    bool m_drawing = false;
    QPoint m_lastPoint;
    QImage m_overlayImage;
    bool m_overlayVisible = false;
};
