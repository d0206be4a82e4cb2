#include "pictureloader.h"

#include "picturetypes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 kDhgrBytes = 2 * kPictureBytes;        // 16384
constexpr qint64 kShortestDhgr = kDhgrBytes - 8;        // 16376
constexpr qint64 kLongestDhgr = kDhgrBytes + 1;         // a stray trailing byte

QString tr(const char *text)
{
    return QCoreApplication::translate("PictureLoader", text);
}

void loadCompanion(const QString &path, PictureFile &result)
{
    const QString primary = companionAuxPath(path);
    QString candidate = primary;
    if (!QFileInfo::exists(candidate)) {
        // Files copied off a disk image onto a case-sensitive file system
        // are often all lower case.
        candidate = primary.left(primary.size() - 4) + QStringLiteral(".aux");
        if (!QFileInfo::exists(candidate))
            return;
    }
    QByteArray data;
    qint64 size = 0;
    QString error;
    if (!readFileHead(candidate, kPictureBytes, tr("a picture"), data, size, error)) {
        result.companionNote = error;
        return;
    }
    if (size < kShortestPage) {
        result.companionNote = tr("%1 is only %2 bytes").arg(candidate, thousands(size));
        return;
    }
    result.auxMemory = memoryImage(data, false).mainMemory;
    result.companionPath = candidate;
    result.kind = PictureKind::HgrWithAux;
    result.padded = result.padded || size < kPictureBytes;
}

// Writes all of bytes to a file opened unbuffered, where a short write (a
// full disk, the file size limit) shows in what write() returns; through a
// buffer it could go unnoticed and a shortened file would replace the old
// one. The rest is tried again, so that the failure comes with its reason.
bool writeAll(QFileDevice &file, const QByteArray &bytes, QString &error)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            error = file.error() == QFileDevice::NoError ? tr("the file could not be written whole") : file.errorString();
            return false;
        }
        done += written;
    }
    return true;
}

// Writes bytes into a new file beside path, then renames it to path.
// QSaveFile writes to wherever a link at the name leads; rename replaces
// the name itself, so a link put there after the check is replaced, never
// written through. The new file is made where no link can wait for it.
bool replaceName(const QByteArray &bytes, const QString &path, QString &error)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = target + ".morvo-" + QByteArray::number(QRandomGenerator::system()->generate64(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        error = qt_error_string(errno);
        return false;
    }
    QFile file;
    file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    bool replaced = writeAll(file, bytes, error);
    if (replaced && (::fsync(fd) != 0 || std::rename(temporary.constData(), target.constData()) != 0)) {
        error = qt_error_string(errno);
        replaced = false;
    }
    file.close();
    if (!replaced)
        ::unlink(temporary.constData());
    return replaced;
}

// Where a write to path lands: the end of a chain of links at the name, as
// QSaveFile follows it, in its folder with every link resolved.
QString landingPath(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir(folder.isEmpty() ? info.absolutePath() : folder).filePath(info.fileName());
}

} // namespace

bool readFileHead(const QString &path, qint64 limit, const QString &what, QByteArray &data,
                  qint64 &size, QString &error)
{
    // An empty argument (an unset shell variable) names no file; Qt would
    // take it for the current folder here and there.
    if (path.isEmpty()) {
        error = tr("an empty name, which names no file, is not %1").arg(what);
        return false;
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        error = tr("%1 is a folder, not %2").arg(path, what);
        return false;
    }
    // Opening a pipe waits for a writer, and a device has no size: neither
    // is read as a file.
    if (info.exists() && !info.isFile()) {
        error = tr("%1 is a device, a pipe or a socket, not %2").arg(path, what);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = tr("cannot open %1: %2").arg(path, file.errorString());
        // Bytes of a name that are not UTF-8 were turned into U+FFFD on the
        // way in, so the name no longer names the file.
        if (!info.exists() && path.contains(QChar::ReplacementCharacter))
            error += tr(" (the name holds bytes that are not UTF-8; rename the file)");
        return false;
    }
    data = file.read(limit);
    size = std::max<qint64>(file.size(), data.size());
    return true;
}

