// Files that are no pictures, handed to morvo-render and to morvo's test
// mode, which loads them through the picture widget: each is refused at once
// with a message that names it, nothing half-written is left behind, and the
// good inputs of a batch still come out, reported in the order given. No
// output lands on a file a picture was read from, nor goes through a link
// at a name the program made up.
#include "testsupport.h"

#include <QFileInfo>
#include <QtTest>

#include <sys/resource.h>
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
        for (const char *name : {"good.hgr", "huge.hgr", "locked.hgr", "new\nline.hgr", "esc\x1b.hgr"})
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
        // makes such a file, passes the raw bytes and removes it after (Qt
        // could not name it to remove the folder).
        const QString out = at("batch") + '/';
        const QString script = "raw=$(printf 'raw\\377.hgr') && cp good.hgr \"$raw\" && "
                               "\"$0\" good.hgr missing.hgr huge.hgr pipe.hgr \"$raw\" -o \"$1\"; code=$?; rm \"$raw\"; exit $code";
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

    // An empty argument (an unset shell variable) fails alone; a name with a
    // line feed or an escape is printed as C writes it, one input a line.
    void oneLinePerInput_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("out");  // %1: the output folder
        QTest::addColumn<QString>("err");
        const QString empty = "an empty name, which names no file, is not a picture";
        QTest::newRow("render") << "-o" << "good.hgr -> %1good.png\nnew\\nline.hgr -> %1new\\nline.png\n"
                                           "esc\\033.hgr -> %1esc\\033.png\n"
                                << "morvo-render: " + empty + "\n";
        QTest::newRow("info") << "--info" << "good.hgr: 8192 bytes, HGR\n\"\": 0 bytes, not loaded: " + empty + "\n"
                                             "new\\nline.hgr: 8192 bytes, HGR\nesc\\033.hgr: 8192 bytes, HGR\n" << "";
    }

    void oneLinePerInput()
    {
        QFETCH(QString, option);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const QString folder = at("lines") + '/';
        QStringList args{"good.hgr", "", "new\nline.hgr", "esc\x1b.hgr", option};
        if (option == "-o")
            args << folder;
        const auto r = run("morvo-render", args, m_dir.path());
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QString(out).replace("%1", folder));
        QCOMPARE(r.err, err);
    }

    // However the name leads there (a link at the name, a linked folder),
    // no output replaces a file the picture was read from; and a name made
    // from the input's is never written through a link planted there.
    void neverOverAnInputNorThroughAPlantedLink_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString replace = "would replace";
        const QString link = "is a symbolic link";
        QTest::newRow("-o, a link to the input") << "morvo-render" << QStringList{"in.hgr", "-o", "to-in.png"} << replace;
        QTest::newRow("--save, a link to the input") << "morvo-render" << QStringList{"in.hgr", "--save", "to-in.hgr"} << replace;
        QTest::newRow("-o in a linked folder") << "morvo-render" << QStringList{"in.hgr", "-o", "here/in.hgr"} << replace;
        QTest::newRow("-o onto the .AUX read") << "morvo-render" << QStringList{"PIC.HGR", "-o", "PIC.AUX"} << replace;
        QTest::newRow("PNG beside the input") << "morvo-render" << QStringList{"in.hgr"} << link;
        QTest::newRow("--save into a folder") << "morvo-render" << QStringList{"in.hgr", "--save", "saved/"} << link;
        QTest::newRow("test mode onto its input") << "morvo" << QStringList{"in.hgr", "--test", "in.hgr"} << replace;
        QTest::newRow("test mode, a link to the input") << "morvo" << QStringList{"in.hgr", "--test", "to-in.png"} << replace;
    }

    void neverOverAnInputNorThroughAPlantedLink()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QDir d(dir.path());
        const QByteArray card = testsupport::readFile(at("good.hgr"));
        QVERIFY(testsupport::writeFile(d.filePath("in.hgr"), card) && testsupport::writeFile(d.filePath("PIC.HGR"), card));
        QVERIFY(testsupport::writeFile(d.filePath("PIC.AUX"), card) && testsupport::writeFile(d.filePath("victim"), "precious"));
        QVERIFY(d.mkdir("saved"));
        for (const auto &[name, target] : {std::pair("to-in.png", "in.hgr"), {"to-in.hgr", "in.hgr"}, {"here", "."},
                                           {"in.png", "victim"}, {"saved/in.hgr", "../victim"}})
            QVERIFY(QFile::link(target, d.filePath(name)));
        const auto contents = [&d] {
            QStringList files;
            QDirIterator it(d.path(), QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                files << path + '=' + QFileInfo(path).symLinkTarget() + '=' + testsupport::readFile(path).toHex();
            }
            files.sort();
            return files;
        };
        const QStringList before = contents();
        const auto r = run(program, args, dir.path());
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(contents(), before);
    }

    // Past the file size limit (ulimit -f) a write fails like any other: it
    // is reported, nothing half-written stays, and the batch goes on.
    void fileSizeLimit_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("failures");
        const QString out = at("limited") + '/';
        QTest::newRow("a batch") << "morvo-render" << QStringList{"good.hgr", "huge.hgr", "-o", out} << 2;
        QTest::newRow("--save") << "morvo-render" << QStringList{"good.hgr", "--save", out + "copy.hgr"} << 1;
        QTest::newRow("test mode") << "morvo" << QStringList{"good.hgr", "--test", out + "test.png"} << 1;
    }

    void fileSizeLimit()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(int, failures);
        QVERIFY(QDir().mkpath(at("limited")));
        const auto r = run(program, args, m_dir.path(), [] {
            const rlimit small{1024, 1024};
            setrlimit(RLIMIT_FSIZE, &small);
        });
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err.count("File too large"), failures);
        QCOMPARE(QDir(at("limited")).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // Test mode's default PNG, /tmp/morvo_test.png, is a name anyone can put
    // a link at: it is never written through one. The link is planted in a
    // /tmp of the test's own (a tmpfs in a mount namespace), never the
    // machine's.
    void testModeDefaultNeverThroughALink()
    {
        if (run("/usr/bin/unshare", {"-rm", "true"}).exitCode != 0)
            QSKIP("no user and mount namespaces here");
        // The program and its files would be hidden under the new /tmp.
        if (QFileInfo(testsupport::binDir()).canonicalFilePath().startsWith(QLatin1String("/tmp/")))
            QSKIP("the build lives in /tmp, which this test mounts over");
        QTemporaryDir dir(testsupport::binDir() + "/hostile-XXXXXX");
        const QString victim = dir.filePath("victim");
        QVERIFY(testsupport::writeFile(victim, "precious"));
        QVERIFY(QFile::copy(at("good.hgr"), dir.filePath("in.hgr")));
        const QString script = "mount -t tmpfs tmpfs /tmp && ln -s \"$1\" /tmp/morvo_test.png && exec \"$0\" \"$2\" --test";
        const auto r = run("/usr/bin/unshare", {"-rm", "/bin/sh", "-c", script, testsupport::binDir() + "/morvo", victim,
                                                dir.filePath("in.hgr")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("could not write /tmp/morvo_test.png: it is a symbolic link"), qPrintable(r.err));
        QCOMPARE(testsupport::readFile(victim), QByteArray("precious"));
    }
};

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
