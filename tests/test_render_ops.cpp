// morvo-render's picture operations, run as a process: the bytes it saves,
// the order it applies them in, and what it refuses.
#include "testsupport.h"

#include "pictureedit.h"
#include "picturestate.h"
#include "resourcepath.h"
#include "textcodec.h"
#include "textscreen.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString err;
};

Run runRender(const QStringList &args, const QString &workDir)
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.start(testsupport::binDir() + QStringLiteral("/morvo-render"), args);
    const bool finished = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
    return {finished ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardError())};
}

QByteArray bytesOf(const PictureMemory &memory)
{
    return QByteArray(reinterpret_cast<const char *>(memory.data()), kPictureBytes);
}

QByteArray randomHgr()
{
    QByteArray bytes(kPictureBytes, Qt::Uninitialized);
    QRandomGenerator rng(21);
    for (char &b : bytes)
        b = char(rng.generate());
    return bytes;
}

PictureState hgrState(const QByteArray &bytes)
{
    PictureState s;
    s.isDhgr = false;
    std::copy_n(bytes.constData(), kPictureBytes, s.mainMemory.begin());
    return s;
}

} // namespace

class TestRenderOps : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void operationsInCommandLineOrder();
    void textScreenToPicture_data();
    void textScreenToPicture();
    void refusesAndWritesNothing_data();
    void refusesAndWritesNothing();

private:
    QByteArray m_hgr = randomHgr();
};

// Each --save writes the picture as it is at that point; a save without -o
// writes no PNG.
void TestRenderOps::operationsInCommandLineOrder()
{
    QTemporaryDir dir;
    QVERIFY(testsupport::writeFile(dir.filePath(QStringLiteral("in.hgr")), m_hgr));
    const Run run = runRender({QStringLiteral("in.hgr"),
                               QStringLiteral("--save"), QStringLiteral("same.hgr"),
                               QStringLiteral("--shift-left"), QStringLiteral("3"),
                               QStringLiteral("--convert-to-dhgr"),
                               QStringLiteral("--save"), QStringLiteral("shifted-converted.dgr"),
                               QStringLiteral("--shift-right"), QStringLiteral("2"),
                               QStringLiteral("--save"), QStringLiteral("then-shifted.dgr")},
                              dir.path());
    QCOMPARE(run.exitCode, 0);

    PictureState s = hgrState(m_hgr);
    QCOMPARE(testsupport::readFile(dir.filePath(QStringLiteral("same.hgr"))), m_hgr);
    for (int i = 0; i < 3; ++i)
        shiftPicture(s, true);
    convertToDhgr(s);
    const QByteArray shiftedConverted = testsupport::readFile(dir.filePath(QStringLiteral("shifted-converted.dgr")));
    QCOMPARE(shiftedConverted.size(), 2 * kPictureBytes);
    QCOMPARE(shiftedConverted, bytesOf(s.auxMemory) + bytesOf(s.mainMemory));
    shiftPicture(s, false);
    shiftPicture(s, false);
    QCOMPARE(testsupport::readFile(dir.filePath(QStringLiteral("then-shifted.dgr"))), bytesOf(s.auxMemory) + bytesOf(s.mainMemory));

    // Converting first and shifting after gives another picture.
    PictureState other = hgrState(m_hgr);
    convertToDhgr(other);
    for (int i = 0; i < 3; ++i)
        shiftPicture(other, true);
    QVERIFY(bytesOf(other.auxMemory) + bytesOf(other.mainMemory) != shiftedConverted);

    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4);
}

void TestRenderOps::textScreenToPicture_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("saveAs");
    QTest::addColumn<int>("size");
    // Mac OS Roman bytes; an 80-column screen in UTF-8 with inverse letters.
    QTest::newRow("40 columns") << QByteArray("HELLO\r\n\r\n  APPLE ][\r\n") << QStringLiteral("screen.hgr") << kPictureBytes;
    QTest::newRow("80 columns") << QByteArray("80HELLO \xEF\x80\xA1\xEF\x80\xA2\n\nEIGHTY") << QStringLiteral("screen.dgr")
                                << 2 * kPictureBytes;
}

void TestRenderOps::textScreenToPicture()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, saveAs);
    QFETCH(int, size);
    QTemporaryDir dir;
    QVERIFY(testsupport::writeFile(dir.filePath(QStringLiteral("screen.txt")), file));
    const Run run = runRender({QStringLiteral("--text-screen"), QStringLiteral("screen.txt"),
                               QStringLiteral("--save"), saveAs, QStringLiteral("-o"), QStringLiteral("screen.png")},
                              dir.path());
    QCOMPARE(run.exitCode, 0);

    PictureState expected;
    renderTextScreen(expected, decodeTextScreen(file), appleFontFamily());
    const QByteArray saved = testsupport::readFile(dir.filePath(saveAs));
    QCOMPARE(saved.size(), size);
    QCOMPARE(saved, (expected.isDhgr ? bytesOf(expected.auxMemory) : QByteArray()) + bytesOf(expected.mainMemory));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("screen.png"))).size(), QSize(kFrameWidth, kFrameHeight));
}

void TestRenderOps::refusesAndWritesNothing_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString in = QStringLiteral("in.hgr");
    const QString save = QStringLiteral("--save");
    QTest::newRow("negative shift") << QStringList{in, QStringLiteral("--shift-left"), QStringLiteral("-1"), save, QStringLiteral("a.hgr")}
                                    << 2 << QStringLiteral("from 0 to 560");
    QTest::newRow("shift not a number") << QStringList{in, QStringLiteral("--shift-right"), QStringLiteral("two"), save, QStringLiteral("a.hgr")}
                                        << 2 << QStringLiteral("not \"two\"");
    QTest::newRow("shift too far") << QStringList{in, QStringLiteral("--shift-right"), QStringLiteral("561"), save, QStringLiteral("a.hgr")}
                                   << 2 << QStringLiteral("from 0 to 560");
    QTest::newRow("text screen and an input") << QStringList{in, QStringLiteral("--text-screen"), in, save, QStringLiteral("a.hgr")}
                                              << 2 << QStringLiteral("give no INPUT");
    QTest::newRow("DHGR saved as .hgr") << QStringList{in, QStringLiteral("--convert-to-dhgr"), save, QStringLiteral("a.hgr")}
                                        << 1 << QStringLiteral("save it as .dgr");
    QTest::newRow("save over the input") << QStringList{in, QStringLiteral("--shift-left"), QStringLiteral("1"), save, in}
                                         << 1 << QStringLiteral("would replace");
    QTest::newRow("save into a missing folder") << QStringList{in, save, QStringLiteral("no/such/folder/a.hgr")}
                                                << 1 << QStringLiteral("cannot write");
    QTest::newRow("text screen missing") << QStringList{QStringLiteral("--text-screen"), QStringLiteral("none.txt"), save, QStringLiteral("a.hgr")}
                                         << 1 << QStringLiteral("cannot open");
}

void TestRenderOps::refusesAndWritesNothing()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(testsupport::writeFile(dir.filePath(QStringLiteral("in.hgr")), m_hgr));
    const Run run = runRender(args, dir.path());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("in.hgr")});
    QCOMPARE(testsupport::readFile(dir.filePath(QStringLiteral("in.hgr"))), m_hgr);
}

QTEST_MAIN(TestRenderOps)
#include "test_render_ops.moc"
