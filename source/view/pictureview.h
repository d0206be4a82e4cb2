#pragma once

#include <QScrollArea>

#include <functional>

class MorvoWidget;

// The scroll area that shows the picture widget: centred while it is
// smaller than the viewport, scrolled when it is larger. Ctrl with the wheel
// zooms around the pointer, and the zoom commands keep the middle of the
// view where it was, so that the dot under the pointer (or in the middle)
// stays put.
class PictureView : public QScrollArea {
    Q_OBJECT

public:
    // Takes the picture widget as its own.
    explicit PictureView(MorvoWidget *picture, QWidget *parent = nullptr);

    MorvoWidget *picture() const { return m_picture; }

    void zoomIn();
    void zoomOut();
    void actualSize();
    // The largest zoom at which the whole picture shows without scrolling.
    void fitToWindow();

    // Changes the zoom keeping the picture point under a viewport position
    // under it.
    void zoomAround(double zoom, QPoint viewportPos);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    void keepingPointAt(QPoint viewportPos, const std::function<void()> &zoomChange);
    QPoint viewportMiddle() const;

    MorvoWidget *m_picture;
    // Wheel turns not yet worth a whole step, from wheels with fine steps.
    int m_wheelAngle = 0;
};