bool writeFileSafely(const QByteArray &bytes, const QString &path, QString &error, LinkUse links)
{
    // The new file replaces the old one by renaming: never over a folder,
    // and never over a device or a pipe (as root, /dev/null itself).
    const QFileInfo target(path);
    if (links == LinkUse::Refuse && target.isSymLink()) {
        error = tr("it is a symbolic link, written through only when its name is given");
        return false;
    }
    if (target.isDir()) {
        error = tr("it is a folder");
        return false;
    }
    if (target.exists() && !target.isFile()) {
        error = tr("it is a device, a pipe or a socket, not a file");
        return false;
    }
    if (links == LinkUse::Refuse)
        return replaceName(bytes, path, error);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    if (!writeAll(file, bytes, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool isSameFile(const QString &a, const QString &b)
{
    return landingPath(a) == landingPath(b);
}

QByteArray pictureFileBytes(const PictureState &state)
{
    QByteArray bytes;
    if (state.isDhgr)
        bytes.append(reinterpret_cast<const char *>(state.auxMemory.data()), kPictureBytes);
    bytes.append(reinterpret_cast<const char *>(state.mainMemory.data()), kPictureBytes);
    return bytes;
}

QString companionAuxPath(const QString &path)
{
    QString stem = path;
    if (stem.endsWith(QStringLiteral(".hgr"), Qt::CaseInsensitive) || stem.endsWith(QStringLiteral(".bin"), Qt::CaseInsensitive))
        stem.chop(4);
    return stem + QStringLiteral(".AUX");
}

bool prodosTypeInName(const QString &fileName, quint8 &type, quint16 &aux)
{
    static const QRegularExpression suffix(QStringLiteral("#([0-9A-Fa-f]{2})([0-9A-Fa-f]{4})$"));
    const QRegularExpressionMatch match = suffix.match(fileName);
    if (!match.hasMatch())
        return false;
    type = quint8(match.captured(1).toUInt(nullptr, 16));
    aux = quint16(match.captured(2).toUInt(nullptr, 16));
    return true;
}

namespace {

// Transfer tools that keep a DOS 3.3 binary file's header may also keep the
// rest of its last 256-byte sector.
bool hasDosPictureHeader(const QByteArray &data, qint64 size)
{
    const DosBinaryHeader header = dosBinaryHeader(data);
    if (dosBinaryPictureReason(header).isEmpty())
        return false;
    constexpr qint64 kSector = 256;
    const qint64 follows = size - kDosBinaryHeaderBytes;
    const qint64 wholeSectors = (header.length + kDosBinaryHeaderBytes + kSector - 1) / kSector * kSector;
    return follows >= header.length && follows <= wholeSectors - kDosBinaryHeaderBytes;
}

// Single-file DHGR pictures are often named for it.
bool hasDhgrName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QLatin1String("A2FC"), Qt::CaseInsensitive) == 0
        || suffix.compare(QLatin1String("A2FM"), Qt::CaseInsensitive) == 0;
}

PictureFile readBySize(const QString &path, const QByteArray &data, qint64 n)
{
    if (n < kShortestPage) {
        PictureFile refused;
        refused.size = n;
        const DosBinaryHeader header = dosBinaryHeader(data);
        if (n == header.length + kDosBinaryHeaderBytes && n > kDosBinaryHeaderBytes)
            refused.error = tr("%1: %2").arg(path, pictureFromDosBinary(data).error);
        else
            refused.error = tr("%1: a %2-byte file: not a hi-res memory image (those have 8,184 bytes or more)")
                                .arg(path, thousands(n));
        return refused;
    }
    const bool dhgrSize = n >= kShortestDhgr && n <= kLongestDhgr;
    const QString source = hasDhgrName(path) ? dhgrSize ? tr("a DHGR file by its name")
                                                        : tr("named as a DHGR file, but of %1 bytes: read as HGR").arg(thousands(n))
                                             : QString();
    PictureFile result = memoryImage(data, dhgrSize);
    result.size = n;
    result.source = source;
    if (!dhgrSize) {
        result.tailIgnored = n > kPictureBytes;
        loadCompanion(path, result);
    }
    return result;
}

} // namespace

PictureFile readPictureFile(const QString &path)
{
    PictureFile result;
    QByteArray data;
    if (!readFileHead(path, kLargestPictureFile, tr("a picture"), data, result.size, result.error))
        return result;
    const qint64 n = result.size;

    quint8 type = 0;
    quint16 aux = 0;
    // A BIN of another length is only binary data: it goes by its size.
    if (prodosTypeInName(QFileInfo(path).fileName(), type, aux)
        && (type == kProdosFot || (type == kProdosBin && (isHgrLength(n) || isDhgrLength(n))))) {
        if (n > data.size()) {
            result.error = tr("%1: %2 of %3 bytes: too large for a picture").arg(path, prodosTypeText(type, aux), thousands(n));
            return result;
        }
        result = pictureFromProdosFile(data, type, aux);
        if (!result.loaded())
            result.error = tr("%1: %2").arg(path, result.error);
        return result;
    }
    if (hasDosPictureHeader(data, n)) {
        result = pictureFromDosBinary(data);
        result.size = n;
        return result;
    }
    return readBySize(path, data, n);
}

bool applyPictureFile(const PictureFile &file, PictureState &state)
{
    if (!file.loaded())
        return false;
    state.auxMemory = file.auxMemory;
    state.mainMemory = file.mainMemory;
    state.isDhgr = file.isDhgr();
    return true;
}

QString PictureFile::describe() const
{
    QString line;
    switch (kind) {
    case PictureKind::Unreadable:
        return tr("not loaded: %1").arg(error);
    case PictureKind::Hgr:
        line = tr("HGR");
        break;
    case PictureKind::Dhgr:
        line = tr("DHGR");
        break;
    case PictureKind::HgrWithAux:
        line = tr("HGR + .AUX (%1), shown as DHGR").arg(companionPath);
        break;
    }
    if (!source.isEmpty())
        line += tr(" (%1)").arg(source);
    if (padded)
        line += tr(", short page zero-filled");
    if (tailIgnored)
        line += tr(", bytes after the first 8,192 ignored");
    if (displayHint >= 0)
        line += tr(", made for %1").arg(displayHintText(displayHint));
    if (!companionNote.isEmpty())
        line += tr("; companion not used: %1").arg(companionNote);
    return line;
}
