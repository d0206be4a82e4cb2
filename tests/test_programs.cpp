// morvo's test mode and morvo-render, run as the processes a user or a script
// starts.
#include "picturestate.h"
#include "render.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using testsupport::Run;
using testsupport::run;

QByteArray randomPicture(int size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(rng.generate());
    return bytes;
}

// The frame the renderer gives for these bytes and options.
QImage expectedFrame(const QByteArray &bytes, bool dhgr, const ViewOptions &options)
{
    PictureState s;
    s.viewOptions() = options;
    s.isDhgr = dhgr;
    if (dhgr) {
        std::memcpy(s.auxMemory.data(), bytes.constData(), 8192);
        std::memcpy(s.mainMemory.data(), bytes.constData() + 8192, 8192);
    } else {
        std::memcpy(s.mainMemory.data(), bytes.constData(), 8192);
        s.auxMemory.fill(0);
    }
    QImage frame;
    renderPicture(s, frame);
    return frame;
}

QImage readPng(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_RGBA8888);
}

} // namespace

class TestPrograms : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void testMode_data();
    void testMode();
    void renderOptions_data();
    void renderOptions();
    void renderManyIntoADirectory();
    void renderGoesOnAfterABadInput();
    void renderInfo();
};

void TestPrograms::testMode_data()
{
    QTest::addColumn<QString>("picture");  // in the temporary directory
    QTest::addColumn<QString>("output");   // empty: the default
    QTest::addColumn<int>("exitCode");
    QTest::newRow("DHGR picture") << "p.dgr" << "out.png" << 0;
    QTest::newRow("default output in /tmp") << "p.dgr" << "" << 0;
    QTest::newRow("output that cannot be written") << "p.dgr" << "no/such/dir/out.png" << 1;
}

void TestPrograms::testMode()
{
    QFETCH(QString, picture);
    QFETCH(QString, output);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    const QByteArray bytes = randomPicture(16384, 1);
    QVERIFY(testsupport::writeFile(dir.filePath(QStringLiteral("p.dgr")), bytes));
    const QString png = output.isEmpty() ? QStringLiteral("/tmp/morvo_test.png") : dir.filePath(output);
    QFile::remove(png);
    QStringList args{dir.filePath(picture), QStringLiteral("--test")};
    if (!output.isEmpty())
        args << png;

    const Run r = run(QStringLiteral("morvo"), args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.startsWith(QStringLiteral("offscreen: 562x192 format=17\n")), qPrintable(r.err));
    if (exitCode != 0) {
        QVERIFY(r.err.contains(QLatin1String("could not write")));
        return;
    }
    QCOMPARE(r.err.size(), 29);
    ViewOptions fixed;
    fixed.bmFinalDepth = 32;
    const bool loads = QFile::exists(dir.filePath(picture));
    QCOMPARE(readPng(png), expectedFrame(loads ? bytes : QByteArray(16384, '\0'), true, fixed));
}

void TestPrograms::renderOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("jex");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("tint");
    QTest::addColumn<bool>("shifting");
    QTest::addColumn<int>("offset");
    QTest::newRow("defaults") << QStringList{} << true << 1 << 8 << 2 << 0 << true << 0;
    QTest::newRow("by the book, no shifting, offset 1")
        << QStringList{"--engine", "book", "--bit-shifting", "off", "--column-offset", "1"} << false << 1 << 8 << 2 << 0 << false << 1;
    QTest::newRow("sharp with IREZ CapSure by name")
        << QStringList{"--engine", "sharp", "--palette", "irez-capsure"} << true << 2 << 8 << 6 << 0 << true << 0;
    QTest::newRow("Jex's TV typed loosely") << QStringList{"--palette", "JEXS TV", "--engine", "venderoft"} << true << 0 << 8 << 2 << 0 << true << 0;
    QTest::newRow("monochrome keeps the slot for its white")
        << QStringList{"--palette", "0", "--mono", "white", "--engine", "book"} << false << 1 << 1 << 0 << 0 << true << 0;
    QTest::newRow("amber") << QStringList{"--mono", "amber"} << true << 1 << 1 << 2 << 2 << true << 0;
}

