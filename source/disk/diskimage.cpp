#include "diskimage.h"

#include "picturetypes.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <array>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DiskImage", text);
}

// The DOS logical sectors that hold the two halves of each block of a
// track, by block number mod 8.
constexpr std::array<std::array<int, 2>, 8> kBlockHalves = {{
    {0, 14}, {13, 12}, {11, 10}, {9, 8}, {7, 6}, {5, 4}, {3, 2}, {1, 15},
}};

constexpr qint64 kTwoImgHeader = 64;
constexpr quint32 kTwoImgDosOrder = 0;
constexpr quint32 kTwoImgProdosOrder = 1;
constexpr quint32 kTwoImgNibbles = 2;

quint32 word32(const QByteArray &bytes, int at)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData()) + at;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

bool namedForProdosOrder(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("po") || suffix == QLatin1String("hdv");
}

} // namespace

DiskImage::DiskImage() = default;
DiskImage::~DiskImage() = default;

bool DiskImage::open(const QString &path, QString &error)
{
    m_file.reset();
    m_container.clear();
    m_notes.clear();
    m_orders.clear();
    m_offset = m_length = 0;
    const QFileInfo info(path);
    if (info.isDir()) {
        error = tr("%1 is a folder, not a disk image").arg(path);
        return false;
    }
    if (info.exists() && !info.isFile()) {
        error = tr("%1 is a device, a pipe or a socket, not a disk image").arg(path);
        return false;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        error = tr("cannot open %1: %2").arg(path, file->errorString());
        return false;
    }
    m_file = std::move(file);
    const qint64 fileSize = m_file->size();
    m_length = fileSize;
    if (!readHeader(path, fileSize, error) || !checkSize(path, error)) {
        m_file.reset();
        return false;
    }
    if (m_orders.isEmpty()) {
        if (!isFloppy())
            m_orders = {Order::Prodos};
        else if (namedForProdosOrder(path))
            m_orders = {Order::Prodos, Order::Dos};
        else
            m_orders = {Order::Dos, Order::Prodos};
    }
    return true;
}

bool DiskImage::checkSize(const QString &path, QString &error)
{
    if (m_length > kLargestVolume) {
        error = tr("%1: %2 bytes of disk data: larger than any ProDOS volume (32 MB)").arg(path, thousands(m_length));
        return false;
    }
    if (m_length < kBlockBytes) {
        error = tr("%1: %2 bytes: too small for a disk image").arg(path, thousands(m_length));
        return false;
    }
    if (m_length % kBlockBytes != 0)
        m_notes << tr("%1 bytes is not a whole number of 512-byte blocks; the last %2 bytes are not read")
                       .arg(thousands(m_length), thousands(m_length % kBlockBytes));
    return true;
}

// A 2IMG header names the order and where the disk data lies; a bare image
// is all data.
bool DiskImage::readHeader(const QString &path, qint64 fileSize, QString &error)
{
    const QByteArray header = m_file->read(kTwoImgHeader);
    if (!header.startsWith("2IMG"))
        return true;
    m_container = QStringLiteral("2IMG");
    if (header.size() < kTwoImgHeader) {
        error = tr("%1: the 2IMG header is cut short (%2 of 64 bytes)").arg(path, thousands(header.size()));
        return false;
    }
    const quint32 format = word32(header, 0x0C);
    if (format == kTwoImgNibbles) {
        error = tr("%1: a 2IMG image of disk nibbles; morvo reads DOS-order and ProDOS-order images").arg(path);
        return false;
    }
    if (format == kTwoImgDosOrder)
        m_orders = {Order::Dos};
    else if (format == kTwoImgProdosOrder)
        m_orders = {Order::Prodos};
    else
        m_notes << tr("the 2IMG header names image format %1; trying both sector orders").arg(format);
    const qint64 blocks = word32(header, 0x14);
    m_offset = word32(header, 0x18);
    m_length = word32(header, 0x1C);
    if (m_length == 0)
        m_length = blocks * kBlockBytes;
    // A header whose offsets lie: take the data from the end of the header
    // on, and whatever the file holds.
    if (m_offset < kTwoImgHeader || m_offset >= fileSize) {
        m_notes << tr("the 2IMG header puts the disk data at byte %1, outside the file's header and data; "
                      "reading it from byte 64").arg(thousands(m_offset));
        m_offset = kTwoImgHeader;
    }
    if (m_length == 0 || m_length > fileSize - m_offset) {
        if (m_length > fileSize - m_offset)
            m_notes << tr("the 2IMG header names %1 bytes of disk data, but the file holds %2 after the header")
                           .arg(thousands(m_length), thousands(fileSize - m_offset));
        m_length = fileSize - m_offset;
    }
    return true;
}

// A file that shrank since it was opened reads as cut short there.
bool DiskImage::copyAt(qint64 offset, uchar *out, int n) const
{
    if (!m_file || offset < 0 || offset + n > m_length)
        return false;
    const std::lock_guard<std::mutex> lock(m_reading);
    return m_file->seek(m_offset + offset) && m_file->read(reinterpret_cast<char *>(out), n) == n;
}

bool DiskImage::readBlock(int block, Order order, uchar *out) const
{
    if (block < 0)
        return false;
    if (order == Order::Prodos)
        return copyAt(qint64(block) * kBlockBytes, out, kBlockBytes);
    const int track = block / 8;
    const auto &halves = kBlockHalves[size_t(block % 8)];
    return readSector(track, halves[0], order, out) && readSector(track, halves[1], order, out + kSectorBytes);
}

bool DiskImage::readSector(int track, int sector, Order order, uchar *out) const
{
    if (track < 0 || sector < 0 || sector >= kSectorsPerTrack)
        return false;
    if (order == Order::Dos)
        return copyAt((qint64(track) * kSectorsPerTrack + sector) * kSectorBytes, out, kSectorBytes);
    for (int b = 0; b < 8; ++b)
        for (int half = 0; half < 2; ++half)
            if (kBlockHalves[size_t(b)][size_t(half)] == sector)
                return copyAt((qint64(track) * 8 + b) * kBlockBytes + half * kSectorBytes, out, kSectorBytes);
    return false;
}
