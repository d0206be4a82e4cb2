// Picture files are memory images without a header: their size decides what
// they are. Real files on disk, including the short pages and ".AUX"
// companions that Apple II software leaves behind.
#include "pictureloader.h"
#include "testsupport.h"
#include "unpack.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// A slice of a file, cut or zero-filled to one 8,192-byte memory image.
QByteArray image(const QByteArray &file, int from) { return file.mid(from, 8192).leftJustified(8192, '\0'); }

QByteArray asBytes(const PictureMemory &m) { return QByteArray(reinterpret_cast<const char *>(m.data()), int(m.size())); }

} // namespace

class TestLoader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsBySize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("companion");
        QTest::addColumn<int>("companionSize");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("padded");
        const int hgr = int(PictureKind::Hgr), dhgr = int(PictureKind::Dhgr), aux = int(PictureKind::HgrWithAux);
        QTest::newRow("8,183 bytes") << "P.HGR" << 8183 << "" << 0 << int(PictureKind::Unreadable) << false;
        QTest::newRow("8,184 bytes: page without its unused tail") << "P.HGR" << 8184 << "" << 0 << hgr << true;
        QTest::newRow("16,375 bytes: HGR") << "P.HGR" << 16375 << "" << 0 << hgr << false;
        QTest::newRow("16,376 bytes: DHGR, main short") << "P.HGR" << 16376 << "" << 0 << dhgr << true;
        QTest::newRow("16,385 bytes: DHGR") << "P.HGR" << 16385 << "P.AUX" << 8192 << dhgr << false;
        QTest::newRow("16,386 bytes: HGR") << "P.BIN" << 16386 << "" << 0 << hgr << false;
        QTest::newRow("PIC.BIN with PIC.AUX") << "PIC.BIN" << 8192 << "PIC.AUX" << 8192 << aux << false;
        QTest::newRow("lower-case companion") << "pic.Hgr" << 8192 << "pic.aux" << 8192 << aux << false;
        QTest::newRow("short page and companion") << "PIC.HGR" << 8184 << "PIC.AUX" << 8184 << aux << true;
        QTest::newRow("companion too short") << "PIC.HGR" << 8192 << "PIC.AUX" << 8183 << hgr << false;
        QTest::newRow("companion must drop .hgr") << "PIC.HGR" << 8192 << "PIC.HGR.AUX" << 8192 << hgr << false;
    }

    void readsBySize()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(QString, companion);
        QFETCH(int, companionSize);
        QFETCH(int, kind);
        QFETCH(bool, padded);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        // Random bytes, so that a copy from the wrong place shows.
        const QByteArray bytes = testsupport::randomBytes(size, 1), auxBytes = testsupport::randomBytes(companionSize, 77);
        QVERIFY(testsupport::writeFile(path, bytes));
        QVERIFY(companion.isEmpty() || testsupport::writeFile(dir.filePath(companion), auxBytes));

        const PictureFile file = readPictureFile(path);
        QCOMPARE(int(file.kind), kind);
        if (kind == int(PictureKind::Unreadable)) {
            QVERIFY2(file.error.contains(path), qPrintable(file.error));
            QVERIFY(file.error.contains(QLocale(QLocale::English).toString(size)));
            return;
        }
        QCOMPARE(file.padded, padded);
        QCOMPARE(asBytes(file.mainMemory), image(bytes, kind == int(PictureKind::Dhgr) ? 8192 : 0));
        const QByteArray expectedAux = kind == int(PictureKind::Dhgr) ? image(bytes, 0)
                                     : kind == int(PictureKind::HgrWithAux) ? image(auxBytes, 0) : image({}, 0);
        QCOMPARE(asBytes(file.auxMemory), expectedAux);
        QCOMPARE(file.companionPath, kind == int(PictureKind::HgrWithAux) ? dir.filePath(companion) : QString());
        // A companion that exists but cannot serve is mentioned by --info.
        QCOMPARE(!file.companionNote.isEmpty(), kind == int(PictureKind::Hgr) && companionSize > 0 && companionSize < 8184);
    }

    // Files as transfer tools leave them, made by tools/make_disks.py: the
    // ProDOS type in the name, a DOS 3.3 header, pairs. The memory is
    // compared with the picture the script packed or wrapped.
    void readsByTypeAndHeader_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("picture");  // expected/ file, aux half first; empty: refused
        QTest::addColumn<QString>("described");
        QTest::newRow("FOT PackBytes HGR") << "PACKED#084000" << "po_PACKED" << "HGR (FOT $4000: PackBytes-packed HGR)";
        QTest::newRow("FOT PackBytes DHGR") << "PACKED.DHGR#084001" << "po_PACKED_DHGR" << "DHGR (FOT $4001: PackBytes-packed DHGR)";
        QTest::newRow("FOT LZ4FH") << "SLIDE#088066" << "po_SLIDE" << "HGR (FOT $8066: LZ4FH-packed HGR)";
        QTest::newRow("FOT mode byte")
            << "MODE#080000" << "po_MODE" << "HGR (FOT $0000 of 8,192 bytes: HGR graphics screen), made for 140 x 192 colour";
        QTest::newRow("BIN DHGR") << "ART.A2FC#062000" << "po_DHGR" << "DHGR (BIN $2000 of 16,384 bytes: DHGR)";
        QTest::newRow("DOS header") << "PIC1.B" << "dos_PIC1" << "HGR (B file at $2000, 8,192 bytes: HGR)";
        QTest::newRow("DOS header, whole last sector") << "PIC1.SECTORS" << "dos_PIC1" << "HGR (B file at $2000, 8,192 bytes: HGR)";
        QTest::newRow("BIN + AUX pair") << "PAIR.BIN" << "po_DEEP+po_HGR" << "HGR + .AUX";
        QTest::newRow("FOT that does not unpack")
            << "BADPACK#084000" << ""
            << "BADPACK#084000: FOT $4000: PackBytes-packed HGR, but it does not unpack: the packed data ends inside a run, after 0 bytes";
        QTest::newRow("text") << "NOTES.TXT" << "" << "NOTES.TXT: a 1,400-byte file: not a hi-res memory image";
    }

    void readsByTypeAndHeader()
    {
        QFETCH(QString, name);
        QFETCH(QString, picture);
        QFETCH(QString, described);
        const QString disks = QStringLiteral(MORVO_DISKS_DIR "/");
        const PictureFile file = readPictureFile(disks + "loose/" + name);
        QVERIFY2((file.loaded() ? file.describe() : file.error).contains(described), qPrintable(file.describe()));
        QCOMPARE(file.loaded(), !picture.isEmpty());
        if (picture.isEmpty())
            return;
        QByteArray bytes;
        for (const QString &part : picture.split('+'))
            bytes += testsupport::readFile(disks + "expected/" + part);
        const QByteArray memory = file.isDhgr() ? asBytes(file.auxMemory) + asBytes(file.mainMemory) : asBytes(file.mainMemory);
        QCOMPARE(memory, bytes);
    }

    // Malformed packed data is refused with a reason; nothing is written
    // past the picture or read past the data.
    void unpackersRefuseMalformedData_data()
    {
        QTest::addColumn<bool>("lz4fh");
        QTest::addColumn<QByteArray>("packed");
        QTest::addColumn<QString>("error");
        QTest::newRow("literal run cut short") << false << QByteArray("\x3f\x01\x02", 3) << "ends inside a run, after 0 bytes";
        QTest::newRow("pattern cut short") << false << QByteArray("\x01\xaa\xbb\x80\x01\x02", 6) << "ends inside a run, after 2 bytes";
        QTest::newRow("repeat past the end") << false << QByteArray("\x01\xaa\xbb", 3).append(QByteArray("\xff\x00", 2).repeated(32)) << "goes past the end of the picture's 8,192 bytes";
        QTest::newRow("not LZ4FH") << true << QByteArray("\x67\x00", 2) << "does not start with $66";
        QTest::newRow("match ahead of the output") << true << QByteArray("\x66\x10\x41\x05\x00", 5) << "refers to byte 5, which is not unpacked yet";
        QTest::newRow("literals cut short") << true << QByteArray("\x66\xf0\x20\x41", 4) << "ends inside a chunk, after 0 bytes";
        QTest::newRow("match past the end") << true << QByteArray("\x66\x1f\x41\xfc\x00\x00", 6).append(QByteArray("\x0f\xfc\x00\x00", 4).repeated(40))
                                            << "goes past the end of the picture's 8,192 bytes";
    }

    void unpackersRefuseMalformedData()
    {
        QFETCH(bool, lz4fh);
        QFETCH(QByteArray, packed);
        QFETCH(QString, error);
        QByteArray out(8192, '\0');
        QString message;
        QCOMPARE(lz4fh ? unpackLz4fh(packed, out, message) : unpackPackBytes(packed, out, message), qsizetype(-1));
        QVERIFY2(message.contains(error), qPrintable(message));
        QCOMPARE(out.size(), 8192);
    }
};

QTEST_GUILESS_MAIN(TestLoader)
#include "test_loader.moc"
