// Files that are no pictures, handed to morvo-render and to morvo's test
// mode, which loads them through the picture widget: each is refused at once
// with a message that names it, nothing half-written is left behind, and the
// good inputs of a batch still come out, reported in the order given.
#include "testsupport.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::run;

class TestHostile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString at(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::isolateSettings();
        const QByteArray card = testsupport::readFile(testsupport::samplesDir() + "/testcard.hgr");
        for (const char *name : {"good.hgr", "huge.hgr", "locked.hgr"})
            QVERIFY(testsupport::writeFile(at(name), card));
        QVERIFY(testsupport::writeFile(at("empty.hgr"), QByteArray()));
        QVERIFY(QDir(m_dir.path()).mkdir("folder.hgr"));
        QCOMPARE(mkfifo(QFile::encodeName(at("pipe.hgr")).constData(), 0600), 0);
        QCOMPARE(mkfifo(QFile::encodeName(at("pipe.png")).constData(), 0600), 0);
        // A 1 GB file with nothing stored past its first page.
        QVERIFY(QFile::resize(at("huge.hgr"), qint64(1) << 30));
        QVERIFY(QFile::setPermissions(at("locked.hgr"), QFileDevice::WriteOwner));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("reason");  // in both programs' messages
        const QString png = at("refused.png");
        QTest::newRow("missing") << at("missing.hgr") << png << "No such file";
        QTest::newRow("empty") << at("empty.hgr") << png << "a 0-byte file";
        QTest::newRow("folder") << at("folder.hgr") << png << "folder";
        QTest::newRow("pipe") << at("pipe.hgr") << png << "a pipe";
        if (::geteuid() != 0)
            QTest::newRow("unreadable") << at("locked.hgr") << png << "cannot open";
        QTest::newRow("PNG onto a pipe") << at("good.hgr") << at("pipe.png") << "a pipe";
        QTest::newRow("PNG under a file") << at("good.hgr") << at("good.hgr/out.png") << "Not a directory";
    }

    void refused()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, reason);
        const bool badInput = output == at("refused.png");
        const QString named = badInput ? input : output;
        const auto r = run("morvo-render", {input, "-o", output});  // exit code -1: it waited on a file
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(named) && r.err.contains(reason), qPrintable(r.err));

        const auto t = run("morvo", {input, "--test", output});
        QCOMPARE(t.exitCode, 1);
        QVERIFY2(t.err.contains(badInput ? "Not loaded: " : "could not write ") && t.err.contains(named)
                     && t.err.contains(reason), qPrintable(t.err));
        // The pipe is still a pipe, and neither program left another file.
        QVERIFY(QFileInfo::exists(at("pipe.png")) && !QFileInfo(at("pipe.png")).isFile());
        QCOMPARE(QDir(m_dir.path()).entryList({"*.png"}, QDir::Files | QDir::System), QStringList{"pipe.png"});
    }

    void batchReportsInInputOrder()
    {
        // Names that are not UTF-8 cannot be passed through QProcess; the shell
        // makes such a file and passes the raw bytes.
        const QString out = at("batch") + '/';
        const QString script = "raw=$(printf 'raw\\377.hgr') && cp good.hgr \"$raw\" && "
                               "exec \"$0\" good.hgr missing.hgr huge.hgr pipe.hgr \"$raw\" -o \"$1\"";
        const auto r = run("/bin/sh", {"-c", script, testsupport::binDir() + "/morvo-render", out}, m_dir.path());
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QString("good.hgr -> %1good.png\nhuge.hgr -> %1huge.png\n").arg(out));
        const QStringList refused = r.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(refused.size(), 3);
        QVERIFY2(refused.at(0).contains("missing.hgr") && refused.at(1).contains("pipe.hgr") && refused.at(2).contains("not UTF-8"),
                 qPrintable(refused.join('\n')));
        // The huge file is an HGR picture by its first 8,192 bytes.
        QCOMPARE(QImage(out + "huge.png"), QImage(out + "good.png"));
    }
};

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
