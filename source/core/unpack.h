#pragma once

#include <QByteArray>
#include <QString>

// Unpackers for the two ways Apple II pictures are commonly packed. Each
// writes into out, which the caller sizes to the largest picture it accepts,
// and returns the number of bytes it wrote, or -1 with the reason in error
// when the data is malformed. Neither ever writes past out's end nor reads
// past packed's end, whatever the counts in the data say.

// PackBytes, the IIgs toolbox's run-length packing: a flag byte whose high
// two bits pick the kind and whose low six bits + 1 are the count: literal
// bytes, one byte repeated, a four-byte pattern repeated, or one byte
// repeated four times the count. Unpacking stops when out is full or the
// data ends between runs; a run that would pass out's end is malformed.
qsizetype unpackPackBytes(const QByteArray &packed, QByteArray &out, QString &error);

// LZ4FH, the packing of hi-res slideshow disks: a $66 byte, then chunks of
// literals and matches whose 2-byte offsets count from the start of the
// output. Unpacking stops at the end mark, or when the data ends between
// chunks.
qsizetype unpackLz4fh(const QByteArray &packed, QByteArray &out, QString &error);
