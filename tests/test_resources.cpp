// Finding the data files beside the executable or in a source tree, the
// Apple II font's registration, and the window icon made from the artwork.
#include "appicon.h"
#include "resourcepath.h"
#include "testsupport.h"

#include <QFontDatabase>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(testsupport::writeFile(path, "x"));
}

QString nested(const QString &root, int depth)
{
    QString path = root;
    for (int i = 0; i < depth; ++i)
        path += QStringLiteral("/d%1").arg(i);
    QDir().mkpath(path);
    return path;
}

} // namespace

class TestResources : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::isolateSettings(); }
    void refusesPathsThatLeaveTheResources_data();
    void refusesPathsThatLeaveTheResources();
    void lookupOrder_data();
    void lookupOrder();
    void appleFontIsRegisteredOnce();
    void iconIsCroppedZoomedAndComplete();
    void iconFromMissingOrDamagedArtIsEmpty();
};

void TestResources::refusesPathsThatLeaveTheResources_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("empty") << "";
    QTest::newRow("absolute") << "/fonts/Apple_II.ttf";
    QTest::newRow("climbing") << "sounds/../fonts/Apple_II.ttf";
    QTest::newRow("two dots inside a name") << "a..b";
    QTest::newRow("absolute with backslashes") << "\\fonts\\Apple_II.ttf";
}

void TestResources::refusesPathsThatLeaveTheResources()
{
    QFETCH(QString, relative);
    QTemporaryDir dir;
    // Even a file that exists under that name is not handed out.
    touch(dir.filePath(QStringLiteral("exe/Resources/a..b")));
    touch(dir.filePath(QStringLiteral("fonts/Apple_II.ttf")));
    QCOMPARE(resolveResourcePathFrom(dir.filePath(QStringLiteral("exe")), relative), QString());
}

void TestResources::lookupOrder_data()
{
    QTest::addColumn<int>("depth");          // the executable's directory below the temporary root
    QTest::addColumn<QStringList>("files");  // relative to the root
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");   // relative to the root; empty: not found
    QTest::newRow("Resources beside the executable's directory wins")
        << 1 << QStringList{"Resources/fonts/Apple_II.ttf", "d0/Resources/fonts/Apple_II.ttf"}
        << "fonts/Apple_II.ttf" << "Resources/fonts/Apple_II.ttf";
    QTest::newRow("then Resources inside it")
        << 1 << QStringList{"d0/Resources/fonts/Apple_II.ttf", "d0/fonts/Apple_II.ttf"}
        << "fonts/Apple_II.ttf" << "d0/Resources/fonts/Apple_II.ttf";
    QTest::newRow("then the executable's own directory")
        << 1 << QStringList{"d0/sounds/beep.wav", "share/morvo/sounds/beep.wav"} << "sounds/beep.wav" << "d0/sounds/beep.wav";
    QTest::newRow("then share/morvo beside it, before a source tree")
        << 1 << QStringList{"share/morvo/sounds/beep.wav", "source/resources/sounds/beep.wav"} << "sounds/beep.wav"
        << "share/morvo/sounds/beep.wav";
    QTest::newRow("backslashes are separators")
        << 1 << QStringList{"Resources/fonts/Apple_II.ttf"} << "fonts\\Apple_II.ttf" << "Resources/fonts/Apple_II.ttf";
    QTest::newRow("a directory counts too")
        << 1 << QStringList{"Resources/textscreens/keep"} << "textscreens" << "Resources/textscreens";
    QTest::newRow("font lies directly in source/resources")
        << 2 << QStringList{"source/resources/Apple_II.ttf"} << "fonts/Apple_II.ttf" << "source/resources/Apple_II.ttf";
    QTest::newRow("icon lies directly in source/resources")
        << 2 << QStringList{"source/resources/morvo-icon.png"} << "icons/morvo-icon.png" << "source/resources/morvo-icon.png";
    QTest::newRow("text screens keep their directory")
        << 2 << QStringList{"source/resources/textscreens/Welcome.txt"} << "textscreens/Welcome.txt"
        << "source/resources/textscreens/Welcome.txt";
    QTest::newRow("eleven levels up is found")
        << 11 << QStringList{"source/resources/sounds/beep.wav"} << "sounds/beep.wav" << "source/resources/sounds/beep.wav";
    QTest::newRow("twelve levels up is too far")
        << 12 << QStringList{"source/resources/sounds/beep.wav"} << "sounds/beep.wav" << "";
    QTest::newRow("a nearer tree without the file does not stop the search")
        << 3 << QStringList{"d0/d1/source/resources/Apple_II.ttf", "source/resources/sounds/pbbbt.wav"}
        << "sounds/pbbbt.wav" << "source/resources/sounds/pbbbt.wav";
    QTest::newRow("the nearest tree wins")
        << 3 << QStringList{"d0/d1/source/resources/Apple_II.ttf", "source/resources/Apple_II.ttf"}
        << "fonts/Apple_II.ttf" << "d0/d1/source/resources/Apple_II.ttf";
    QTest::newRow("nothing anywhere") << 1 << QStringList{} << "sounds/beep.wav" << "";
}

