#pragma once

#include "pictureloader.h"

#include <QByteArray>
#include <QString>

// How Apple II files say they hold a picture: ProDOS file types and aux
// types, DOS 3.3 binary file headers, and the lengths of whole pictures.

constexpr quint8 kProdosBin = 0x06;  // binary, aux type = load address
constexpr quint8 kProdosFot = 0x08;  // graphics screen, aux type = packing

// FOT aux types: below $4000 an unpacked picture, else the packing.
constexpr quint16 kFotPackBytesHgr = 0x4000;
constexpr quint16 kFotPackBytesDhgr = 0x4001;
constexpr quint16 kFotLz4fhHgr = 0x8066;

// No picture file is larger than this: a DHGR picture PackBytes-packed
// as literal runs is 16,640 bytes.
constexpr qint64 kLargestPictureFile = 64 * 1024;

// A whole HGR page, or a page without the eight bytes of its last screen
// hole; the same for DHGR's two pages.
bool isHgrLength(qint64 n);
bool isDhgrLength(qint64 n);

// A count as the messages give it: "16,384".
QString thousands(qint64 n);

// A memory image from the first bytes of data: HGR, or DHGR with the aux
// page first. A page the data leaves short is zero-filled (padded).
PictureFile memoryImage(const QByteArray &data, bool dhgr);

// "BIN $2000", "FOT $4001", "$C1 $0002": a ProDOS type as people read it.
QString prodosTypeText(quint8 type, quint16 aux);

// Why a ProDOS file of this type, aux type and length holds a picture
// ("FOT $4000: PackBytes-packed HGR"); empty when it does not. A packed
// picture counts by its type alone: only unpacking it shows whether the
// data is whole.
QString prodosPictureReason(quint8 type, quint16 aux, qint64 length);

// The picture in the whole data of a ProDOS file, unpacked when its type
// says it is packed; not loaded, with the reason, when the type, the length
// or the data contradict a picture.
PictureFile pictureFromProdosFile(const QByteArray &data, quint8 type, quint16 aux);

// A DOS 3.3 binary (B) file begins with its load address and the length of
// the data that follows.
struct DosBinaryHeader {
    quint16 address = 0;
    quint16 length = 0;
};
constexpr int kDosBinaryHeaderBytes = 4;
DosBinaryHeader dosBinaryHeader(const QByteArray &data);

// Why a B file with this header holds a picture ("B file at $2000, 8,192
// bytes: HGR"); empty when it does not: only pictures loaded at $2000 or
// $4000 with a picture's length count.
QString dosBinaryPictureReason(const DosBinaryHeader &header);

// "B $2000": the file type and load address.
QString dosBinaryTypeText(const DosBinaryHeader &header);

// The picture in a B file's data, header included.
PictureFile pictureFromDosBinary(const QByteArray &data);

// A FOT's mode byte, at offset 120 in the first screen hole, when it names
// a display (0 to 7); -1 otherwise.
int fotDisplayHint(const QByteArray &data);

// The display a FOT mode byte names (0-7), for people: "280 x 192 colour".
QString displayHintText(int hint);
