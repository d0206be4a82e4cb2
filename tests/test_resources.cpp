// The program's own data files: where the lookup finds them, beside the
// executable or in a source tree; the built-in text screens; and a start
// without them or with them damaged.
#include "builtinscreens.h"
#include "resourcepath.h"
#include "testsupport.h"
#include "textcodec.h"

#include <QtTest>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

QStringList resourceFiles()
{
    QStringList all{"sounds/beep.wav", "sounds/drive_startup_a.wav", "sounds/pbbbt.wav", "sounds/drive_startup_b.wav",
                    "fonts/Apple_II.ttf", "icons/morvo-icon.png"};
    for (const BuiltInTextScreen &screen : builtInTextScreens())
        all << screen.path;
    return all;
}

} // namespace

class TestResources : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }

    void lookup_data()
    {
        QTest::addColumn<int>("depth");        // the executable's directory d0/d1/... below the temporary root
        QTest::addColumn<QString>("files");    // below the root; a trailing slash makes a directory
        QTest::addColumn<QString>("relative"); // ROOT stands for the root
        QTest::addColumn<bool>("found");       // the first of the files
        const QString font = "Resources/fonts/Apple_II.ttf", sound = "sounds/beep.wav", beep = "source/resources/" + sound;
        QTest::newRow("Resources beside the executable's directory wins") << 1 << font + " d0/" + font << "fonts/Apple_II.ttf" << true;
        QTest::newRow("then Resources inside it") << 1 << "d0/" + font + " d0/fonts/Apple_II.ttf" << "fonts/Apple_II.ttf" << true;
        QTest::newRow("then the executable's own directory") << 1 << "d0/" + sound + " share/morvo/" + sound << sound << true;
        QTest::newRow("then ../share/morvo, before a source tree") << 1 << "share/morvo/" + sound + ' ' + beep << sound << true;
        QTest::newRow("backslashes are separators") << 1 << font << "fonts\\Apple_II.ttf" << true;
        QTest::newRow("a directory counts too") << 1 << "Resources/textscreens/" << "textscreens" << true;
        // Even files that exist under these names are not handed out.
        const QString present = font + " Resources/" + sound;
        QTest::newRow("refused: empty") << 1 << present << "" << false;
        QTest::newRow("refused: absolute") << 1 << present << "ROOT/" + font << false;
        QTest::newRow("refused: climbing") << 1 << present << "sounds/../fonts/Apple_II.ttf" << false;
        QTest::newRow("eleven levels up is found") << 11 << beep << sound << true;
        QTest::newRow("twelve levels up is too far") << 12 << beep << sound << false;
        QTest::newRow("a nearer tree without the file does not stop the search")
            << 3 << beep + " d0/d1/source/resources/Apple_II.ttf" << sound << true;
        // A source tree keeps the font directly in source/resources.
        QTest::newRow("the nearest tree wins")
            << 3 << "d0/d1/source/resources/Apple_II.ttf source/resources/Apple_II.ttf" << "fonts/Apple_II.ttf" << true;
    }

    void lookup()
    {
        QFETCH(int, depth);
        QFETCH(QString, files);
        QFETCH(QString, relative);
        QFETCH(bool, found);
        QTemporaryDir dir;
        QString exeDir = dir.path();
        for (int i = 0; i < depth; ++i)
            exeDir += QStringLiteral("/d%1").arg(i);
        QVERIFY(QDir().mkpath(exeDir));
        const QStringList paths = files.split(' ', Qt::SkipEmptyParts);
        for (const QString &f : paths)
            QVERIFY(QDir().mkpath(QFileInfo(dir.filePath(f + 'x')).absolutePath()) && (f.endsWith('/') || writeFile(dir.filePath(f), "x")));
        QCOMPARE(resolveResourcePathFrom(exeDir, relative.replace("ROOT", dir.path())), found ? QDir::cleanPath(dir.filePath(paths[0])) : QString());
    }

    void builtInScreen_data()
    {
        QTest::addColumn<QString>("path");
        for (const BuiltInTextScreen &screen : builtInTextScreens())
            QTest::newRow(qPrintable(screen.name)) << screen.path;
    }

    // Each screen fits an Apple II text screen, of 80 columns for the sample
    // only, and is stored exactly as the program would save it.
    void builtInScreen()
    {
        QFETCH(QString, path);
        const QString text = readResourceText(path);
        const bool eighty = text.startsWith("80");
        QCOMPARE(eighty, path.endsWith("Sample_Text_Screen.txt"));
        QVERIFY(eighty || !text.startsWith('8'));  // the editor takes a lone "8" for the mark too
        const QStringList rows = text.mid(eighty ? 2 : 0).split('\n');
        QVERIFY(rows.size() <= 24 && !rows.last().isEmpty());
        for (const QString &row : rows)
            QVERIFY2(row.size() <= (eighty ? 80 : 40), qPrintable(row));
        QCOMPARE(encodeTextScreen(text), readFile(resolveResourcePath(path)));
    }

    void startsWithoutData_data()
    {
        QTest::addColumn<QString>("damage");
        for (const char *damage : {"no resources", "every file garbage", "every file empty", "every file a directory"})
            QTest::newRow(damage) << damage;
    }

    // The program's start-up in test mode, from a copy of the executable that
    // has no data beside it, or only damaged data. In /tmp no source/resources
    // directory lies above the copy, so nothing is found unless put there.
    void startsWithoutData()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir("/tmp/morvo-data-XXXXXX");
        const QString exe = dir.filePath("morvo");
        QVERIFY(QFile::copy(testsupport::binDir() + "/morvo", exe));
        QCOMPARE(resolveResourcePathFrom(dir.path(), "textscreens/Welcome.txt"), QString());
        const QByteArray garbage = damage.endsWith("garbage") ? readFile(exe).mid(4096, 4096) : QByteArray();
        for (const QString &rel : damage == "no resources" ? QStringList() : resourceFiles()) {
            const QString path = dir.filePath("Resources/" + rel);
            QVERIFY(QDir().mkpath(damage.endsWith("directory") ? path : QFileInfo(path).absolutePath()));
            QVERIFY(damage.endsWith("directory") || writeFile(path, garbage));
        }
        const auto r = testsupport::run(exe, {testsupport::samplesDir() + "/testcard.hgr", "--test", "out.png"}, dir.path());
        QVERIFY2(r.exitCode == 0 && r.err.contains("offscreen: 562x192 format=17\n"), qPrintable(r.err));
        QCOMPARE(QImage(dir.filePath("out.png")).size(), QSize(562, 192));
    }

    // A program built or copied anywhere has its data built in: a lone copy
    // of morvo-render in /tmp draws a text screen in the Apple II font,
    // exactly as the one in the build tree does.
    void aLoneCopyHasItsData()
    {
        QTemporaryDir dir("/tmp/morvo-data-XXXXXX");
        const QString exe = dir.filePath("morvo-render");
        QVERIFY(QFile::copy(testsupport::binDir() + "/morvo-render", exe));
        QVERIFY(writeFile(dir.filePath("screen.txt"), "HELLO, APPLE ][\n\x7F"));
        for (const QString &renderer : {testsupport::binDir() + "/morvo-render", exe}) {
            const QString out = dir.filePath(QFileInfo(renderer).path() == dir.path() ? "lone.png" : "tree.png");
            const auto r = testsupport::run(renderer, {"--text-screen", "screen.txt", "-o", out}, dir.path());
            QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        }
        QVERIFY(!readFile(dir.filePath("tree.png")).isEmpty());
        QCOMPARE(readFile(dir.filePath("lone.png")), readFile(dir.filePath("tree.png")));
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
