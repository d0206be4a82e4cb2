#include "picturetypes.h"

#include "unpack.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kDhgrBytes = 2 * kPictureBytes;
constexpr quint16 kPage1 = 0x2000;
constexpr quint16 kPage2 = 0x4000;
// A FOT's mode byte sits in the first screen hole.
constexpr int kFotModeOffset = 120;
constexpr int kFotModes = 8;

QString tr(const char *text)
{
    return QCoreApplication::translate("PictureTypes", text);
}

QString hex4(quint16 value)
{
    return QStringLiteral("$%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

QString kindOfLength(qint64 n)
{
    return isDhgrLength(n) ? QStringLiteral("DHGR") : QStringLiteral("HGR");
}

PictureFile refused(qint64 size, const QString &error)
{
    PictureFile file;
    file.size = size;
    file.error = error;
    return file;
}

// A packed FOT: unpacked into a picture of capacity bytes, which must come
// out whole (or short by the last screen hole at most).
PictureFile unpackedFot(const QByteArray &data, quint16 aux, const QString &what)
{
    const bool dhgr = aux == kFotPackBytesDhgr;
    const qint64 capacity = dhgr ? kDhgrBytes : kPictureBytes;
    QByteArray out(capacity, '\0');
    QString error;
    const qsizetype n = aux == kFotLz4fhHgr ? unpackLz4fh(data, out, error) : unpackPackBytes(data, out, error);
    if (n < 0)
        return refused(data.size(), tr("%1, but it does not unpack: %2").arg(what, error));
    const bool whole = dhgr ? isDhgrLength(n) : isHgrLength(n);
    if (!whole)
        return refused(data.size(), tr("%1, but it unpacks to %2 bytes, not a whole %3 picture")
                                        .arg(what, thousands(n), dhgr ? QStringLiteral("DHGR") : QStringLiteral("HGR")));
    PictureFile file = memoryImage(out.left(n), dhgr);
    file.size = data.size();
    return file;
}

} // namespace

QString thousands(qint64 n)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(n);
}

PictureFile memoryImage(const QByteArray &data, bool dhgr)
{
    PictureFile file;
    file.size = data.size();
    file.kind = dhgr ? PictureKind::Dhgr : PictureKind::Hgr;
    const auto copyPage = [&data](PictureMemory &memory, qint64 from) {
        memory.fill(0);
        const qint64 n = std::clamp<qint64>(data.size() - from, 0, kPictureBytes);
        std::memcpy(memory.data(), data.constData() + from, size_t(n));
    };
    copyPage(dhgr ? file.auxMemory : file.mainMemory, 0);
    if (dhgr)
        copyPage(file.mainMemory, kPictureBytes);
    file.padded = data.size() < (dhgr ? kDhgrBytes : kPictureBytes);
    return file;
}

bool isHgrLength(qint64 n)
{
    return n >= kShortestPage && n <= kPictureBytes;
}

bool isDhgrLength(qint64 n)
{
    return n >= kDhgrBytes - 8 && n <= kDhgrBytes;
}

QString prodosTypeText(quint8 type, quint16 aux)
{
    if (type == kProdosBin)
        return QStringLiteral("BIN ") + hex4(aux);
    if (type == kProdosFot)
        return QStringLiteral("FOT ") + hex4(aux);
    return QStringLiteral("$%1 %2").arg(type, 2, 16, QLatin1Char('0')).toUpper().arg(hex4(aux));
}

QString prodosPictureReason(quint8 type, quint16 aux, qint64 length)
{
    const QString typeText = prodosTypeText(type, aux);
    const bool pictureLength = isHgrLength(length) || isDhgrLength(length);
    if (type == kProdosBin && pictureLength)
        return tr("%1 of %2 bytes: %3").arg(typeText, thousands(length), kindOfLength(length));
    if (type != kProdosFot)
        return QString();
    if (aux < kFotPackBytesHgr && pictureLength)
        return tr("%1 of %2 bytes: %3 graphics screen").arg(typeText, thousands(length), kindOfLength(length));
    if (length > kLargestPictureFile)
        return QString();
    if (aux == kFotPackBytesHgr)
        return tr("%1: PackBytes-packed HGR").arg(typeText);
    if (aux == kFotPackBytesDhgr)
        return tr("%1: PackBytes-packed DHGR").arg(typeText);
    if (aux == kFotLz4fhHgr)
        return tr("%1: LZ4FH-packed HGR").arg(typeText);
    return QString();
}

