#pragma once

#include "picturelocation.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct PictureFile;

// One picture found in a disk image or a folder.
struct PictureEntry {
    QString innerPath;     // "ART/PIC" in an image; the file's name in a folder
    QString typeText;      // "BIN $2000", "FOT $4000", "B $4000"; "HGR" or "DHGR" in a folder
    qint64 size = 0;       // the file's length in bytes (packed, for a packed picture)
    QString reason;        // why it counts as a picture
    int displayHint = -1;  // a FOT's mode byte (0 to 7) when it names a display
};

// The pictures of a disk image (DOS 3.3 or ProDOS; 140 KB, 800 KB or a hard
// disk volume; bare or 2IMG) or of a folder of loose picture files, listed
// once when opened. A damaged image lists what could be read and says what
// could not in problems(). Copies share the listing and the image's bytes;
// read() may be called from several threads at once.
class PictureCatalog {
public:
    PictureCatalog();

    // Reads and lists the image or the folder at path. One that cannot be
    // read at all is not open and says why as its first problem.
    static PictureCatalog open(const QString &path);

    // Whether path is for open() rather than readPictureFile(): a folder,
    // or a file named as a disk image (.dsk, .do, .po, .2mg, .2img, .hdv)
    // or starting with a 2IMG header.
    static bool isCollection(const QString &path);

    bool isOpen() const;
    bool isFolder() const;
    QString path() const;
    // "ProDOS volume /PICS, 280 blocks in DOS order", "DOS 3.3 disk, volume
    // 254", "folder".
    QString description() const;
    const std::vector<PictureEntry> &entries() const;
    int count() const { return int(entries().size()); }
    const QStringList &problems() const;

    // The entry with this inner path, or -1.
    int indexOf(const QString &innerPath) const;
    PictureLocation location(int index) const;
    // Reads entry index's picture, unpacked; not loaded, with the reason
    // (naming the image and the entry), when it cannot be read.
    PictureFile read(int index) const;

private:
    struct Listing;
    std::shared_ptr<const Listing> d;
};
