#pragma once

#include "diskimage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// A file in a DOS 3.3 catalog.
struct DosCatalogEntry {
    QString name;          // as people read it; control characters shown as their symbols
    quint8 type = 0;       // $00 T, $01 I, $02 A, $04 B, ...; bit 7 set when locked
    int listTrack = 0;     // the file's first track/sector list
    int listSector = 0;
    int sectors = 0;       // the catalog's count, lists included

    bool isBinary() const { return (type & 0x7F) == 0x04; }
};

// A DOS 3.3 disk read through its VTOC (track 17, sector 0), its catalog
// chain and each file's chain of track/sector lists. Every track and sector
// number comes from the disk and is checked before use; every chain
// remembers the sectors it visited, so none can loop.
class Dos33Volume {
public:
    Dos33Volume(const DiskImage &image, DiskImage::Order order);

    // How much the image looks like a DOS 3.3 disk in this order: 0 when the
    // VTOC is not one, more for each catalog sector and track/sector list
    // that is sane. Comparing the score of both orders finds the order.
    int plausibility() const;
    int volumeNumber() const;

    // Every file in the catalog, deleted ones left out. What could not be
    // read (a chain that loops or leaves the disk) goes to problems, and the
    // files read until then are kept.
    std::vector<DosCatalogEntry> catalog(QStringList &problems) const;

    // The first limit bytes of a file's data, in order; a hole (track 0,
    // sector 0 in a list) reads as zeros. Shorter when the file is; false
    // with the reason when a list or a sector lies outside the disk or the
    // chain of lists loops.
    bool readFile(const DosCatalogEntry &file, qint64 limit, QByteArray &data, QString &error) const;

private:
    using Sector = std::array<uchar, DiskImage::kSectorBytes>;
    bool sector(int track, int sectorNumber, Sector &out) const;
    bool inRange(int track, int sectorNumber) const;
    bool hasSaneVtoc(Sector &vtoc) const;
    bool looksLikeList(int track, int sectorNumber) const;

    const DiskImage &m_image;
    DiskImage::Order m_order;
};
