// Picture files are memory images without a header: their size decides what
// they are. Real files on disk, including the short pages and ".AUX"
// companions that Apple II software leaves behind.
#include "pictureloader.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// A recognisable byte at every offset, so that a copy from the wrong place
// shows.
QByteArray patternBytes(int size, int salt)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + salt + (i >> 8)) & 0xFF);
    return bytes;
}

// The memory image a loaded file should give: a slice of the file, cut or
// zero-filled to 8,192 bytes.
QByteArray expectedImage(const QByteArray &file, int from)
{
    QByteArray image = file.mid(from, 8192);
    image.append(QByteArray(8192 - image.size(), '\0'));
    return image;
}

QByteArray asBytes(const PictureMemory &memory)
{
    return QByteArray(reinterpret_cast<const char *>(memory.data()), int(memory.size()));
}

} // namespace

class TestLoader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizeRules_data();
    void sizeRules();
    void companions_data();
    void companions();
    void notPictures_data();
    void notPictures();
    void realFiles_data();
    void realFiles();
    void applyReplacesTheWholePicture();
};

void TestLoader::sizeRules_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("mainFrom");  // -1: not loaded
    QTest::addColumn<bool>("padded");

    QTest::newRow("8,183 bytes: too short") << 8183 << int(PictureKind::Unreadable) << -1 << false;
    QTest::newRow("8,184 bytes: page without its unused tail") << 8184 << int(PictureKind::Hgr) << 0 << true;
    QTest::newRow("8,191 bytes") << 8191 << int(PictureKind::Hgr) << 0 << true;
    QTest::newRow("8,192 bytes: HGR") << 8192 << int(PictureKind::Hgr) << 0 << false;
    QTest::newRow("8,193 bytes: HGR, rest ignored") << 8193 << int(PictureKind::Hgr) << 0 << false;
    QTest::newRow("16,375 bytes: still HGR") << 16375 << int(PictureKind::Hgr) << 0 << false;
    QTest::newRow("16,376 bytes: DHGR with a short main half") << 16376 << int(PictureKind::Dhgr) << 8192 << true;
    QTest::newRow("16,384 bytes: DHGR") << 16384 << int(PictureKind::Dhgr) << 8192 << false;
    QTest::newRow("16,385 bytes: DHGR, stray byte ignored") << 16385 << int(PictureKind::Dhgr) << 8192 << false;
    QTest::newRow("16,386 bytes: HGR from the start") << 16386 << int(PictureKind::Hgr) << 0 << false;
    QTest::newRow("a megabyte: HGR from the start") << (1 << 20) << int(PictureKind::Hgr) << 0 << false;
}

void TestLoader::sizeRules()
{
    QFETCH(int, size);
    QFETCH(int, kind);
    QFETCH(int, mainFrom);
    QFETCH(bool, padded);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PICTURE.HGR"));
    const QByteArray bytes = patternBytes(size, 5);
    QVERIFY(testsupport::writeFile(path, bytes));

    const PictureFile file = readPictureFile(path);
    QCOMPARE(int(file.kind), kind);
    QCOMPARE(file.size, qint64(size));
    if (mainFrom < 0) {
        QVERIFY(file.error.contains(QLocale(QLocale::English).toString(size)));
        return;
    }
    QVERIFY(file.error.isEmpty());
    QCOMPARE(file.padded, padded);
    QCOMPARE(asBytes(file.mainMemory), expectedImage(bytes, mainFrom));
    QCOMPARE(asBytes(file.auxMemory), kind == int(PictureKind::Dhgr) ? expectedImage(bytes, 0) : QByteArray(8192, '\0'));
}

void TestLoader::companions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("companion");  // empty: none on disk
    QTest::addColumn<int>("companionSize");
    QTest::addColumn<int>("kind");

    QTest::newRow("PIC.HGR with PIC.AUX") << "PIC.HGR" << 8192 << "PIC.AUX" << 8192 << int(PictureKind::HgrWithAux);
    QTest::newRow("mixed-case .Hgr") << "pic.Hgr" << 8192 << "pic.AUX" << 8192 << int(PictureKind::HgrWithAux);
    QTest::newRow("other extensions keep theirs") << "PIC.BIN" << 8192 << "PIC.BIN.AUX" << 8192 << int(PictureKind::HgrWithAux);
    QTest::newRow("lower-case companion") << "pic.hgr" << 8192 << "pic.aux" << 8192 << int(PictureKind::HgrWithAux);
    QTest::newRow("short main page and companion") << "PIC.HGR" << 8184 << "PIC.AUX" << 8184 << int(PictureKind::HgrWithAux);
    QTest::newRow("companion too short") << "PIC.HGR" << 8192 << "PIC.AUX" << 8183 << int(PictureKind::Hgr);
    QTest::newRow("companion without the stem") << "PIC.HGR" << 8192 << "PIC.HGR.AUX" << 8192 << int(PictureKind::Hgr);
    QTest::newRow("DHGR file never looks for one") << "PIC.HGR" << 16384 << "PIC.AUX" << 8192 << int(PictureKind::Dhgr);
    QTest::newRow("no companion") << "PIC.HGR" << 8192 << "" << 0 << int(PictureKind::Hgr);
}