void TestResources::lookupOrder()
{
    QFETCH(int, depth);
    QFETCH(QStringList, files);
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString exeDir = nested(dir.path(), depth);
    for (const QString &f : files)
        touch(dir.filePath(f));
    const QString found = resolveResourcePathFrom(exeDir, relative);
    QCOMPARE(found, expected.isEmpty() ? QString() : QFileInfo(dir.filePath(expected)).absoluteFilePath());
}

void TestResources::appleFontIsRegisteredOnce()
{
    // The test runs from the build tree, so the search finds the font in
    // the source tree.
    const QString family = appleFontFamily();
    if (family.isEmpty())
        QSKIP("the Apple II font is not in this tree");
    const int fontsBefore = QFontDatabase::families().size();
    QCOMPARE(appleFontFamily(), family);
    QCOMPARE(QFontDatabase::families().size(), fontsBefore);
    QVERIFY(QFontDatabase::families().contains(family));
}

void TestResources::iconIsCroppedZoomedAndComplete()
{
    // 300 x 200 artwork: 50 red columns on each side that the square crop
    // removes, a blue frame that the 1.38 zoom trims, green inside.
    QImage art(300, 200, QImage::Format_RGB32);
    art.fill(Qt::red);
    QPainter p(&art);
    p.fillRect(50, 0, 200, 200, Qt::blue);
    p.fillRect(50 + 24, 24, 152, 152, Qt::green);
    p.end();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("art.png"));
    QVERIFY(art.save(path));

    const QIcon icon = buildAppIconFrom(path);
    QVERIFY(!icon.isNull());
    for (int size : {16, 20, 24, 32, 40, 48, 64, 128, 256}) {
        const QImage small = icon.pixmap(QSize(size, size), 1.0).toImage();
        QCOMPARE(small.size(), QSize(size, size));
        for (QPoint corner : {QPoint(0, 0), QPoint(size - 1, size - 1), QPoint(size / 2, size / 2)}) {
            const QColor c = small.pixelColor(corner);
            QVERIFY2(c.green() > 200 && c.red() < 60 && c.blue() < 60,
                     qPrintable(QStringLiteral("size %1 at (%2, %3): %4").arg(size).arg(corner.x()).arg(corner.y()).arg(c.name())));
        }
    }
    const QPixmap sharp = icon.pixmap(QSize(32, 32), 2.0);
    QCOMPARE(sharp.size(), QSize(64, 64));
    QCOMPARE(sharp.devicePixelRatio(), 2.0);
}

void TestResources::iconFromMissingOrDamagedArtIsEmpty()
{
    QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("icon.png"));
    QVERIFY(testsupport::writeFile(damaged, "not a picture at all"));
    QVERIFY(buildAppIconFrom(damaged).isNull());
    QVERIFY(buildAppIconFrom(dir.filePath(QStringLiteral("missing.png"))).isNull());
    QVERIFY(buildAppIconFrom(QString()).isNull());
}

QTEST_MAIN(TestResources)
#include "test_resources.moc"
