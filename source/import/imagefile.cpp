#include "imagefile.h"

#include "pictureloader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QLocale>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ImageFile", text);
}

QString number(qint64 n)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(n);
}

QString tooLarge(const QString &name, QSize size)
{
    return tr("%1 is %2 x %3 pixels, too large to import (at most %4 million pixels)")
        .arg(name, number(size.width()), number(size.height()), number(kLargestImagePixels / 1000000));
}

// The length of the segment whose marker is at i, or -1 past the end.
int segmentLength(const QByteArray &b, int i)
{
    if (i + 3 >= b.size())
        return -1;
    return (uchar(b[i + 2]) << 8) | uchar(b[i + 3]);
}

} // namespace

bool jpegIsComplete(const QByteArray &b)
{
    // Markers with a length run from one to the next (the Exif block with
    // its own small JPEG inside is skipped whole); after each start of scan
    // the coded data runs to the next marker that is not a restart or a
    // stuffed 0xFF.
    int i = 2;
    const int n = int(b.size());
    while (i + 1 < n) {
        if (uchar(b[i]) != 0xFF)
            return false;
        const uchar marker = uchar(b[i + 1]);
        if (marker == 0xD9)
            return true;
        if (marker == 0xFF) {
            ++i;
            continue;
        }
        const int length = segmentLength(b, i);
        if (length < 2)
            return false;
        i += 2 + length;
        if (marker != 0xDA)
            continue;
        while (i + 1 < n && !(uchar(b[i]) == 0xFF && uchar(b[i + 1]) != 0 && (uchar(b[i + 1]) & 0xF8) != 0xD0))
            ++i;
    }
    return false;
}

bool decodeImage(const QByteArray &bytes, const QString &name, QImage &image, QString &error)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kImageAllocationLimit);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format.isEmpty()) {
        error = tr("%1 is not an image that can be imported (PNG, JPEG, BMP, GIF, WebP, TIFF)").arg(name);
        return false;
    }
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kLargestImagePixels) {
        error = tooLarge(name, size);
        return false;
    }
    if (format == "jpeg" && !jpegIsComplete(bytes)) {
        error = tr("%1 is a JPEG that is cut short or damaged").arg(name);
        return false;
    }
    QImage read;
    if (!reader.read(&read) || read.isNull()) {
        error = tr("%1 could not be read as %2: %3").arg(name, QString::fromLatin1(format.toUpper()), reader.errorString());
        return false;
    }
    // Some formats tell their size only as they are read.
    if (qint64(read.width()) * read.height() > kLargestImagePixels) {
        error = tooLarge(name, read.size());
        return false;
    }
    image = read;
    return true;
}

bool readImageFile(const QString &path, QImage &image, QString &error)
{
    QByteArray bytes;
    qint64 size = 0;
    if (!readFileHead(path, kLargestImageFile, tr("an image"), bytes, size, error))
        return false;
    if (size > kLargestImageFile) {
        error = tr("%1 is %2 bytes, too large to import").arg(path, number(size));
        return false;
    }
    return decodeImage(bytes, path, image, error);
}
