#include "picturebrowser.h"

#include "thumbnailmodel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScrollBar>
#include <QVBoxLayout>

PictureBrowser::PictureBrowser(QWidget *parent)
    : QWidget(parent), m_header(new QLabel(this)), m_view(new QListView(this)), m_model(new ThumbnailModel(this))
{
    m_header->setWordWrap(true);
    m_header->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_view->setModel(m_model);
    m_view->setIconSize(QSize(ThumbnailModel::kThumbnailWidth, ThumbnailModel::kThumbnailHeight));
    m_view->setUniformItemSizes(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSpacing(2);
    m_view->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_header);
    layout->addWidget(m_view, 1);

    connect(m_view, &QListView::doubleClicked, this, [this](const QModelIndex &index) { activate(index.row()); });
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, &PictureBrowser::drawVisibleFirst);
    setMinimumWidth(ThumbnailModel::kThumbnailWidth + 160);
}

PictureBrowser::~PictureBrowser() = default;

bool PictureBrowser::open(const QString &path)
{
    setCatalog(PictureCatalog::open(path));
    if (!catalog().isOpen())
        Q_EMIT statusMessage(catalog().problems().value(0));
    return catalog().isOpen();
}

void PictureBrowser::setCatalog(const PictureCatalog &catalog)
{
    m_model->setCatalog(catalog);
    QString text;
    if (catalog.isOpen()) {
        const QString title = PictureLocation{catalog.path(), QString()}.title().toHtmlEscaped();
        const QString description = catalog.description().toHtmlEscaped();
        text = catalog.count() == 1 ? tr("<b>%1</b><br>%2; 1 picture").arg(title, description)
                                    : tr("<b>%1</b><br>%2; %3 pictures").arg(title, description, QString::number(catalog.count()));
    }
    for (const QString &problem : catalog.problems())
        text += (text.isEmpty() ? QString() : QStringLiteral("<br>")) + problem.toHtmlEscaped();
    m_header->setText(text);
    if (catalog.count() > 0)
        m_view->setCurrentIndex(m_model->index(0));
    drawVisibleFirst();
}

const PictureCatalog &PictureBrowser::catalog() const
{
    return m_model->catalog();
}

void PictureBrowser::setViewOptions(const ViewOptions &options)
{
    m_model->setViewOptions(options);
}

bool PictureBrowser::select(const PictureLocation &location)
{
    for (int row = 0; row < catalog().count(); ++row) {
        if (catalog().location(row) == location) {
            m_view->setCurrentIndex(m_model->index(row));
            m_view->scrollTo(m_model->index(row));
            return true;
        }
    }
    return false;
}

PictureLocation PictureBrowser::currentLocation() const
{
    return catalog().location(currentRow());
}

int PictureBrowser::currentRow() const
{
    return m_view->currentIndex().isValid() ? m_view->currentIndex().row() : -1;
}

bool PictureBrowser::next()
{
    return step(1);
}

bool PictureBrowser::previous()
{
    return step(-1);
}

bool PictureBrowser::step(int by)
{
    const int row = currentRow() + by;
    if (currentRow() < 0 || row < 0 || row >= catalog().count())
        return false;
    m_view->setCurrentIndex(m_model->index(row));
    m_view->scrollTo(m_model->index(row));
    activate(row);
    return true;
}

void PictureBrowser::activate(int row)
{
    if (row >= 0 && row < catalog().count())
        Q_EMIT pictureActivated(catalog().location(row));
}

// The rows on screen are drawn before the rest.
void PictureBrowser::drawVisibleFirst()
{
    const QRect area = m_view->viewport()->rect();
    const QModelIndex top = m_view->indexAt(area.topLeft() + QPoint(4, 4));
    const QModelIndex bottom = m_view->indexAt(QPoint(area.left() + 4, area.bottom() - 4));
    const int first = top.isValid() ? top.row() : 0;
    const int last = bottom.isValid() ? bottom.row() : catalog().count() - 1;
    m_model->drawFirst(first, last);
}

bool PictureBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                activate(currentRow());
                return true;
            }
        } else if (event->type() == QEvent::Resize) {
            drawVisibleFirst();
        }
    }
    return QWidget::eventFilter(watched, event);
}
