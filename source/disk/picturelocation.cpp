#include "picturelocation.h"

#include "picturecatalog.h"
#include "pictureloader.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

constexpr QChar kSeparator(u'\0');
const QString kArrow = QStringLiteral(" \u203A ");

} // namespace

QString PictureLocation::toString() const
{
    return isInsideImage() ? path + kSeparator + innerPath : path;
}

PictureLocation PictureLocation::fromString(const QString &text)
{
    const qsizetype at = text.indexOf(kSeparator);
    if (at < 0)
        return {text, QString()};
    return {text.left(at), text.mid(at + 1)};
}

QString PictureLocation::title() const
{
    const QString name = QFileInfo(path).fileName();
    return isInsideImage() ? name + kArrow + innerPath : name;
}

QString PictureLocation::fullName() const
{
    return isInsideImage() ? path + kArrow + innerPath : path;
}

PictureFile loadPictureLocation(const PictureLocation &location)
{
    if (!location.isInsideImage())
        return readPictureFile(location.path);
    const PictureCatalog catalog = PictureCatalog::open(location.path);
    const int index = catalog.indexOf(location.innerPath);
    if (index >= 0)
        return catalog.read(index);
    PictureFile missing;
    missing.error = catalog.isOpen()
                        ? QCoreApplication::translate("PictureLocation", "%1 holds no picture %2").arg(location.path, location.innerPath)
                        : catalog.problems().value(0);
    return missing;
}
