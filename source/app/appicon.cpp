#include "appicon.h"

#include "resourcepath.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QMap>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The pixmap of side target: the square zoomed by 1.38 and cut to its centre.
QPixmap zoomedCut(const QPixmap &square, int target)
{
    const int zoomed = int(std::lround(target * 1.38));
    const int side = std::max(target, zoomed);
    const QPixmap scaled = square.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return scaled.copy((scaled.width() - target) / 2, (scaled.height() - target) / 2, target, target);
}

QIcon buildIconNow(const QString &path)
{
    QPixmap art;
    if (!art.load(path))
        return QIcon();
    const int side = std::min(art.width(), art.height());
    const QPixmap square = art.width() == art.height()
        ? art
        : art.copy((art.width() - side) / 2, (art.height() - side) / 2, side, side);
    // Eight of the 27 entries have the side of another (16 at ratio 2 is
    // 32 at ratio 1, and so on): each side is scaled once.
    QMap<int, QPixmap> cuts;
    QIcon icon;
    for (int size : {16, 20, 24, 32, 40, 48, 64, 128, 256}) {
        for (qreal ratio : {1.0, 2.0, 3.0}) {
            const int target = std::max(1, int(std::lround(size * ratio)));
            auto cut = cuts.find(target);
            if (cut == cuts.end())
                cut = cuts.insert(target, zoomedCut(square, target));
            QPixmap entry = *cut;
            entry.setDevicePixelRatio(ratio);
            icon.addPixmap(entry, QIcon::Normal, QIcon::Off);
        }
    }
    return icon;
}

// The 27 smoothly scaled pixmaps cost far more than the rest of a start
// together, so they are made the first time anyone asks the icon for a
// picture of itself: a window that no platform decorates (test mode,
// offscreen) never pays for them. Copies of the icon share one set.
class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(const QString &path)
        : m_built(std::make_shared<Built>())
    {
        m_built->path = path;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // The artwork's header was read; only a file damaged past it turns out
    // empty once built.
    bool isNull() override { return m_built->done && m_built->icon.isNull(); }
    QString key() const override { return QStringLiteral("morvo-deferred"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }

private:
    struct Built {
        QString path;
        bool done = false;
        QIcon icon;
    };

    const QIcon &icon()
    {
        if (!m_built->done) {
            m_built->icon = buildIconNow(m_built->path);
            m_built->done = true;
        }
        return m_built->icon;
    }

    std::shared_ptr<Built> m_built;
};

} // namespace

QIcon buildAppIconFrom(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return QIcon();
    // Reading the header as PNG spares loading every image format plugin to
    // ask which one knows the file; artwork in another format is still
    // recognised.
    const auto readable = [&path](const char *format) {
        QImageReader header(path, format);
        return header.canRead() && !header.size().isEmpty();
    };
    if (!readable("png") && !readable(nullptr))
        return QIcon();
    return QIcon(new DeferredIconEngine(path));
}

QIcon buildAppIcon()
{
    return buildAppIconFrom(resolveResourcePath(QStringLiteral("icons/morvo-icon.png")));
}

QIcon prepareApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("morvo"));
    QCoreApplication::setOrganizationName(QStringLiteral("kestrand"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MORVO_VERSION));
    appleFontFamily();
    const QIcon icon = buildAppIcon();
    if (!icon.isNull())
        QGuiApplication::setWindowIcon(icon);
    return icon;
}
