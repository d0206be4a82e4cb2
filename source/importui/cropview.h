#pragma once

#include "importsettings.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

// The image to import, small, with the part that goes on the screen
// outlined. With crop to fill, the outline can be dragged along the axis
// where the image is too long for 4:3.
class CropView : public QWidget {
    Q_OBJECT

public:
    explicit CropView(const QImage &image, QWidget *parent = nullptr);

    void setFraming(ImportFit fit, double cropX, double cropY);
    double cropX() const { return m_cropX; }
    double cropY() const { return m_cropY; }
    bool isDragging() const { return m_dragging; }

    // Where the outline is drawn, in the widget's pixels.
    QRectF outline() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void cropMoved(double cropX, double cropY);
    void dragFinished();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRectF imageRect() const;

    QImage m_thumbnail;
    QSize m_imageSize;
    ImportFit m_fit = ImportFit::Crop;
    double m_cropX = 0;
    double m_cropY = 0;
    bool m_dragging = false;
    QPointF m_dragFrom;
    double m_fromX = 0;
    double m_fromY = 0;
};
