#include "pictureloader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QLocale>

#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kDhgrBytes = 2 * kPictureBytes;        // 16384
constexpr qint64 kShortestDhgr = kDhgrBytes - 8;        // 16376
constexpr qint64 kLongestDhgr = kDhgrBytes + 1;         // a stray trailing byte

QString tr(const char *text)
{
    return QCoreApplication::translate("PictureLoader", text);
}

QString bytes(qint64 n)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(n);
}

void copyInto(PictureMemory &memory, const QByteArray &data, qint64 offset)
{
    memory.fill(0);
    const qint64 n = std::clamp<qint64>(data.size() - offset, 0, kPictureBytes);
    if (n > 0)
        std::memcpy(memory.data(), data.constData() + offset, size_t(n));
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
        result.companionNote = tr("%1 is only %2 bytes").arg(candidate, bytes(size));
        return;
    }
    copyInto(result.auxMemory, data, 0);
    result.companionPath = candidate;
    result.kind = PictureKind::HgrWithAux;
    result.padded = result.padded || size < kPictureBytes;
}

} // namespace

bool readFileHead(const QString &path, qint64 limit, const QString &what, QByteArray &data,
                  qint64 &size, QString &error)
{
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

bool writeFileSafely(const QByteArray &bytes, const QString &path, QString &error)
{
    // The new file replaces the old one by renaming: never over a folder,
    // and never over a device or a pipe (as root, /dev/null itself).
    const QFileInfo target(path);
    if (target.isDir()) {
        error = tr("it is a folder");
        return false;
    }
    if (target.exists() && !target.isFile()) {
        error = tr("it is a device, a pipe or a socket, not a file");
        return false;
    }
    QSaveFile file(path);
    // Unbuffered, a short write (a full disk, a file size limit) shows in
    // what write() returns; through the buffer it can go unnoticed and the
    // shortened file would still replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        error = file.error() == QFileDevice::NoError ? tr("the file could not be written whole") : file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
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
    if (stem.endsWith(QStringLiteral(".hgr"), Qt::CaseInsensitive))
        stem.chop(4);
    return stem + QStringLiteral(".AUX");
}

PictureFile readPictureFile(const QString &path)
{
    PictureFile result;
    QByteArray data;
    if (!readFileHead(path, kLongestDhgr, tr("a picture"), data, result.size, result.error))
        return result;

    const qint64 n = result.size;
    if (n < kShortestPage) {
        result.error = tr("%1 is %2 bytes: too short for a hi-res picture (at least 8,184)")
                           .arg(path, bytes(n));
        return result;
    }
    if (n >= kShortestDhgr && n <= kLongestDhgr) {
        copyInto(result.auxMemory, data, 0);
        copyInto(result.mainMemory, data, kPictureBytes);
        result.kind = PictureKind::Dhgr;
        result.padded = n < kDhgrBytes;
        return result;
    }
    copyInto(result.mainMemory, data, 0);
    result.auxMemory.fill(0);
    result.kind = PictureKind::Hgr;
    result.padded = n < kPictureBytes;
    loadCompanion(path, result);
    return result;
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
    if (padded)
        line += tr(", short page zero-filled");
    if (size > kLongestDhgr || (size > kPictureBytes && size < kShortestDhgr))
        line += tr(", bytes after the first 8,192 ignored");
    if (!companionNote.isEmpty())
        line += tr("; companion not used: %1").arg(companionNote);
    return line;
}
