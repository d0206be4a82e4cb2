#pragma once

#include "diskimage.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// A file in a ProDOS directory.
struct ProdosFileEntry {
    QString path;          // from the volume directory: "ART/DEEP/PIC"
    int storage = 0;       // 1 seedling, 2 sapling, 3 tree
    quint8 type = 0;
    quint16 aux = 0;
    int keyBlock = 0;
    qint64 eof = 0;        // the file's length in bytes
};

// A ProDOS volume read through its volume directory (block 2), its
// subdirectories and each file's index blocks. Every block number comes from
// the disk and is checked before use; directory chains remember the blocks
// they visited, so neither a chain nor a subdirectory can loop.
class ProdosVolume {
public:
    ProdosVolume(const DiskImage &image, DiskImage::Order order);

    // How much the image looks like a ProDOS volume in this order: 0 when
    // block 2 is not a volume directory, more for each directory block and
    // entry that is sane.
    int plausibility() const;
    QString volumeName() const;
    // The number of blocks the volume directory gives.
    int totalBlocks() const;

    // Every seedling, sapling and tree file, subdirectories walked. What
    // could not be read (a chain that loops or leaves the image, a file
    // longer than its storage holds, a file with two forks of a picture's
    // type) goes to problems, and the files read until then are kept.
    std::vector<ProdosFileEntry> files(QStringList &problems) const;

    // The first limit bytes of a file (fewer when its length is shorter); a
    // sparse block (number 0 in an index) reads as zeros. false with the
    // reason when an index or data block lies outside the volume.
    bool readFile(const ProdosFileEntry &file, qint64 limit, QByteArray &data, QString &error) const;

private:
    using Block = std::array<uchar, DiskImage::kBlockBytes>;
    bool block(int number, Block &out) const;
    bool readDirectory(int keyBlock, const QString &prefix, int depth, QSet<int> &visited,
                       std::vector<ProdosFileEntry> &files, QStringList &problems) const;
    int lastBlock() const;

    const DiskImage &m_image;
    DiskImage::Order m_order;
};
