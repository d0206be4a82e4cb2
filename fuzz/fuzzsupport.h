#pragma once

// What the harnesses share: reading an input a field at a time, stopping
// with a message, picture memory from the input, and the Qt application
// some of them need (the scratch folder is scratchdir.h's).

#include "picturestate.h"
#include "scratchdir.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

// The input as a stream of fields; past its end every field reads as zero.
struct Input {
    const quint8 *data;
    size_t size;
    size_t at = 0;

    bool done() const { return at >= size; }
    quint8 byte() { return at < size ? data[at++] : 0; }
    quint32 u32()
    {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v |= quint32(byte()) << (8 * i);
        return v;
    }
    qint32 i32() { return qint32(u32()); }
    // Up to n bytes, fewer at the end.
    QByteArray bytes(size_t n)
    {
        const size_t count = std::min(n, size - std::min(at, size));
        const QByteArray out(reinterpret_cast<const char *>(data + at), qsizetype(count));
        at += count;
        return out;
    }
    QByteArray rest() { return bytes(size); }
};

// Stops the run with the harness's name and what went wrong; libFuzzer
// keeps the input that did it.
inline void require(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "%s: %s\n", MORVO_FUZZ_NAME, what);
    std::abort();
}

// Picture memory from the rest of the input: repeated to fill both images
// when shorter, so that a short input still makes a whole picture.
inline void fillMemory(PictureState &state, const QByteArray &payload)
{
    if (payload.isEmpty()) {
        state.auxMemory.fill(0);
        state.mainMemory.fill(0);
        return;
    }
    for (int i = 0; i < kPictureBytes; ++i) {
        state.auxMemory[size_t(i)] = uchar(payload[i % payload.size()]);
        state.mainMemory[size_t(i)] = uchar(payload[(i + kPictureBytes) % payload.size()]);
    }
}

// A Qt application for harnesses that draw text or read settings, made
// once and never destroyed: at exit Qt's own thread storage is gone before
// a static application would be.
inline void startGuiApplication(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
}

} // namespace fuzz