void TestPrograms::renderOptions()
{
    QFETCH(QStringList, args);
    QFETCH(bool, jex);
    QFETCH(int, variant);
    QFETCH(int, depth);
    QFETCH(int, slot);
    QFETCH(int, tint);
    QFETCH(bool, shifting);
    QFETCH(int, offset);
    QTemporaryDir dir;
    for (bool dhgr : {false, true}) {
        const QByteArray bytes = randomPicture(dhgr ? 16384 : 8192, 5);
        const QString picture = dir.filePath(dhgr ? QStringLiteral("p.dgr") : QStringLiteral("p.hgr"));
        const QString png = dir.filePath(QStringLiteral("out.png"));
        QVERIFY(testsupport::writeFile(picture, bytes));
        const Run r = run(QStringLiteral("morvo-render"), QStringList{picture, QStringLiteral("-o"), png} + args);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        ViewOptions o;
        o.jexEngine = jex;
        o.schemeType = quint16(variant);
        o.bmFinalDepth = quint16(depth);
        o.paletteType = quint16(slot);
        o.oneBitPalette = quint16(tint);
        o.bitShifting = shifting;
        o.dhgrColumnOffset = qint16(offset);
        QCOMPARE(readPng(png), expectedFrame(bytes, dhgr, o));
    }
}

void TestPrograms::renderManyIntoADirectory()
{
    // Inputs that share a name keep their extensions, so that none of the
    // PNGs replaces another.
    QTemporaryDir dir;
    const QStringList names{"ONE.HGR", "two.dgr", "two.hgr"};
    QStringList inputs;
    for (const QString &name : names) {
        inputs << dir.filePath(name);
        QVERIFY(testsupport::writeFile(inputs.last(), randomPicture(name.endsWith(QLatin1String("dgr")) ? 16384 : 8192, 6)));
    }
    const QString out = dir.filePath(QStringLiteral("pngs/"));
    const Run r = run(QStringLiteral("morvo-render"), inputs + QStringList{QStringLiteral("-o"), out});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QString());
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList({"ONE.png", "two.dgr.png", "two.hgr.png"}));
    QCOMPARE(readPng(out + QStringLiteral("two.hgr.png")), expectedFrame(randomPicture(8192, 6), false, ViewOptions()));
}

void TestPrograms::renderGoesOnAfterABadInput()
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.hgr"));
    const QString small = dir.filePath(QStringLiteral("small.hgr"));
    QVERIFY(testsupport::writeFile(good, randomPicture(8192, 8)));
    QVERIFY(testsupport::writeFile(small, randomPicture(500, 8)));
    // The unreadable picture comes first: the good one is still rendered,
    // beside itself when no -o is given.
    const Run r = run(QStringLiteral("morvo-render"), {small, dir.filePath(QStringLiteral("missing.dgr")), good});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(small) && r.err.contains(QLatin1String("too short")));
    QVERIFY(r.err.contains(QLatin1String("missing.dgr")));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("good.png"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("small.png"))));

    // A PNG named like its input would be overwritten by its own frame.
    const QString png = dir.filePath(QStringLiteral("pic.png"));
    QVERIFY(testsupport::writeFile(png, randomPicture(8192, 9)));
    const Run self = run(QStringLiteral("morvo-render"), {png});
    QCOMPARE(self.exitCode, 1);
    QCOMPARE(testsupport::readFile(png), randomPicture(8192, 9));
}

void TestPrograms::renderInfo()
{
    if (!testsupport::haveCorpus())
        QSKIP("the picture corpus is not beside the repository");
    const QString c = testsupport::corpusDir();
    const Run r = run(QStringLiteral("morvo-render"),
                      {QStringLiteral("--info"), c + QStringLiteral("/hgr/werner.hgr"), c + QStringLiteral("/dhgr/SUPERMAN.HGR"),
                       c + QStringLiteral("/dhgr/monarch.dhgr"), c + QStringLiteral("/text/AF")});
    QCOMPARE(r.exitCode, 1);  // the text file is no picture
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY2(lines[0].contains(QLatin1String("8184 bytes, HGR, short page")), qPrintable(lines[0]));
    QVERIFY2(lines[1].contains(QLatin1String("HGR + .AUX")), qPrintable(lines[1]));
    QVERIFY2(lines[2].contains(QLatin1String("16384 bytes, DHGR")), qPrintable(lines[2]));
    QVERIFY2(lines[3].contains(QLatin1String("not loaded")), qPrintable(lines[3]));
}

QTEST_GUILESS_MAIN(TestPrograms)
#include "test_programs.moc"
