// Disk images and folders of pictures, made by tools/make_disks.py from the
// DOS 3.3 and ProDOS file system descriptions: what each lists, the exact
// bytes of every picture, damaged images that must list what they can and
// say what they cannot, and picture locations as a recent list keeps them.
#include "dos33volume.h"
#include "picturecatalog.h"
#include "pictureloader.h"
#include "prodosvolume.h"
#include "testsupport.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString disks(const QString &name) { return QStringLiteral(MORVO_DISKS_DIR "/") + name; }

QByteArray expected(const QString &name) { return testsupport::readFile(disks("expected/" + name)); }

QByteArray asBytes(const PictureMemory &m) { return QByteArray(reinterpret_cast<const char *>(m.data()), int(m.size())); }

// The picture's memory as a file holds it: aux then main for DHGR, each
// page zero-filled where the file is short.
QByteArray memoryOf(const PictureFile &file)
{
    return file.isDhgr() ? asBytes(file.auxMemory) + asBytes(file.mainMemory) : asBytes(file.mainMemory);
}

QByteArray padded(const QByteArray &bytes) { return bytes.leftJustified(bytes.size() > 8192 ? 16384 : 8192, '\0'); }

QString listing(const PictureCatalog &catalog)
{
    QStringList lines;
    for (const PictureEntry &e : catalog.entries())
        lines << e.innerPath + ' ' + e.typeText;
    return lines.join('|');
}

const QString kDosList = "PIC1 B $2000|PIC2.PAGE2 B $4000|DOUBLE B $2000|HOLEY B $2000|LOCKED PIC B $2000";
const QString kProdosList = "HGR.BIN BIN $2000|ART.A2FC BIN $2000|BLANK.PACKED FOT $4000|PACKED FOT $4000|"
                            "PACKED.DHGR FOT $4001|SLIDE FOT $8066|MODE.FOT FOT $0000|SPARSE BIN $2000|TREE FOT $2000|"
                            "BADPACK FOT $4000|ART/NESTED BIN $4000|ART/DEEP/PIC FOT $0000";

} // namespace

