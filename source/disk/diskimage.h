#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>


// An Apple II disk image: a bare 140 KB floppy in either sector order, an
// 800 KB disk or a hard-disk volume in ProDOS order, or any of these behind
// a 2IMG header. The file's size is checked when it is opened, and then
// only the blocks and sectors asked for are read, each number checked
// against what the image holds; reads may come from several threads.
class DiskImage {
public:
    DiskImage();
    ~DiskImage();
    DiskImage(const DiskImage &) = delete;
    DiskImage &operator=(const DiskImage &) = delete;

    // How a 140 KB image keeps its sectors. In ProDOS order block b is the
    // 512 bytes at b * 512; in DOS order track t, DOS sector s is the 256
    // bytes at (t * 16 + s) * 256, and a block is two sectors of track b / 8.
    enum class Order { Dos, Prodos };

    static constexpr int kBlockBytes = 512;
    static constexpr int kSectorBytes = 256;
    static constexpr int kTracks = 35;
    static constexpr int kSectorsPerTrack = 16;
    static constexpr qint64 kFloppyBytes = qint64(kTracks) * kSectorsPerTrack * kSectorBytes;  // 143,360
    // 65,535 blocks is the largest ProDOS volume; images of a full 32 MB
    // are common too.
    static constexpr qint64 kLargestVolume = qint64(65536) * kBlockBytes;

    // Reads the image at path; false with a message naming it when it
    // cannot be a disk image at all (a folder, empty, far too large, a
    // nibble image, unreadable).
    bool open(const QString &path, QString &error);

    // "2IMG", or empty for a bare image.
    const QString &container() const { return m_container; }
    // What was odd about the image but could be read past: a header that
    // names more data than the file holds, a size that is not whole blocks.
    const QStringList &notes() const { return m_notes; }
    // The orders the image may be in, the likelier first: both for a bare
    // floppy (its name says which to try first), one when a 2IMG header
    // says, ProDOS order for anything larger than a floppy.
    const QList<Order> &orders() const { return m_orders; }
    // Up to 140 KB: a disk that can hold DOS 3.3 as well as ProDOS.
    bool isFloppy() const { return m_length <= kFloppyBytes; }
    // The bytes of disk data, header left out.
    qint64 size() const { return m_length; }
    int blockCount() const { return int(m_length / kBlockBytes); }

    // Copies ProDOS block number block into out (512 bytes); false when any
    // of it lies outside the image.
    bool readBlock(int block, Order order, uchar *out) const;
    // Copies DOS 3.3 track track, logical sector sector into out (256
    // bytes); false when it lies outside the image.
    bool readSector(int track, int sector, Order order, uchar *out) const;

private:
    bool readHeader(const QString &path, qint64 fileSize, QString &error);
    bool checkSize(const QString &path, QString &error);
    bool copyAt(qint64 offset, uchar *out, int n) const;

    std::unique_ptr<QFile> m_file;
    mutable std::mutex m_reading;
    qint64 m_offset = 0;   // where the disk data starts in the file
    qint64 m_length = 0;
    QString m_container;
    QStringList m_notes;
    QList<Order> m_orders;
};
