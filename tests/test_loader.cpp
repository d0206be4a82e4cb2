// Picture files are memory images without a header: their size decides what
// they are. Real files on disk, including the short pages and ".AUX"
// companions that Apple II software leaves behind.
#include "pictureloader.h"
#include "testsupport.h"

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
        QTest::newRow("PIC.BIN with PIC.BIN.AUX") << "PIC.BIN" << 8192 << "PIC.BIN.AUX" << 8192 << aux << false;
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
};

QTEST_GUILESS_MAIN(TestLoader)
#include "test_loader.moc"
