#pragma once

#include "picturecatalog.h"
#include "picturelocation.h"

#include <QWidget>

class QLabel;
class QListView;
class ThumbnailModel;
struct ViewOptions;

// The pictures of a disk image or a folder, for a dock or a window of its
// own: a thumbnail of each, drawn with the view options it is given, its
// path inside the image, its type and size. Enter or a double-click on a
// picture, and next() and previous(), ask for the picture to be shown by
// pictureActivated(); the browser itself shows nothing else.
class PictureBrowser : public QWidget {
    Q_OBJECT

public:
    explicit PictureBrowser(QWidget *parent = nullptr);
    ~PictureBrowser() override;

    // Lists the pictures of the disk image or folder at path and selects the
    // first. false when it could not be read at all; the reason is shown in
    // the browser and sent by statusMessage().
    bool open(const QString &path);
    void setCatalog(const PictureCatalog &catalog);
    const PictureCatalog &catalog() const;

    // The engine, palette and tint the thumbnails are drawn with; a change
    // redraws them all in the background.
    void setViewOptions(const ViewOptions &options);

    // Selects the picture at location when the browser lists it, without
    // asking for it to be shown; false when it is not listed.
    bool select(const PictureLocation &location);
    PictureLocation currentLocation() const;
    int currentRow() const;

    ThumbnailModel *model() const { return m_model; }
    QListView *view() const { return m_view; }

public Q_SLOTS:
    // Select the picture after or before the current one and ask for it to
    // be shown; false, changing nothing, at either end of the list.
    bool next();
    bool previous();

Q_SIGNALS:
    void pictureActivated(const PictureLocation &location);
    void statusMessage(const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool step(int by);
    void activate(int row);
    void drawVisibleFirst();

    QLabel *m_header;
    QListView *m_view;
    ThumbnailModel *m_model;
};
