#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Images to import are read whole into memory, and decoded only when their
// header promises a size that fits: a photograph of any camera does, a
// 30,000 x 30,000 picture does not.
constexpr qint64 kLargestImageFile = 256 * 1024 * 1024;
constexpr qint64 kLargestImagePixels = 64 * 1000 * 1000;
// Qt's own cap on what one decoded image may take, in MiB.
constexpr int kImageAllocationLimit = 320;

// Reads an image file of any kind Qt reads (PNG, JPEG, BMP, GIF, and WebP
// or TIFF with the image-format plugins). false with a message for people
// when it is not an image, is damaged or cut short, or is too large.
bool readImageFile(const QString &path, QImage &image, QString &error);

// The same for an image's bytes from elsewhere (the clipboard, a drop);
// name is what the message calls it.
bool decodeImage(const QByteArray &bytes, const QString &name, QImage &image, QString &error);

// Whether a JPEG's bytes run to the marker that ends the picture: libjpeg
// fills a file cut short with grey and calls it a success.
bool jpegIsComplete(const QByteArray &bytes);
