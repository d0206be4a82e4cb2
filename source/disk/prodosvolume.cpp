#include "prodosvolume.h"

#include "picturetypes.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>
#include <cctype>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ProdosVolume", text);
}

constexpr int kVolumeDirectory = 2;
constexpr int kEntryBytes = 0x27;
constexpr int kEntriesPerBlock = 0x0D;
constexpr int kFirstEntry = 4;
constexpr int kSeedling = 1;
constexpr int kSapling = 2;
constexpr int kTree = 3;
constexpr int kForked = 5;
constexpr int kSubdirectory = 0xD;
constexpr int kSubdirectoryHeader = 0xE;
constexpr int kVolumeHeader = 0xF;
// Deeper than any disk's folders; it bounds the walk.
constexpr int kDeepestFolder = 64;
// More files than real volumes hold; a damaged 32 MB volume could name some
// 800,000 in directory blocks, and listing that many helps nobody.
constexpr size_t kMostFiles = 20000;
constexpr qint64 kSaplingBlocks = 256;
constexpr qint64 kTreeIndexes = 128;

int word(const uchar *p)
{
    return p[0] | (p[1] << 8);
}

// ProDOS names are letters, digits and dots; anything else shows that the
// bytes are not a name.
bool isProdosName(const uchar *entry)
{
    const int length = entry[0] & 0x0F;
    if (length == 0 || !std::isalpha(entry[1]))
        return false;
    return std::all_of(entry + 1, entry + 1 + length,
                       [](uchar c) { return std::isupper(c) || std::isdigit(c) || c == '.'; });
}

QString entryName(const uchar *entry)
{
    QString name;
    for (int i = 1; i <= (entry[0] & 0x0F); ++i) {
        const int c = entry[i] & 0x7F;
        name += c < 0x20 ? QChar(0x2400 + c) : QChar(c);
    }
    return name;
}

qint64 capacityOf(int storage)
{
    const qint64 block = DiskImage::kBlockBytes;
    return storage == kSeedling ? block : storage == kSapling ? kSaplingBlocks * block : kTreeIndexes * kSaplingBlocks * block;
}

QString tooMany()
{
    return tr("more than %1 files; the rest are not listed").arg(thousands(qint64(kMostFiles)));
}

QString storageName(int storage)
{
    return storage == kSeedling ? tr("seedling") : storage == kSapling ? tr("sapling") : tr("tree");
}

} // namespace

ProdosVolume::ProdosVolume(const DiskImage &image, DiskImage::Order order)
    : m_image(image), m_order(order)
{
}

bool ProdosVolume::block(int number, Block &out) const
{
    return number >= 0 && number <= lastBlock() && m_image.readBlock(number, m_order, out.data());
}

int ProdosVolume::lastBlock() const
{
    return std::min(m_image.blockCount(), 65536) - 1;
}

int ProdosVolume::plausibility() const
{
    Block first;
    if (!block(kVolumeDirectory, first))
        return 0;
    const uchar *header = first.data() + kFirstEntry;
    if (word(first.data()) != 0 || (header[0] >> 4) != kVolumeHeader || !isProdosName(header)
        || header[0x1F] != kEntryBytes || header[0x20] != kEntriesPerBlock)
        return 0;
    int score = 2;
    QStringList problems;
    QSet<int> visited;
    std::vector<ProdosFileEntry> found;
    readDirectory(kVolumeDirectory, QString(), 0, visited, found, problems);
    score += int(visited.size()) + int(found.size());
    return problems.isEmpty() ? score + 1 : score;
}

QString ProdosVolume::volumeName() const
{
    Block first;
    return block(kVolumeDirectory, first) ? entryName(first.data() + kFirstEntry) : QString();
}

int ProdosVolume::totalBlocks() const
{
    Block first;
    return block(kVolumeDirectory, first) ? word(first.data() + kFirstEntry + 0x25) : 0;
}

std::vector<ProdosFileEntry> ProdosVolume::files(QStringList &problems) const
{
    std::vector<ProdosFileEntry> found;
    const int total = totalBlocks();
    if (total > m_image.blockCount())
        problems << tr("the volume has %1 blocks but the image holds %2: it may be cut short")
                        .arg(thousands(total), thousands(m_image.blockCount()));
    QSet<int> visited;
    readDirectory(kVolumeDirectory, QString(), 0, visited, found, problems);
    return found;
}