void TestLoader::companions()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(QString, companion);
    QFETCH(int, companionSize);
    QFETCH(int, kind);
    QTemporaryDir dir;
    const QByteArray mainBytes = patternBytes(size, 1);
    const QByteArray auxBytes = patternBytes(companionSize, 77);
    QVERIFY(testsupport::writeFile(dir.filePath(name), mainBytes));
    if (!companion.isEmpty())
        QVERIFY(testsupport::writeFile(dir.filePath(companion), auxBytes));

    const PictureFile file = readPictureFile(dir.filePath(name));
    QCOMPARE(int(file.kind), kind);
    if (kind == int(PictureKind::HgrWithAux)) {
        QCOMPARE(file.companionPath, dir.filePath(companion));
        QCOMPARE(asBytes(file.auxMemory), expectedImage(auxBytes, 0));
        QCOMPARE(asBytes(file.mainMemory), expectedImage(mainBytes, 0));
        QVERIFY(file.describe().contains(QLatin1String(".AUX")));
    } else if (kind == int(PictureKind::Hgr)) {
        QCOMPARE(asBytes(file.auxMemory), QByteArray(8192, '\0'));
        QCOMPARE(file.companionNote.isEmpty(), companionSize == 0 || companion.contains(QLatin1String(".HGR.")));
    }
}

void TestLoader::notPictures_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("empty file") << "empty";
}

void TestLoader::notPictures()
{
    QFETCH(QString, what);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("x.hgr"));
    if (what == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x.hgr")));
    else if (what == QLatin1String("empty"))
        QVERIFY(testsupport::writeFile(path, QByteArray()));
    const PictureFile file = readPictureFile(path);
    QVERIFY(!file.loaded());
    QVERIFY(file.error.contains(path));
    QVERIFY(file.describe().startsWith(QLatin1String("not loaded")));
    PictureState state;
    state.mainMemory.fill(0x55);
    QVERIFY(!applyPictureFile(file, state));
    QCOMPARE(state.mainMemory[100], uchar(0x55));
}

void TestLoader::realFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("padded");
    QTest::newRow("werner.hgr, 8,184 bytes") << "hgr/werner.hgr" << int(PictureKind::Hgr) << true;
    QTest::newRow("winston.hgr, 8,184 bytes") << "hgr/winston.hgr" << int(PictureKind::Hgr) << true;
    QTest::newRow("monarch.dhgr") << "dhgr/monarch.dhgr" << int(PictureKind::Dhgr) << false;
    QTest::newRow("SUPERMAN.HGR and SUPERMAN.AUX") << "dhgr/SUPERMAN.HGR" << int(PictureKind::HgrWithAux) << false;
    QTest::newRow("a text file") << "text/CREDITS" << int(PictureKind::Unreadable) << false;
}

void TestLoader::realFiles()
{
    if (!testsupport::haveCorpus())
        QSKIP("the picture corpus is not beside the repository");
    QFETCH(QString, file);
    QFETCH(int, kind);
    QFETCH(bool, padded);
    const PictureFile loaded = readPictureFile(testsupport::corpusDir() + QLatin1Char('/') + file);
    QCOMPARE(int(loaded.kind), kind);
    QCOMPARE(loaded.padded, padded);
}

void TestLoader::applyReplacesTheWholePicture()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.hgr"));
    QVERIFY(testsupport::writeFile(path, patternBytes(8192, 9)));
    PictureState state;
    state.auxMemory.fill(0xAA);
    state.isDhgr = true;
    QVERIFY(applyPictureFile(readPictureFile(path), state));
    QVERIFY(!state.isDhgr);
    QCOMPARE(asBytes(state.auxMemory), QByteArray(8192, '\0'));
    QCOMPARE(asBytes(state.mainMemory), patternBytes(8192, 9));
}

QTEST_GUILESS_MAIN(TestLoader)
#include "test_loader.moc"
