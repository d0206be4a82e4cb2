// Picture files of any size, with or without an ".AUX" companion, through
// the loader: a file read by its size (no header or type recognised) loads
// as its size says and its memory holds the file's bytes; whatever loads is
// saved and reads back as the same picture.
//
// Input: an 8-byte header, then the payload.
//   0    bit 0: the file's size comes from bytes 1-3 (within the size class
//        picked by bits 1-7) and its bytes repeat the payload; otherwise
//        the payload is the file as it is
//   1-3  size selector
//   4    bit 0: a companion exists, its size from bytes 5-7 and the class
//        picked by bits 1-3; bits 4-5: the picture's name (NAME.hgr,
//        NAME.Hgr, NAME.bin, or NAME.HGR with a lower-case NAME.aux)
//   5-7  companion size selector
#include "fuzzsupport.h"
#include "pictureloader.h"

#include <QFile>

namespace {

struct SizeClass {
    qint64 first;
    qint64 last;
};

// Short of a page, a page short by the unused bytes at most, between the
// two sizes, a DHGR file give or take, and oversized.
constexpr SizeClass kSizeClasses[] = {
    {0, 8183}, {8184, 8192}, {8193, 16375}, {16376, 16385}, {16386, 40000},
};

qint64 pickSize(quint8 classByte, fuzz::Input &in)
{
    const SizeClass &c = kSizeClasses[classByte % std::size(kSizeClasses)];
    const quint32 v = in.byte() | (in.byte() << 8) | (quint32(in.byte()) << 16);
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

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    fuzz::require(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), "the scratch file was not written");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    fuzz::Input in{data, size};
    const quint8 sizing = in.byte();
    const qint64 fileSize = pickSize(sizing >> 1, in);
    const quint8 companion = in.byte();
    const qint64 companionSize = pickSize((companion >> 1) & 7, in);
    const QByteArray payload = in.rest();

    const QByteArray file = (sizing & 1) ? repeated(payload, fileSize, 0) : payload;
    static const char *const kNames[][2] = {
        {"pic.hgr", "pic.AUX"}, {"pic.Hgr", "pic.AUX"}, {"pic.bin", "pic.AUX"}, {"pic.HGR", "pic.aux"},
    };
    const auto &names = kNames[(companion >> 4) & 3];
    const QDir dir(scratch().path());
    for (const auto &old : kNames)
        QFile::remove(dir.filePath(QLatin1String(old[1])));
    const QString path = dir.filePath(QLatin1String(names[0]));
    writeFile(path, file);
    const QByteArray aux = repeated(payload, companionSize, 4096);
    const bool withAux = companion & 1;
    if (withAux)
        writeFile(dir.filePath(QLatin1String(names[1])), aux);

    const PictureFile loaded = readPictureFile(path);
    fuzz::require(!loaded.describe().isEmpty(), "no description");
    const qint64 n = file.size();
    fuzz::require(loaded.size == n, "the size read is not the file's");
    const bool dhgrSize = n >= kShortestPage + kPictureBytes && n <= 2 * kPictureBytes + 1;
    const bool auxUsed = withAux && !dhgrSize && n >= kShortestPage && aux.size() >= kShortestPage;
    const PictureKind expected = n < kShortestPage ? PictureKind::Unreadable
                                 : dhgrSize        ? PictureKind::Dhgr
                                 : auxUsed         ? PictureKind::HgrWithAux
                                                   : PictureKind::Hgr;
    // A DOS 3.3 header makes a file what the header says.
    const bool bySize = loaded.source.isEmpty();
    fuzz::require(!bySize || loaded.kind == expected, "the file loaded as another kind than its size says");

    PictureState state;
    fuzz::require(applyPictureFile(loaded, state) == loaded.loaded(), "a loaded file was not applied");
    if (!loaded.loaded())
        return 0;
    if (bySize) {
        // The memory is the file's bytes, aux first for DHGR, zero past the end.
        const QByteArray mainBytes = dhgrSize ? file.mid(kPictureBytes) : file;
        const QByteArray auxBytes = dhgrSize ? file : auxUsed ? aux : QByteArray();
        const auto byteAt = [](const QByteArray &bytes, int i) { return uchar(i < bytes.size() ? bytes[i] : 0); };
        for (int i = 0; i < kPictureBytes; ++i) {
            fuzz::require(state.mainMemory[size_t(i)] == byteAt(mainBytes, i), "main memory is not the file's bytes");
            fuzz::require(state.auxMemory[size_t(i)] == byteAt(auxBytes, i), "aux memory is not the file's bytes");
        }
    }

    // What is saved reads back as the same picture.
    const QString saved = dir.filePath(QStringLiteral("saved.pic"));
    QString error;
    fuzz::require(writeFileSafely(pictureFileBytes(state), saved, error), "a picture was not saved");
    PictureState reread;
    fuzz::require(applyPictureFile(readPictureFile(saved), reread), "a saved picture does not load");
    fuzz::require(reread.isDhgr == state.isDhgr && reread.mainMemory == state.mainMemory
                      && (!state.isDhgr || reread.auxMemory == state.auxMemory),
                  "a saved picture reads back different");
    return 0;
}
