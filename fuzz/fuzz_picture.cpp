// Picture files of any size, with or without an ".AUX" companion, through
// the loader, every engine, palette and tint, the pencil and the shape and
// fill tools from anywhere, the pointer readout, the HGR to DHGR conversion
// and both shifts, the history step of all the edits undone and redone, and
// back out as a file.
//
// Input: a 16-byte header, then strokes, then the file's bytes.
//   0      bit 0: the file's size comes from bytes 1-3 (within the size class
//          picked by bits 1-7) and its bytes repeat the payload; otherwise
//          the payload is the file as it is
//   1-3    size selector
//   4      bit 0: a companion exists, its size from bytes 5-7 and the class
//          picked by bits 1-3; bits 4-5: the picture's name (NAME.hgr,
//          NAME.Hgr, NAME.bin, or NAME.HGR with a lower-case NAME.aux)
//   5-7    companion size selector
//   8-13   view options, raw: palette slot, tint, depth, engine variant, the
//          DHGR cell offset (two bytes)
//   14     bits 0-2: engine flags (table engines, bit shifting, 560 mode);
//          bits 4-6: number of pencil strokes
//   15     edits after the strokes: bit 0 convert to DHGR, bit 1 shift
//          left, bit 2 shift right
// A stroke is a tool byte (bits 0-3 the colour, bits 4-5 a line, an
// outline, a filled rectangle or a fill from the first position) and two
// positions of two 32-bit integers each.
#include "picturechange.h"
#include "picturesnapshot.h"
#include "picturestate.h"
#include "pictureedit.h"
#include "pictureloader.h"
#include "picturetools.h"
#include "pointerreadout.h"
#include "render.h"
#include "scratchdir.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kHeader = 16;
constexpr size_t kStroke = 17;

struct SizeClass {
    qint64 first;
    qint64 last;
};

// Short of a page, a page short by the unused bytes at most, between the
// two sizes, a DHGR file give or take, and oversized.
constexpr SizeClass kSizeClasses[] = {
    {0, 8183}, {8184, 8192}, {8193, 16375}, {16376, 16385}, {16386, 40000},
};

qint64 pickSize(quint8 classByte, const quint8 *selector)
{
    const SizeClass &c = kSizeClasses[classByte % std::size(kSizeClasses)];
    const quint32 v = selector[0] | (selector[1] << 8) | (quint32(selector[2]) << 16);
    return c.first + qint64(v % quint32(c.last - c.first + 1));
}

QByteArray repeated(const QByteArray &payload, qint64 size, int phase)
{
    QByteArray bytes(size, '\0');
    if (!payload.isEmpty())
        for (qint64 i = 0; i < size; ++i)
            bytes[i] = payload[(i + phase) % payload.size()];
    return bytes;
}

qint32 int32At(const quint8 *p)
{
    quint32 v;
    std::memcpy(&v, p, sizeof v);
    return qint32(v);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_picture: %s\n", what);
        std::abort();
    }
}

void renderAndCheck(PictureState &state)
{
    QImage frame;
    renderPicture(state, frame);
    check(frame.size() == QSize(kFrameWidth, kFrameHeight) && frame.format() == QImage::Format_RGBA8888,
          "the frame is not 562 x 192 RGBA");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    quint8 header[kHeader] = {};
    std::memcpy(header, data, std::min(size, kHeader));
    size_t at = std::min(size, kHeader);
    const int strokes = (header[14] >> 4) & 7;
    const size_t strokeBytes = std::min(size - at, strokes * kStroke);
    const quint8 *strokeData = data + at;
    at += strokeBytes;
    const QByteArray payload(reinterpret_cast<const char *>(data + at), qsizetype(size - at));

    const QByteArray file = (header[0] & 1) ? repeated(payload, pickSize(header[0] >> 1, header + 1), 0) : payload;
    static const char *const kNames[][2] = {
        {"pic.hgr", "pic.AUX"}, {"pic.Hgr", "pic.AUX"}, {"pic.bin", "pic.bin.AUX"}, {"pic.HGR", "pic.aux"},
    };
    const auto &names = kNames[(header[4] >> 4) & 3];
    const QDir dir(scratch().path());
    for (const auto &old : kNames)
        QFile::remove(dir.filePath(QLatin1String(old[1])));
    const QString path = dir.filePath(QLatin1String(names[0]));
    writeFile(path, file);
    if (header[4] & 1)
        writeFile(dir.filePath(QLatin1String(names[1])), repeated(payload, pickSize((header[4] >> 1) & 7, header + 5), 4096));

    const PictureFile loaded = readPictureFile(path);
    check(loaded.loaded() == (file.size() >= kShortestPage), "a picture was loaded or refused against its size");
    check(!loaded.describe().isEmpty(), "no description");
    PictureState state;
    state.paletteType = header[8];
    state.oneBitPalette = header[9];
    state.bmFinalDepth = header[10];
    state.schemeType = header[11];
    state.dhgrColumnOffset = qint16(header[12] | (header[13] << 8));
    state.jexEngine = header[14] & 1;
    state.bitShifting = header[14] & 2;
    state.is560Mode = header[14] & 4;
    applyPictureFile(loaded, state);
    renderAndCheck(state);

    const PictureSnapshot loadedPicture = PictureSnapshot::of(state);
    constexpr Tool kStrokeTools[] = {Tool::Line, Tool::Rectangle, Tool::FilledRectangle, Tool::Fill};
    for (size_t s = 0; s + kStroke <= strokeBytes; s += kStroke) {
        const quint8 *p = strokeData + s;
        const QPoint from(int32At(p + 1), int32At(p + 5));
        const QPoint to(int32At(p + 9), int32At(p + 13));
        const PointerReadout readout = PointerReadout::at(state, from);
        check(readout.onPicture() == !readout.text().isEmpty(), "a readout off the picture has a text, or one on it none");
        const Tool tool = kStrokeTools[(p[0] >> 4) & 3];
        if (tool == Tool::Fill)
            floodFill(state, from, p[0] & 15);
        else
            shapeDrawing(tool)(state, from, to, p[0] & 15);
    }
    if (header[15] & 1)
        convertToDhgr(state);
    if (header[15] & 2)
        shiftPicture(state, true);
    if (header[15] & 4)
        shiftPicture(state, false);
    renderAndCheck(state);

    // All the edits as one step of the history: undo and redo give back
    // each side exactly.
    const PictureSnapshot edited = PictureSnapshot::of(state);
    PictureChangeCommand step(state, loadedPicture, edited, QStringLiteral("Edits"));
    step.undo();
    check(PictureSnapshot::of(state) == loadedPicture, "undo does not give back the picture as loaded");
    step.redo();
    check(PictureSnapshot::of(state) == edited, "redo does not give back the edited picture");

    // What is saved reads back as the same picture.
    const QString saved = dir.filePath(QStringLiteral("saved.bin"));
    writeFile(saved, pictureFileBytes(state));
    PictureState reread;
    check(applyPictureFile(readPictureFile(saved), reread), "a saved picture does not load");
    check(reread.isDhgr == state.isDhgr && reread.mainMemory == state.mainMemory
              && (!state.isDhgr || reread.auxMemory == state.auxMemory),
          "a saved picture reads back different");
    return 0;
}