class TestDisk : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    // Both file systems in both sector orders, bare and behind a 2IMG
    // header; the order is found from the disk's own structures.
    void listsPictures_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("pictures");
        QTest::addColumn<QString>("problems");
        const QString forked = "FORKED: a file with two forks (FOT $4000), which is not read";
        QTest::newRow("DOS 3.3") << "dos.dsk" << "DOS 3.3 disk, volume 254, DOS order" << kDosList << "";
        QTest::newRow("DOS 3.3 in ProDOS order") << "dos_in_prodos_order.po" << "DOS 3.3 disk, volume 254, ProDOS order" << kDosList << "";
        QTest::newRow("DOS 3.3 2IMG") << "dos.2mg" << "DOS 3.3 disk, volume 254, DOS order, 2IMG" << kDosList << "";
        QTest::newRow("ProDOS") << "prodos.po" << "ProDOS volume /PICS, 280 blocks, ProDOS order" << kProdosList << forked;
        QTest::newRow("ProDOS in DOS order") << "prodos_in_dos_order.dsk" << "ProDOS volume /PICS, 280 blocks, DOS order"
                                             << kProdosList << forked;
        QTest::newRow("ProDOS 2IMG") << "prodos.2mg" << "ProDOS volume /PICS, 280 blocks, ProDOS order, 2IMG" << kProdosList << forked;
        QTest::newRow("800 KB") << "big.po" << "ProDOS volume /BIG, 1,600 blocks" << "PIC BIN $2000" << "";
        QTest::newRow("hard disk") << "hard.hdv" << "ProDOS volume /HARD, 4,096 blocks"
                                   << "LEVEL0/PIC0 FOT $4000|LEVEL0/LEVEL1/PIC1 FOT $4000|LEVEL0/LEVEL1/LEVEL2/PIC2 FOT $4000" << "";
    }

    void listsPictures()
    {
        QFETCH(QString, image);
        QFETCH(QString, description);
        QFETCH(QString, pictures);
        QFETCH(QString, problems);
        QVERIFY(PictureCatalog::isCollection(disks(image)));
        const PictureCatalog catalog = PictureCatalog::open(disks(image));
        QVERIFY(catalog.isOpen());
        QCOMPARE(catalog.description(), description);
        QCOMPARE(listing(catalog), pictures);
        QCOMPARE(catalog.problems().join('\n'), problems);
    }

    // Every storage kind, sparse blocks and holes, packed and unpacked.
    void readsExactBytes_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("innerPath");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("hint");
        QTest::newRow("B file") << "dos.dsk" << "PIC1" << "dos_PIC1" << -1;
        QTest::newRow("B file short by the last hole") << "dos.dsk" << "PIC2.PAGE2" << "dos_PIC2" << -1;
        QTest::newRow("DHGR B file") << "dos_in_prodos_order.po" << "DOUBLE" << "dos_DOUBLE" << -1;
        QTest::newRow("B file with a hole") << "dos.2mg" << "HOLEY" << "dos_HOLEY" << -1;
        QTest::newRow("locked B file") << "dos.dsk" << "LOCKED PIC" << "dos_PIC1" << -1;
        QTest::newRow("sapling BIN") << "prodos.po" << "HGR.BIN" << "po_HGR" << -1;
        QTest::newRow("DHGR BIN") << "prodos_in_dos_order.dsk" << "ART.A2FC" << "po_DHGR" << -1;
        QTest::newRow("seedling PackBytes") << "prodos.po" << "BLANK.PACKED" << "po_BLANK" << -1;
        QTest::newRow("PackBytes HGR") << "prodos.2mg" << "PACKED" << "po_PACKED" << -1;
        QTest::newRow("PackBytes DHGR") << "prodos.po" << "PACKED.DHGR" << "po_PACKED_DHGR" << -1;
        QTest::newRow("LZ4FH") << "prodos_in_dos_order.dsk" << "SLIDE" << "po_SLIDE" << -1;
        QTest::newRow("FOT with its mode byte") << "prodos.po" << "MODE.FOT" << "po_MODE" << 3;
        QTest::newRow("sparse sapling") << "prodos.po" << "SPARSE" << "po_SPARSE" << -1;
        QTest::newRow("tree") << "prodos.po" << "TREE" << "po_DHGR" << -1;
        QTest::newRow("subdirectory") << "prodos.po" << "ART/NESTED" << "po_NESTED" << -1;
        QTest::newRow("nested subdirectory") << "prodos_in_dos_order.dsk" << "ART/DEEP/PIC" << "po_DEEP" << -1;
        QTest::newRow("800 KB") << "big.po" << "PIC" << "big_PIC" << -1;
        QTest::newRow("hard disk") << "hard.hdv" << "LEVEL0/LEVEL1/LEVEL2/PIC2" << "hdv_PIC2" << -1;
    }

    void readsExactBytes()
    {
        QFETCH(QString, image);
        QFETCH(QString, innerPath);
        QFETCH(QString, picture);
        QFETCH(int, hint);
        const PictureCatalog catalog = PictureCatalog::open(disks(image));
        const int index = catalog.indexOf(innerPath);
        QVERIFY(index >= 0);
        QCOMPARE(catalog.entries()[size_t(index)].displayHint, hint);
        const PictureFile file = catalog.read(index);
        QVERIFY2(file.loaded(), qPrintable(file.error));
        QCOMPARE(memoryOf(file), padded(expected(picture)));
        QCOMPARE(file.displayHint, hint);
        // The same picture by its location, as a recent entry reopens it.
        const PictureFile again = loadPictureLocation(PictureLocation::fromString(catalog.location(index).toString()));
        QCOMPARE(memoryOf(again), memoryOf(file));
    }

    // Files longer than any picture, through the readers themselves: two
    // track/sector lists, and a tree with a sparse index between two others.
    void readsLongFiles()
    {
        DiskImage dos;
        QString error;
        QVERIFY(dos.open(disks("dos.dsk"), error));
        QStringList problems;
        const Dos33Volume dosVolume(dos, DiskImage::Order::Dos);
        const auto catalog = dosVolume.catalog(problems);
        const auto longFile = std::find_if(catalog.begin(), catalog.end(), [](const DosCatalogEntry &e) { return e.name == "LONG"; });
        QVERIFY(longFile != catalog.end());
        QByteArray data;
        QVERIFY(dosVolume.readFile(*longFile, 40004, data, error));
        QCOMPARE(data.mid(4), expected("dos_LONG"));

        DiskImage looping;
        QVERIFY(looping.open(disks("damaged/list_loop.dsk"), error));
        QVERIFY(!Dos33Volume(looping, DiskImage::Order::Dos).readFile(*longFile, 40004, data, error));
        QVERIFY2(error.contains("the chain loops"), qPrintable(error));

        DiskImage big;
        QVERIFY(big.open(disks("big.po"), error));
        const ProdosVolume prodos(big, DiskImage::Order::Prodos);
        const auto files = prodos.files(problems);
        QCOMPARE(files.front().path, QString("HUGE"));
        QVERIFY(prodos.readFile(files.front(), 1 << 20, data, error));
        QCOMPARE(data, expected("big_HUGE"));
    }

    // Each damaged image lists what it can, says what it cannot, and every
    // picture it lists either reads or says why not.
    void damagedImages_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<int>("listed");      // -1: not open
        QTest::addColumn<QString>("problem");  // in the problems, or in a picture's read error
        QTest::newRow("catalog loop") << "damaged/catalog_loop.dsk" << 5 << "the catalog comes back to track 17, sector 15: its chain loops";
        QTest::newRow("sector outside") << "damaged/sector_outside.dsk" << 5 << "PIC1: its data at track 40, sector";
        QTest::newRow("bad VTOC") << "damaged/bad_vtoc.dsk" << -1 << "no DOS 3.3 catalog or ProDOS volume directory found";
        QTest::newRow("directory loop") << "damaged/directory_loop.po" << 12 << "the volume directory comes back to block 3: its chain loops";
        QTest::newRow("subdirectory cycle") << "damaged/subdirectory_cycle.po" << 10 << "ART comes back to block 2: its chain loops";
        QTest::newRow("index outside") << "damaged/index_outside.po" << 12 << "HGR.BIN: its data block 60000 lies outside the image";
        QTest::newRow("tree garbage") << "damaged/tree_garbage.po" << 12 << "TREE: its index block";
        QTest::newRow("length past storage") << "damaged/eof_huge.po" << 11 << "HGR.BIN: 16,777,215 bytes long, more than a sapling file holds";
        QTest::newRow("too many files") << "damaged/many_files.po" << 20000 << "more than 20,000 files; the rest are not listed";
        QTest::newRow("truncated") << "damaged/truncated.po" << 12 << "the volume has 280 blocks but the image holds 200";
        QTest::newRow("2IMG offset") << "damaged/offset_past_end.2mg" << 12 << "puts the disk data at byte 143,936";
        QTest::newRow("2IMG length") << "damaged/length_past_end.2mg" << 12 << "names 573,440 bytes of disk data, but the file holds 143,360";
        QTest::newRow("random bytes") << "damaged/random.dsk" << -1 << "no DOS 3.3 catalog or ProDOS volume directory found";
        QTest::newRow("empty") << "damaged/empty.po" << -1 << "0 bytes: too small for a disk image";
    }

    void damagedImages()
    {
        QFETCH(QString, image);
        QFETCH(int, listed);
        QFETCH(QString, problem);
        const PictureCatalog catalog = PictureCatalog::open(disks(image));
        QCOMPARE(catalog.isOpen(), listed >= 0);
        QCOMPARE(catalog.count(), std::max(listed, 0));
        QStringList messages = catalog.problems();
        for (int i = 0; i < catalog.count(); ++i) {
            const PictureFile file = catalog.read(i);
            QVERIFY(file.loaded() || file.error.startsWith(catalog.location(i).fullName() + ": "));
            messages << file.error;
        }
        QVERIFY2(messages.join('\n').contains(problem), qPrintable(messages.join('\n')));
    }

    // A file named .po of 4 GB is refused by its size, without reading it.
    void refusesHugeImage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("huge.po");
        QVERIFY(testsupport::writeFile(path, QByteArray()) && QFile::resize(path, qint64(4) << 30));
        QElapsedTimer timer;
        timer.start();
        const PictureCatalog catalog = PictureCatalog::open(path);
        QVERIFY(!catalog.isOpen());
        QVERIFY2(catalog.problems().value(0).contains("4,294,967,296 bytes of disk data: larger than any ProDOS volume"),
                 qPrintable(catalog.problems().join('\n')));
        QVERIFY(timer.elapsed() < 5000);
    }

    // Packed data that does not unpack is listed by its type and says why
    // when read; so does an entry the image no longer holds.
    void unreadablePictures_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("error");
        QTest::newRow("bad PackBytes") << disks("prodos.po") + QChar(0) + "BADPACK"
                                       << disks("prodos.po") + " \u203A BADPACK: FOT $4000: PackBytes-packed HGR, but it does not "
                                                               "unpack: the packed data ends inside a run, after 0 bytes";
        QTest::newRow("no such entry") << disks("prodos.po") + QChar(0) + "ART/GONE" << disks("prodos.po") + " holds no picture ART/GONE";
        QTest::newRow("no such image") << disks("none.po") + QChar(0) + "PIC" << "cannot open " + disks("none.po");
    }

    void unreadablePictures()
    {
        QFETCH(QString, location);
        QFETCH(QString, error);
        const PictureFile file = loadPictureLocation(PictureLocation::fromString(location));
        QVERIFY(!file.loaded());
        QVERIFY2(file.error.startsWith(error), qPrintable(file.error));
    }

    // The string form survives a settings file, whatever the names hold.
    void locationsSurviveSettings()
    {
        const QList<PictureLocation> locations = {
            {"/pics/PIC#062000", ""},
            {"/disks/a disk, with #, \\ and\nnewline.po", "ART/DEEP/PIC"},
            {"/disks/dos.dsk", "NAME/WITH SLASH \u2401"},
            {"relative/x.2mg", "A"},
        };
        QStringList strings;
        for (const PictureLocation &l : locations)
            strings << l.toString();
        QTemporaryDir dir;
        {
            QSettings settings(dir.filePath("morvo.conf"), QSettings::IniFormat);
            settings.setValue("recentFiles", strings);
        }
        const QSettings settings(dir.filePath("morvo.conf"), QSettings::IniFormat);
        const QStringList read = settings.value("recentFiles").toStringList();
        QCOMPARE(read.size(), locations.size());
        for (int i = 0; i < locations.size(); ++i)
            QCOMPARE(PictureLocation::fromString(read.at(i)), locations.at(i));
        QCOMPARE(locations.at(1).title(), QString("a disk, with #, \\ and\nnewline.po \u203A ART/DEEP/PIC"));
    }

    // A folder lists the files that read as pictures; a companion shows as
    // part of its picture, not on its own.
    void listsFolder()
    {
        const PictureCatalog catalog = PictureCatalog::open(disks("loose"));
        QVERIFY(catalog.isOpen() && catalog.isFolder());
        QCOMPARE(listing(catalog), QString("ART.A2FC#062000 DHGR|MODE#080000 HGR|PACKED#084000 HGR|PACKED.DHGR#084001 DHGR|"
                                           "PAIR.BIN DHGR|PIC1.B HGR|PIC1.SECTORS HGR|SLIDE#088066 HGR"));
        const int pair = catalog.indexOf("PAIR.BIN");
        QCOMPARE(catalog.location(pair), PictureLocation({disks("loose/PAIR.BIN"), QString()}));
        QCOMPARE(memoryOf(catalog.read(pair)), expected("po_DEEP") + expected("po_HGR"));
        QVERIFY(!PictureCatalog::isCollection(disks("loose/PAIR.BIN")));
    }
};

QTEST_GUILESS_MAIN(TestDisk)
#include "test_disk.moc"
