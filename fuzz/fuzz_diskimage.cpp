// Disk images of any content through the catalog: opened under each name a
// disk image goes by, listed, and every listed picture read. Whatever the
// catalog, directory, list and index bytes say, nothing reads outside the
// image, no chain loops forever, and every picture either loads or says why.
//
// Input: a header byte, then the image.
//   0      bits 0-1: the name (.dsk, .po, .2mg, .hdv); bit 2: the rest is a
//          list of sectors to place in an empty image rather than the image
//          itself, which lets short inputs reach every structure of a disk
//   1-2    (sector list) the image's size in 256-byte sectors, at most 4096
// A sector list holds records of a 2-byte sector number and 256 bytes.
#include "picturecatalog.h"
#include "pictureloader.h"
#include "scratchdir.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSector = 256;
constexpr int kMostSectors = 4096;

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_diskimage: %s\n", what);
        std::abort();
    }
}

QByteArray placedSectors(const quint8 *data, size_t size)
{
    if (size < 3)
        return QByteArray();
    const int sectors = std::min<int>(data[1] | (data[2] << 8), kMostSectors);
    QByteArray image(qsizetype(sectors) * kSector, '\0');
    for (size_t at = 3; at + 2 + kSector <= size; at += 2 + kSector) {
        const int sector = data[at] | (data[at + 1] << 8);
        if (sector < sectors)
            std::copy(data + at + 2, data + at + 2 + kSector, image.begin() + qsizetype(sector) * kSector);
    }
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const kNames[] = {"disk.dsk", "disk.po", "disk.2mg", "disk.hdv"};
    const QByteArray image = (data[0] & 4) ? placedSectors(data, size)
                                           : QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString path = QDir(scratch().path()).filePath(QLatin1String(kNames[data[0] & 3]));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(image) != image.size())
        std::abort();
    file.close();

    const PictureCatalog catalog = PictureCatalog::open(path);
    check(catalog.isOpen() || (catalog.count() == 0 && !catalog.problems().isEmpty()), "a closed catalog without a reason");
    for (int i = 0; i < catalog.count(); ++i) {
        check(catalog.location(i).path.startsWith(catalog.path()), "an entry's location outside its image");
        const PictureFile picture = catalog.read(i);
        check(picture.loaded() ? !picture.describe().isEmpty()
                               : picture.error.startsWith(catalog.location(i).fullName() + QStringLiteral(": ")),
              "a picture that neither loads nor says why");
    }
    return 0;
}
