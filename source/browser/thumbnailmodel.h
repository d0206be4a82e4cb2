#pragma once

#include "picturecatalog.h"
#include "picturestate.h"

#include <QAbstractListModel>
#include <QPixmap>
#include <QThreadPool>

#include <deque>
#include <vector>

// The pictures of a catalog as list rows: a thumbnail, the path inside the
// image, the type and the size. Thumbnails are drawn on a pool of threads,
// as many at once as there are cores, while the window goes on; the rows
// asked for first (the ones on screen) are drawn before the others. New view
// options redraw them all, each row keeping its old thumbnail until then.
class ThumbnailModel : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int kThumbnailWidth = 140;   // a quarter of the 560 dots
    static constexpr int kThumbnailHeight = 96;   // a quarter of the doubled 192 lines

    explicit ThumbnailModel(QObject *parent = nullptr);
    ~ThumbnailModel() override;

    void setCatalog(const PictureCatalog &catalog);
    const PictureCatalog &catalog() const { return m_catalog; }
    void setViewOptions(const ViewOptions &options);
    const ViewOptions &viewOptions() const { return m_options; }

    // Draws rows first to last before the other rows still waiting.
    void drawFirst(int first, int last);
    // Rows drawn with the current catalog and options.
    int drawnCount() const { return m_drawn; }
    bool isDrawn(int row) const;
    // The row's thumbnail as drawn (RGBA), null until drawn once.
    QImage thumbnail(int row) const;
    // Why the row's picture could not be read, after it was tried.
    QString error(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

Q_SIGNALS:
    // Every row is drawn with the current catalog and options.
    void allDrawn();

private:
    struct Row {
        QPixmap pixmap;
        QString error;
        bool drawn = false;
    };

    void queueAll();
    void startWaiting();
    void finished(int generation, int row, const QImage &thumbnail, const QString &error);

    PictureCatalog m_catalog;
    ViewOptions m_options;
    std::vector<Row> m_rows;
    std::deque<int> m_waiting;
    int m_firstWanted = 0;
    int m_lastWanted = -1;
    int m_running = 0;
    int m_drawn = 0;
    // Raised by each new catalog or options: thumbnails drawn for an older
    // one are dropped when they come back.
    int m_generation = 0;
    QThreadPool m_pool;
};
