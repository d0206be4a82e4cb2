// morvo-render's picture operations, run as a process: the bytes it saves,
// the order it applies them in, and what it refuses.
#include "testsupport.h"

#include "pictureedit.h"
#include "pictureloader.h"
#include "picturestate.h"
#include "resourcepath.h"
#include "textcodec.h"
#include "textscreen.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

class TestRenderOps : public QObject {
    Q_OBJECT

    QByteArray m_hgr = QByteArray(kPictureBytes, 0);
    std::optional<QTemporaryDir> m_dir;  // a new one for each test, holding m_hgr as in.hgr

    QString at(const QString &name) const { return m_dir->filePath(name); }

    // The picture as its file holds it: aux memory first for DHGR.
    static QByteArray fileBytes(const PictureState &s)
    {
        const auto bytes = [](const PictureMemory &m) { return QByteArray(reinterpret_cast<const char *>(m.data()), kPictureBytes); };
        return (s.isDhgr ? bytes(s.auxMemory) : QByteArray()) + bytes(s.mainMemory);
    }

    // Runs morvo-render in m_dir with the space-separated arguments; the exit
    // code, or -1 when it does not finish normally.
    int runRender(const QString &args, QString *err = nullptr)
    {
        QProcess process;
        process.setWorkingDirectory(m_dir->path());
        process.start(testsupport::binDir() + "/morvo-render", args.split(' ', Qt::SkipEmptyParts));
        const bool finished = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
        if (err)
            *err = QString::fromUtf8(process.readAllStandardError());
        return finished ? process.exitCode() : -1;
    }

private Q_SLOTS:
    void init()
    {
        QRandomGenerator rng(21);
        for (char &b : m_hgr)
            b = char(rng.generate());
        m_dir.emplace();
        QVERIFY(testsupport::writeFile(at("in.hgr"), m_hgr));
    }

    // Each --save writes the picture as it is at that point; without -o no
    // PNG is written.
    void operationsInCommandLineOrder()
    {
        QCOMPARE(runRender("in.hgr --save same.hgr --shift-left 3 --convert-to-dhgr --save converted.dgr "
                           "--shift-right 2 --save shifted.dgr"), 0);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 4);
        QCOMPARE(testsupport::readFile(at("same.hgr")), m_hgr);
        PictureState s;
        QVERIFY(applyPictureFile(readPictureFile(at("in.hgr")), s) && !s.isDhgr);
        PictureState convertedFirst = s;
        convertToDhgr(convertedFirst);
        for (int i = 0; i < 3; ++i) {
            shiftPicture(s, true);
            shiftPicture(convertedFirst, true);
        }
        convertToDhgr(s);
        const QByteArray converted = testsupport::readFile(at("converted.dgr"));
        QCOMPARE(converted, fileBytes(s));
        QVERIFY(fileBytes(convertedFirst) != converted);
        shiftPicture(s, false);
        shiftPicture(s, false);
        QCOMPARE(testsupport::readFile(at("shifted.dgr")), fileBytes(s));
    }

    void textScreenToPicture_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("saveAs");
        QTest::newRow("40 columns, Mac OS Roman") << QByteArray("HELLO\r\n\r\n  APPLE ][\r\n") << "screen.hgr";
        QTest::newRow("80 columns, UTF-8") << QByteArray("80HELLO \xEF\x80\xA1\xEF\x80\xA2\n\nEIGHTY") << "screen.dgr";
    }

    void textScreenToPicture()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, saveAs);
        QVERIFY(testsupport::writeFile(at("screen.txt"), file));
        QCOMPARE(runRender(QStringLiteral("--text-screen screen.txt --save %1 -o screen.png").arg(saveAs)), 0);
        PictureState expected;
        renderTextScreen(expected, decodeTextScreen(file), appleFontFamily());
        QCOMPARE(testsupport::readFile(at(saveAs)), fileBytes(expected));
        QCOMPARE(QImage(at("screen.png")).size(), QSize(kFrameWidth, kFrameHeight));
    }

    void refusesAndWritesNothing_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("negative shift") << "in.hgr --shift-left -1 --save a.hgr" << 2 << "from 0 to 560";
        QTest::newRow("shift too far") << "in.hgr --shift-right 561 --save a.hgr" << 2 << "from 0 to 560";
        QTest::newRow("shift not a number") << "in.hgr --shift-right two --save a.hgr" << 2 << "not \"two\"";
        QTest::newRow("text screen and an input") << "in.hgr --text-screen in.hgr --save a.hgr" << 2 << "give no INPUT";
        QTest::newRow("DHGR saved as .hgr") << "in.hgr --convert-to-dhgr --save a.hgr" << 1 << "save it as .dgr";
        QTest::newRow("save over the input") << "in.hgr --shift-left 1 --save in.hgr" << 1 << "would replace";
        QTest::newRow("save into a missing folder") << "in.hgr --save no/such/folder/a.hgr" << 1 << "cannot write";
        QTest::newRow("text screen missing") << "--text-screen none.txt --save a.hgr" << 1 << "cannot open";
        QTest::newRow("unknown engine") << "in.hgr --engine ntsc" << 2 << "unknown engine";
        QTest::newRow("palette out of range") << "in.hgr --palette 8" << 2 << "unknown palette";
        QTest::newRow("unknown tint") << "in.hgr --mono blue" << 2 << "unknown tint";
        QTest::newRow("bad cell offset") << "in.hgr --column-offset 2" << 2 << "--column-offset";
        QTest::newRow("one file for two inputs") << "in.hgr in.hgr -o one.png" << 2 << "directory";
        QTest::newRow("no input") << "" << 2 << "no input";
    }

    void refusesAndWritesNothing()
    {
        QFETCH(QString, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QString err;
        QCOMPARE(runRender(args, &err), exitCode);
        QVERIFY2(err.contains(message), qPrintable(err));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"in.hgr"});
        QCOMPARE(testsupport::readFile(at("in.hgr")), m_hgr);
    }
};

QTEST_MAIN(TestRenderOps)
#include "test_render_ops.moc"
