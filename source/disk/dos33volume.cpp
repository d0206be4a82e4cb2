#include "dos33volume.h"

#include <QCoreApplication>
#include <QSet>

#include <array>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Dos33Volume", text);
}

constexpr int kVtocTrack = 17;
constexpr int kCatalogEntries = 7;
constexpr int kFirstEntry = 0x0B;
constexpr int kEntryBytes = 35;
constexpr int kNameBytes = 30;
constexpr int kPairsPerList = 122;
constexpr int kFirstPair = 0x0C;
constexpr uchar kDeleted = 0xFF;
constexpr int kSectorsOnDisk = DiskImage::kTracks * DiskImage::kSectorsPerTrack;

int key(int track, int sector)
{
    return track * DiskImage::kSectorsPerTrack + sector;
}

QString place(int track, int sector)
{
    return QCoreApplication::translate("Dos33Volume", "track %1, sector %2").arg(track).arg(sector);
}

// DOS 3.3 keeps names in high-bit ASCII, padded with spaces. Control
// characters are shown as their Unicode symbols, which keeps names apart
// and printable.
QString catalogName(const uchar *bytes)
{
    QString name;
    for (int i = 0; i < kNameBytes; ++i) {
        const int c = bytes[i] & 0x7F;
        name += c < 0x20 ? QChar(0x2400 + c) : c == 0x7F ? QChar(0x2421) : QChar(c);
    }
    while (name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    return name;
}

} // namespace

Dos33Volume::Dos33Volume(const DiskImage &image, DiskImage::Order order)
    : m_image(image), m_order(order)
{
}

bool Dos33Volume::inRange(int track, int sectorNumber) const
{
    return track >= 0 && track < DiskImage::kTracks && sectorNumber >= 0 && sectorNumber < DiskImage::kSectorsPerTrack;
}

bool Dos33Volume::sector(int track, int sectorNumber, Sector &out) const
{
    return inRange(track, sectorNumber) && m_image.readSector(track, sectorNumber, m_order, out.data());
}

bool Dos33Volume::hasSaneVtoc(Sector &vtoc) const
{
    return m_image.isFloppy() && sector(kVtocTrack, 0, vtoc) && inRange(vtoc[1], vtoc[2]) && vtoc[1] != 0
        && vtoc[0x27] == kPairsPerList && vtoc[0x34] == DiskImage::kTracks
        && vtoc[0x35] == DiskImage::kSectorsPerTrack && vtoc[0x36] == 0x00 && vtoc[0x37] == 0x01;
}

int Dos33Volume::volumeNumber() const
{
    Sector vtoc;
    return sector(kVtocTrack, 0, vtoc) ? vtoc[6] : 0;
}

// A list starts with a zero byte, points at a next list on the disk, and
// names only sectors on the disk, at least one of them.
bool Dos33Volume::looksLikeList(int track, int sectorNumber) const
{
    Sector list;
    if (!sector(track, sectorNumber, list) || list[0] != 0 || !(inRange(list[1], list[2])))
        return false;
    bool any = false;
    for (int i = 0; i < kPairsPerList; ++i) {
        const int t = list[size_t(kFirstPair + 2 * i)];
        const int s = list[size_t(kFirstPair + 2 * i + 1)];
        if (!inRange(t, s))
            return false;
        any = any || t != 0;
    }
    return any;
}

int Dos33Volume::plausibility() const
{
    Sector vtoc;
    if (!hasSaneVtoc(vtoc))
        return 0;
    QStringList problems;
    const std::vector<DosCatalogEntry> files = catalog(problems);
    int score = 1;
    for (const DosCatalogEntry &file : files)
        if (looksLikeList(file.listTrack, file.listSector))
            score += 2;
    return problems.isEmpty() ? score + 1 : score;
}

std::vector<DosCatalogEntry> Dos33Volume::catalog(QStringList &problems) const
{
    std::vector<DosCatalogEntry> files;
    Sector vtoc;
    if (!hasSaneVtoc(vtoc)) {
        problems << tr("no DOS 3.3 VTOC on track 17, sector 0");
        return files;
    }
    QSet<int> visited;
    int track = vtoc[1];
    int sectorNumber = vtoc[2];
    while (track != 0 || sectorNumber != 0) {
        Sector catalogSector;
        if (!sector(track, sectorNumber, catalogSector)) {
            problems << tr("the catalog goes on at %1, outside the disk").arg(place(track, sectorNumber));
            break;
        }
        if (visited.contains(key(track, sectorNumber))) {
            problems << tr("the catalog comes back to %1: its chain loops").arg(place(track, sectorNumber));
            break;
        }
        visited.insert(key(track, sectorNumber));
        for (int i = 0; i < kCatalogEntries; ++i) {
            const uchar *entry = catalogSector.data() + kFirstEntry + i * kEntryBytes;
            if (entry[0] == 0 || entry[0] == kDeleted)
                continue;
            DosCatalogEntry file;
            file.listTrack = entry[0];
            file.listSector = entry[1];
            file.type = entry[2];
            file.name = catalogName(entry + 3);
            file.sectors = entry[33] | (entry[34] << 8);
            files.push_back(file);
        }
        track = catalogSector[1];
        sectorNumber = catalogSector[2];
    }
    return files;
}

bool Dos33Volume::readFile(const DosCatalogEntry &file, qint64 limit, QByteArray &data, QString &error) const
{
    data.clear();
    QSet<int> visited;
    int track = file.listTrack;
    int sectorNumber = file.listSector;
    while ((track != 0 || sectorNumber != 0) && data.size() < limit) {
        Sector list;
        if (!sector(track, sectorNumber, list)) {
            error = tr("its track/sector list at %1 is outside the disk").arg(place(track, sectorNumber));
            return false;
        }
        if (visited.contains(key(track, sectorNumber)) || visited.size() >= kSectorsOnDisk) {
            error = tr("its track/sector lists come back to %1: the chain loops").arg(place(track, sectorNumber));
            return false;
        }
        visited.insert(key(track, sectorNumber));
        for (int i = 0; i < kPairsPerList && data.size() < limit; ++i) {
            const int t = list[size_t(kFirstPair + 2 * i)];
            const int s = list[size_t(kFirstPair + 2 * i + 1)];
            Sector bytes{};
            if ((t != 0 || s != 0) && !sector(t, s, bytes)) {
                error = tr("its data at %1 is outside the disk").arg(place(t, s));
                return false;
            }
            data.append(reinterpret_cast<const char *>(bytes.data()), DiskImage::kSectorBytes);
        }
        track = list[1];
        sectorNumber = list[2];
    }
    data.truncate(int(std::min<qint64>(data.size(), limit)));
    return true;
}
