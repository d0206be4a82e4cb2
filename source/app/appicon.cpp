#include "appicon.h"

#include "resourcepath.h"

#include <QFileInfo>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace {

void addIconSize(QIcon &icon, const QPixmap &square, int size, qreal ratio)
{
    const int target = std::max(1, int(std::lround(size * ratio)));
    const int zoomed = int(std::lround(target * 1.38));
    const int side = std::max(target, zoomed);
    const QPixmap scaled = square.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPixmap cut = scaled.copy((scaled.width() - target) / 2, (scaled.height() - target) / 2, target, target);
    cut.setDevicePixelRatio(ratio);
    icon.addPixmap(cut, QIcon::Normal, QIcon::Off);
}

} // namespace

QIcon buildAppIconFrom(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return QIcon();
    QPixmap art;
    if (!art.load(path))
        return QIcon();
    const int side = std::min(art.width(), art.height());
    const QPixmap square = art.copy((art.width() - side) / 2, (art.height() - side) / 2, side, side);
    QIcon icon;
    for (int size : {16, 20, 24, 32, 40, 48, 64, 128, 256})
        for (qreal ratio : {1.0, 2.0, 3.0})
            addIconSize(icon, square, size, ratio);
    return icon;
}

QIcon buildAppIcon()
{
    return buildAppIconFrom(resolveResourcePath(QStringLiteral("icons/morvo-icon.png")));
}
