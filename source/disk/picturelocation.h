#pragma once

#include <QString>

struct PictureFile;

// Where a picture lives: a loose file, or a file inside a disk image.
struct PictureLocation {
    QString path;       // the picture file, or the disk image
    QString innerPath;  // the picture's path inside the image ("ART/PIC"); empty for a loose file

    bool isInsideImage() const { return !innerPath.isEmpty(); }
    bool operator==(const PictureLocation &o) const { return path == o.path && innerPath == o.innerPath; }
    bool operator!=(const PictureLocation &o) const { return !(*this == o); }

    // The form a recent list keeps: the path alone for a loose file, else
    // the image's path, a NUL character and the inner path. NUL is the one
    // character no file path can hold, so the two parts always come apart
    // again, whatever the names hold (ProDOS paths use '/', DOS 3.3 names
    // may hold '/', '#' and spaces).
    QString toString() const;
    static PictureLocation fromString(const QString &text);

    // For window titles and menus: "DISK.po › ART/PIC", or the file's name.
    QString title() const;
    // For messages: the whole path, then " › " and the inner path.
    QString fullName() const;
};

// Reads the picture at location: a loose file by readPictureFile(), a
// picture inside an image by opening the image and reading that entry. Not
// loaded, with the reason, when the image or the entry cannot be read.
PictureFile loadPictureLocation(const PictureLocation &location);
