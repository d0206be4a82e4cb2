#include "picturecatalog.h"

#include "diskimage.h"
#include "dos33volume.h"
#include "pictureloader.h"
#include "picturetypes.h"
#include "prodosvolume.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PictureCatalog", text);
}

// A folder with more files than this is listed up to here; reading each
// file's head bounds the time the listing takes.
constexpr int kMostFolderFiles = 4096;

const QStringList &imageSuffixes()
{
    static const QStringList suffixes = {
        QStringLiteral("dsk"), QStringLiteral("do"), QStringLiteral("po"),
        QStringLiteral("2mg"), QStringLiteral("2img"), QStringLiteral("hdv"),
    };
    return suffixes;
}

QString orderText(DiskImage::Order order)
{
    return order == DiskImage::Order::Dos ? tr("DOS order") : tr("ProDOS order");
}

} // namespace

struct PictureCatalog::Listing {
    enum class Kind { Unread, Folder, Dos, Prodos };

    QString path;
    Kind kind = Kind::Unread;
    QString description;
    std::vector<PictureEntry> entries;
    QStringList problems;

    DiskImage image;
    DiskImage::Order order = DiskImage::Order::Prodos;
    // What each entry reads from, by entry index.
    std::vector<DosCatalogEntry> dosFiles;
    std::vector<ProdosFileEntry> prodosFiles;

    void listImage();
    void listDos();
    void listProdos();
    void listFolder();
};

void PictureCatalog::Listing::listImage()
{
    QString error;
    if (!image.open(path, error)) {
        problems << error;
        return;
    }
    problems << image.notes();
    // The likelier order comes first, and DOS 3.3 before ProDOS, so that a
    // tie keeps them.
    int best = 0;
    for (DiskImage::Order candidate : image.orders()) {
        const int dos = image.isFloppy() ? Dos33Volume(image, candidate).plausibility() : 0;
        const int prodos = ProdosVolume(image, candidate).plausibility();
        if (dos > best) {
            best = dos;
            kind = Kind::Dos;
            order = candidate;
        }
        if (prodos > best) {
            best = prodos;
            kind = Kind::Prodos;
            order = candidate;
        }
    }
    if (best == 0) {
        problems.prepend(tr("%1: no DOS 3.3 catalog or ProDOS volume directory found").arg(path));
        return;
    }
    if (kind == Kind::Dos)
        listDos();
    else
        listProdos();
    if (!image.container().isEmpty())
        description += QStringLiteral(", ") + image.container();
}

void PictureCatalog::Listing::listDos()
{
    const Dos33Volume volume(image, order);
    description = tr("DOS 3.3 disk, volume %1, %2").arg(volume.volumeNumber()).arg(orderText(order));
    for (const DosCatalogEntry &file : volume.catalog(problems)) {
        if (!file.isBinary())
            continue;
        QByteArray head;
        QString error;
        if (!volume.readFile(file, kDosBinaryHeaderBytes, head, error)) {
            problems << tr("%1: %2").arg(file.name, error);
            continue;
        }
        const DosBinaryHeader header = dosBinaryHeader(head);
        const QString reason = dosBinaryPictureReason(header);
        if (reason.isEmpty())
            continue;
        entries.push_back({file.name, dosBinaryTypeText(header), header.length, reason, -1});
        dosFiles.push_back(file);
    }
}

void PictureCatalog::Listing::listProdos()
{
    const ProdosVolume volume(image, order);
    description = tr("ProDOS volume /%1, %2 blocks").arg(volume.volumeName(), thousands(volume.totalBlocks()));
    if (image.isFloppy())
        description += QStringLiteral(", ") + orderText(order);
    for (const ProdosFileEntry &file : volume.files(problems)) {
        const QString reason = prodosPictureReason(file.type, file.aux, file.eof);
        if (reason.isEmpty())
            continue;
        int hint = -1;
        if (file.type == kProdosFot && file.aux < kFotPackBytesHgr) {
            QByteArray head;
            QString error;
            if (volume.readFile(file, DiskImage::kBlockBytes, head, error))
                hint = fotDisplayHint(head);
        }
        entries.push_back({file.path, prodosTypeText(file.type, file.aux), file.eof, reason, hint});
        prodosFiles.push_back(file);
    }
}

