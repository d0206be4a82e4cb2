#pragma once

#include "picturestate.h"

#include <QString>

// What a picture file turned out to be once read by its size.
enum class PictureKind {
    Unreadable,  // not opened, a folder, or too short
    Hgr,         // main memory alone
    Dhgr,        // aux memory then main memory in one file
    HgrWithAux,  // an HGR-sized main file and its ".AUX" companion
};

struct PictureFile {
    PictureKind kind = PictureKind::Unreadable;
    qint64 size = 0;          // bytes in the file
    QString error;            // why it was not loaded (Unreadable only)
    QString companionPath;    // the ".AUX" file used, if any
    QString companionNote;    // why a companion that exists was not used
    bool padded = false;      // short by up to eight bytes, zero-filled
    bool tailIgnored = false; // read by its size, and longer than the picture
    QString source;           // what the bytes were recognised as ("FOT $4000: PackBytes-packed HGR");
                              // empty for a memory image read by its size
    int displayHint = -1;     // a FOT's mode byte (0 to 7): the display the picture was made for
    PictureMemory auxMemory{};
    PictureMemory mainMemory{};

    bool loaded() const { return kind != PictureKind::Unreadable; }
    bool isDhgr() const { return kind == PictureKind::Dhgr || kind == PictureKind::HgrWithAux; }
    // One line for people: what the file loads as, or why not.
    QString describe() const;
};

// Many HGR files lack the eight unused bytes at the end of the page, so a
// page that is at most that much short still counts as whole.
constexpr qint64 kShortestPage = kPictureBytes - 8;  // 8184

// Reads a picture file. A name ending in a ProDOS type and aux type as
// transfer tools keep them ("PIC#084000") is read by that type: BIN of a
// picture's length, FOT unpacked or packed. A file that starts with a DOS 3.3
// binary file header for $2000 or $4000 and a picture's length, followed by
// that many bytes, is read without the header. Anything else by its size:
// 16,376 to 16,385 bytes is DHGR (aux then main); from 8,184 bytes on
// anything else is HGR from its first 8,192 bytes, made DHGR by a companion
// file of the same name with ".AUX".
PictureFile readPictureFile(const QString &path);

// The companion's name: a trailing ".hgr" or ".bin" (any case) replaced by
// ".AUX", any other name with ".AUX" appended.
QString companionAuxPath(const QString &path);

// The ProDOS file type and aux type kept at the end of a file name as
// "#ttaaaa" (hex); false when the name has none.
bool prodosTypeInName(const QString &fileName, quint8 &type, quint16 &aux);

// Opens a file and gives its size and at most limit of its first bytes; false
// with a message naming the file when it is a folder, a device, a pipe or a
// socket, or cannot be opened. what says what the file should have been
// ("a picture").
bool readFileHead(const QString &path, qint64 limit, const QString &what, QByteArray &data,
                  qint64 &size, QString &error);

// Whether a write may go through a symbolic link at its name. A name the
// user gave may be a link on purpose: the file it leads to is written. A
// name the program made up (a default, or one made from an input's name)
// may hold a link someone else planted there, in /tmp above all: such a
// write is refused, and the name itself is what gets replaced.
enum class LinkUse { Follow, Refuse };

// Writes bytes to path through a new file that then takes the name, so that
// a failed write leaves any old file whole; refuses a folder, a device, a
// pipe or a socket. false with the reason in error.
bool writeFileSafely(const QByteArray &bytes, const QString &path, QString &error,
                     LinkUse links = LinkUse::Follow);

// True when a and b name the same file, once links (at the name or in the
// folders on the way) are followed as a write follows them; either may not
// exist yet.
bool isSameFile(const QString &a, const QString &b);

// The picture memory as its file: aux then main (16,384 bytes) for DHGR,
// main alone (8,192 bytes) for HGR.
QByteArray pictureFileBytes(const PictureState &state);

// Replaces the state's picture with a loaded file; returns false, touching
// nothing, when the file was not loaded.
bool applyPictureFile(const PictureFile &file, PictureState &state);
