#include "thumbnailmodel.h"

#include "pictureloader.h"
#include "picturetypes.h"
#include "render.h"

#include <QPainter>

namespace {

// Runs on a pool thread: every piece (the catalog's shared bytes, a picture
// state of its own) is safe to use from there.
QImage drawThumbnail(const PictureFile &file, const ViewOptions &options)
{
    PictureState state;
    state.viewOptions() = options;
    applyPictureFile(file, state);
    QImage frame;
    renderPicture(state, frame);
    return frame.copy(0, 0, kDhgrDots, kFrameHeight)
        .scaled(ThumbnailModel::kThumbnailWidth, ThumbnailModel::kThumbnailHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

const QPixmap &placeholder()
{
    static const QPixmap blank = [] {
        QPixmap p(ThumbnailModel::kThumbnailWidth, ThumbnailModel::kThumbnailHeight);
        p.fill(QColor(40, 40, 40));
        return p;
    }();
    return blank;
}

const QPixmap &unreadable()
{
    static const QPixmap cross = [] {
        QPixmap p = placeholder();
        QPainter painter(&p);
        painter.setPen(QPen(QColor(160, 60, 60), 3));
        painter.drawLine(0, 0, p.width(), p.height());
        painter.drawLine(0, p.height(), p.width(), 0);
        return p;
    }();
    return cross;
}

} // namespace

ThumbnailModel::ThumbnailModel(QObject *parent)
    : QAbstractListModel(parent)
{
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

ThumbnailModel::~ThumbnailModel()
{
    m_waiting.clear();
    m_pool.waitForDone();
}

void ThumbnailModel::setCatalog(const PictureCatalog &catalog)
{
    beginResetModel();
    m_catalog = catalog;
    m_rows.assign(size_t(catalog.count()), Row());
    m_firstWanted = 0;
    m_lastWanted = -1;
    endResetModel();
    queueAll();
}

void ThumbnailModel::setViewOptions(const ViewOptions &options)
{
    if (options == m_options)
        return;
    m_options = options;
    queueAll();
}

// Every row waits again, the rows wanted first at the front.
void ThumbnailModel::queueAll()
{
    ++m_generation;
    m_drawn = 0;
    for (Row &row : m_rows)
        row.drawn = false;
    m_waiting.clear();
    for (int i = 0; i < int(m_rows.size()); ++i)
        m_waiting.push_back(i);
    drawFirst(m_firstWanted, m_lastWanted);
}

void ThumbnailModel::drawFirst(int first, int last)
{
    m_firstWanted = std::max(first, 0);
    m_lastWanted = std::min(last, int(m_rows.size()) - 1);
    std::deque<int> wanted;
    std::deque<int> others;
    for (int row : m_waiting)
        (row >= m_firstWanted && row <= m_lastWanted ? wanted : others).push_back(row);
    wanted.insert(wanted.end(), others.begin(), others.end());
    m_waiting.swap(wanted);
    startWaiting();
}

void ThumbnailModel::startWaiting()
{
    while (m_running < m_pool.maxThreadCount() && !m_waiting.empty()) {
        const int row = m_waiting.front();
        m_waiting.pop_front();
        ++m_running;
        const PictureCatalog catalog = m_catalog;
        const ViewOptions options = m_options;
        const int generation = m_generation;
        m_pool.start([this, catalog, options, generation, row] {
            const PictureFile file = catalog.read(row);
            const QImage thumbnail = file.loaded() ? drawThumbnail(file, options) : QImage();
            const QString error = file.error;
            QMetaObject::invokeMethod(
                this, [=] { finished(generation, row, thumbnail, error); }, Qt::QueuedConnection);
        });
    }
}

void ThumbnailModel::finished(int generation, int row, const QImage &thumbnail, const QString &error)
{
    --m_running;
    if (generation == m_generation) {
        Row &r = m_rows[size_t(row)];
        r.pixmap = thumbnail.isNull() ? QPixmap() : QPixmap::fromImage(thumbnail);
        r.error = error;
        r.drawn = true;
        ++m_drawn;
        const QModelIndex changed = index(row);
        Q_EMIT dataChanged(changed, changed);
        if (m_drawn == int(m_rows.size()))
            Q_EMIT allDrawn();
    }
    startWaiting();
}

bool ThumbnailModel::isDrawn(int row) const
{
    return row >= 0 && row < int(m_rows.size()) && m_rows[size_t(row)].drawn;
}

QImage ThumbnailModel::thumbnail(int row) const
{
    if (row < 0 || row >= int(m_rows.size()) || m_rows[size_t(row)].pixmap.isNull())
        return QImage();
    return m_rows[size_t(row)].pixmap.toImage().convertToFormat(QImage::Format_RGBA8888);
}

QString ThumbnailModel::error(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].error : QString();
}

int ThumbnailModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ThumbnailModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return QVariant();
    const Row &row = m_rows[size_t(index.row())];
    const PictureEntry &entry = m_catalog.entries()[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole: {
        QString text = entry.innerPath + QLatin1Char('\n') + entry.typeText + QStringLiteral(" \u00B7 ")
                     + tr("%1 bytes").arg(thousands(entry.size));
        if (entry.displayHint >= 0)
            text += QLatin1Char('\n') + tr("made for %1").arg(displayHintText(entry.displayHint));
        if (!row.error.isEmpty())
            text += QLatin1Char('\n') + tr("cannot be read");
        return text;
    }
    case Qt::DecorationRole:
        return !row.pixmap.isNull() ? row.pixmap : !row.error.isEmpty() ? unreadable() : placeholder();
    case Qt::ToolTipRole:
        return row.error.isEmpty() ? entry.reason : row.error;
    default:
        return QVariant();
    }
}