// Every file that reads as a picture by its name, header or size; a file
// longer than a picture is some other file, and an ".AUX" companion shows
// as part of its picture.
void PictureCatalog::Listing::listFolder()
{
    description = tr("folder");
    const QFileInfoList files = QDir(path).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    if (files.size() > kMostFolderFiles)
        problems << tr("%1 holds %2 files; the first %3 are listed").arg(path).arg(files.size()).arg(kMostFolderFiles);
    QSet<QString> companions;
    std::vector<std::pair<QString, PictureFile>> pictures;
    for (const QFileInfo &info : files.mid(0, kMostFolderFiles)) {
        PictureFile file = readPictureFile(info.filePath());
        if (!file.loaded() || file.tailIgnored)
            continue;
        if (!file.companionPath.isEmpty())
            companions.insert(QFileInfo(file.companionPath).fileName());
        pictures.emplace_back(info.fileName(), std::move(file));
    }
    for (const auto &[name, file] : pictures) {
        if (companions.contains(name))
            continue;
        PictureFile withoutHint = file;
        withoutHint.displayHint = -1;
        entries.push_back({name, file.isDhgr() ? QStringLiteral("DHGR") : QStringLiteral("HGR"), file.size,
                           withoutHint.describe(), file.displayHint});
    }
}

PictureCatalog::PictureCatalog()
    : d(std::make_shared<Listing>())
{
}

PictureCatalog PictureCatalog::open(const QString &path)
{
    auto listing = std::make_shared<Listing>();
    listing->path = path;
    if (QFileInfo(path).isDir()) {
        listing->kind = Listing::Kind::Folder;
        listing->listFolder();
    } else {
        listing->listImage();
    }
    PictureCatalog catalog;
    catalog.d = std::move(listing);
    return catalog;
}

bool PictureCatalog::isCollection(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    if (imageSuffixes().contains(info.suffix().toLower()))
        return true;
    QFile file(path);
    return info.isFile() && file.open(QIODevice::ReadOnly) && file.read(4) == "2IMG";
}

bool PictureCatalog::isOpen() const
{
    return d->kind != Listing::Kind::Unread;
}

bool PictureCatalog::isFolder() const
{
    return d->kind == Listing::Kind::Folder;
}

QString PictureCatalog::path() const
{
    return d->path;
}

QString PictureCatalog::description() const
{
    return d->description;
}

const std::vector<PictureEntry> &PictureCatalog::entries() const
{
    return d->entries;
}

const QStringList &PictureCatalog::problems() const
{
    return d->problems;
}

int PictureCatalog::indexOf(const QString &innerPath) const
{
    for (size_t i = 0; i < d->entries.size(); ++i)
        if (d->entries[i].innerPath == innerPath)
            return int(i);
    return -1;
}

PictureLocation PictureCatalog::location(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const QString &inner = d->entries[size_t(index)].innerPath;
    if (isFolder())
        return {QDir(d->path).filePath(inner), QString()};
    return {d->path, inner};
}

PictureFile PictureCatalog::read(int index) const
{
    PictureFile file;
    if (index < 0 || index >= count()) {
        file.error = tr("%1 has no picture number %2").arg(d->path).arg(index + 1);
        return file;
    }
    const PictureLocation where = location(index);
    if (isFolder())
        return readPictureFile(where.path);
    QByteArray data;
    QString error;
    bool read = false;
    if (d->kind == Listing::Kind::Dos) {
        const DosCatalogEntry &entry = d->dosFiles[size_t(index)];
        read = Dos33Volume(d->image, d->order).readFile(entry, kDosBinaryHeaderBytes + d->entries[size_t(index)].size, data, error);
        if (read)
            file = pictureFromDosBinary(data);
    } else {
        const ProdosFileEntry &entry = d->prodosFiles[size_t(index)];
        read = ProdosVolume(d->image, d->order).readFile(entry, kLargestPictureFile, data, error);
        if (read)
            file = pictureFromProdosFile(data, entry.type, entry.aux);
    }
    if (!read)
        file.error = error;
    if (!file.loaded())
        file.error = tr("%1: %2").arg(where.fullName(), file.error);
    return file;
}
