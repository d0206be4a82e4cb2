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

    void showOverlay(const QImage &image);
    void hideOverlay();
    bool overlayVisible() const { return m_overlayVisible; }
    const QImage &overlayImage() const { return m_overlayImage; }

Q_SIGNALS:
    void statusMessage(const QString &msg);
    void overlayClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    PictureState m_state;
    QImage m_image;
    QImage m_overlayImage;
    bool m_overlayVisible = false;
};