bool ProdosVolume::readDirectory(int keyBlock, const QString &prefix, int depth, QSet<int> &visited,
                                 std::vector<ProdosFileEntry> &files, QStringList &problems) const
{
    const QString where = prefix.isEmpty() ? tr("the volume directory") : prefix.chopped(1);
    int current = keyBlock;
    int entryBytes = kEntryBytes;
    int entriesPerBlock = kEntriesPerBlock;
    bool first = true;
    while (current != 0) {
        Block bytes;
        if (visited.contains(current)) {
            problems << tr("%1 comes back to block %2: its chain loops").arg(where).arg(current);
            return false;
        }
        if (!block(current, bytes)) {
            problems << tr("%1 goes on at block %2, outside the image").arg(where).arg(current);
            return false;
        }
        visited.insert(current);
        if (first) {
            const uchar *header = bytes.data() + kFirstEntry;
            const int kind = header[0] >> 4;
            if (kind != kVolumeHeader && kind != kSubdirectoryHeader) {
                problems << tr("%1 at block %2 has no directory header").arg(where).arg(current);
                return false;
            }
            // The header gives the entry layout; a layout that does not fit
            // a block is not believed.
            if (header[0x1F] >= kEntryBytes && header[0x20] >= 1 && kFirstEntry + header[0x1F] * header[0x20] <= DiskImage::kBlockBytes) {
                entryBytes = header[0x1F];
                entriesPerBlock = header[0x20];
            }
        }
        for (int i = first ? 1 : 0; i < entriesPerBlock; ++i) {
            if (files.size() >= kMostFiles) {
                if (!problems.contains(tooMany()))
                    problems << tooMany();
                return false;
            }
            const uchar *entry = bytes.data() + kFirstEntry + i * entryBytes;
            const int storage = entry[0] >> 4;
            if (storage == 0 || (entry[0] & 0x0F) == 0)
                continue;
            ProdosFileEntry file;
            file.path = prefix + entryName(entry);
            file.storage = storage;
            file.type = entry[0x10];
            file.keyBlock = word(entry + 0x11);
            file.eof = entry[0x15] | (entry[0x16] << 8) | (qint64(entry[0x17]) << 16);
            file.aux = quint16(word(entry + 0x1F));
            if (storage == kSubdirectory) {
                if (depth + 1 >= kDeepestFolder)
                    problems << tr("%1: folders nested deeper than %2 are not read").arg(file.path).arg(kDeepestFolder);
                else
                    readDirectory(file.keyBlock, file.path + QLatin1Char('/'), depth + 1, visited, files, problems);
            } else if (storage == kForked) {
                if (file.type == kProdosBin || file.type == kProdosFot)
                    problems << tr("%1: a file with two forks (%2), which is not read").arg(file.path, prodosTypeText(file.type, file.aux));
            } else if (storage >= kSeedling && storage <= kTree) {
                if (file.eof > capacityOf(storage))
                    problems << tr("%1: %2 bytes long, more than a %3 file holds").arg(file.path, thousands(file.eof), storageName(storage));
                else
                    files.push_back(file);
            }
        }
        first = false;
        current = word(bytes.data() + 2);
    }
    return true;
}

bool ProdosVolume::readFile(const ProdosFileEntry &file, qint64 limit, QByteArray &data, QString &error) const
{
    const qint64 length = std::min({file.eof, limit, capacityOf(file.storage)});
    const qint64 blocks = (length + DiskImage::kBlockBytes - 1) / DiskImage::kBlockBytes;
    data = QByteArray(blocks * DiskImage::kBlockBytes, '\0');
    Block master{};
    Block index{};
    int indexLoaded = -1;
    const auto load = [&](int number, Block &into, const char *what) {
        if (number != 0 && block(number, into))
            return true;
        error = tr("its %1 block %2 lies outside the image").arg(QLatin1String(what)).arg(number);
        return false;
    };
    if (file.storage == kTree && blocks > 0 && !load(file.keyBlock, master, "master index"))
        return false;
    if (file.storage == kSapling && blocks > 0 && !load(file.keyBlock, index, "index"))
        return false;
    for (qint64 i = 0; i < blocks; ++i) {
        int dataBlock = file.keyBlock;
        if (file.storage == kSapling) {
            dataBlock = index[size_t(i)] | (index[size_t(i + 256)] << 8);
        } else if (file.storage == kTree) {
            const int which = int(i / kSaplingBlocks);
            const int indexBlock = master[size_t(which)] | (master[size_t(which + 256)] << 8);
            if (indexBlock == 0)
                continue;  // a whole index's worth of sparse blocks
            if (indexLoaded != which) {
                if (!load(indexBlock, index, "index"))
                    return false;
                indexLoaded = which;
            }
            const int at = int(i % kSaplingBlocks);
            dataBlock = index[size_t(at)] | (index[size_t(at + 256)] << 8);
        }
        if (dataBlock == 0)
            continue;  // sparse: zeros
        Block bytes;
        if (!load(dataBlock, bytes, "data"))
            return false;
        std::copy(bytes.begin(), bytes.end(), data.begin() + i * DiskImage::kBlockBytes);
    }
    data.truncate(int(length));
    return true;
}