PictureFile pictureFromProdosFile(const QByteArray &data, quint8 type, quint16 aux)
{
    const qint64 n = data.size();
    const QString reason = prodosPictureReason(type, aux, n);
    if (reason.isEmpty()) {
        const QString typeText = prodosTypeText(type, aux);
        if (type == kProdosFot && aux >= kFotPackBytesHgr && n <= kLargestPictureFile)
            return refused(n, tr("%1: a packing morvo does not read").arg(typeText));
        return refused(n, tr("%1 of %2 bytes: not a hi-res picture (those are 8,184 to 8,192 bytes, "
                             "or 16,376 to 16,384 for DHGR)").arg(typeText, thousands(n)));
    }
    PictureFile file;
    if (type == kProdosFot && aux >= kFotPackBytesHgr) {
        file = unpackedFot(data, aux, reason);
    } else {
        file = memoryImage(data, isDhgrLength(n));
        if (type == kProdosFot)
            file.displayHint = fotDisplayHint(data);
    }
    if (file.loaded())
        file.source = reason;
    return file;
}

DosBinaryHeader dosBinaryHeader(const QByteArray &data)
{
    DosBinaryHeader header;
    if (data.size() >= kDosBinaryHeaderBytes) {
        const auto *p = reinterpret_cast<const uchar *>(data.constData());
        header.address = quint16(p[0] | (p[1] << 8));
        header.length = quint16(p[2] | (p[3] << 8));
    }
    return header;
}

QString dosBinaryTypeText(const DosBinaryHeader &header)
{
    return QStringLiteral("B ") + hex4(header.address);
}

QString dosBinaryPictureReason(const DosBinaryHeader &header)
{
    if ((header.address != kPage1 && header.address != kPage2)
        || (!isHgrLength(header.length) && !isDhgrLength(header.length)))
        return QString();
    return tr("B file at %1, %2 bytes: %3").arg(hex4(header.address), thousands(header.length), kindOfLength(header.length));
}

PictureFile pictureFromDosBinary(const QByteArray &data)
{
    const DosBinaryHeader header = dosBinaryHeader(data);
    const QString reason = dosBinaryPictureReason(header);
    const qint64 held = data.size() - kDosBinaryHeaderBytes;
    if (reason.isEmpty())
        return refused(data.size(), tr("a DOS 3.3 binary file for %1, %2 bytes: not a hi-res picture")
                                        .arg(hex4(header.address), thousands(header.length)));
    if (held < header.length)
        return refused(data.size(), tr("%1, but the file holds only %2 of them").arg(reason, thousands(std::max<qint64>(held, 0))));
    PictureFile file = memoryImage(data.mid(kDosBinaryHeaderBytes, header.length), isDhgrLength(header.length));
    file.size = data.size();
    file.source = reason;
    return file;
}

int fotDisplayHint(const QByteArray &data)
{
    return data.size() > kFotModeOffset && uchar(data.at(kFotModeOffset)) < kFotModes ? uchar(data.at(kFotModeOffset)) : -1;
}

QString displayHintText(int hint)
{
    static const char *const kModes[] = {
        QT_TRANSLATE_NOOP("PictureTypes", "280 x 192 black and white"),
        QT_TRANSLATE_NOOP("PictureTypes", "280 x 192 colour"),
        QT_TRANSLATE_NOOP("PictureTypes", "560 x 192 black and white"),
        QT_TRANSLATE_NOOP("PictureTypes", "140 x 192 colour"),
    };
    if (hint < 0 || hint >= kFotModes)
        return QString();
    // Modes 4 to 7 are the same displays for page 2.
    return tr(kModes[hint % 4]);
}
