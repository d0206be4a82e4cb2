// Files that are no pictures, handed to morvo-render, to morvo's test mode
// and to the picture widget: each is refused at once with a message that
// names it, nothing half-written is left behind, and the good inputs of a
// batch still come out, reported in the order given.
#include "morvowidget.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using testsupport::run;

class TestHostile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void refusedInputs_data();
    void refusedInputs();
    void refusedOutputs_data();
    void refusedOutputs();
    void batchReportsInInputOrder();
    void widgetRefusesAPipe();

private:
    QTemporaryDir m_dir;
    QString at(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
};

void TestHostile::initTestCase()
{
#ifndef Q_OS_UNIX
    QSKIP("pipes, devices and raw file names are the Unix ones");
#else
    testsupport::isolateSettings();
    QVERIFY(m_dir.isValid());
    const QByteArray card = testsupport::readFile(testsupport::samplesDir() + QStringLiteral("/testcard.hgr"));
    QVERIFY(testsupport::writeFile(at("good.hgr"), card));
    QVERIFY(testsupport::writeFile(at("empty.hgr"), QByteArray()));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.hgr")));
    QCOMPARE(mkfifo(QFile::encodeName(at("pipe.hgr")).constData(), 0600), 0);
    QCOMPARE(mkfifo(QFile::encodeName(at("pipe.png")).constData(), 0600), 0);
    // A 1 GB file with nothing stored past its first page.
    QVERIFY(testsupport::writeFile(at("huge.hgr"), card));
    QVERIFY(QFile::resize(at("huge.hgr"), qint64(1) << 30));
    QVERIFY(testsupport::writeFile(at("locked.hgr"), card));
    QVERIFY(QFile::setPermissions(at("locked.hgr"), QFileDevice::WriteOwner));
    const QByteArray raw = QFile::encodeName(m_dir.path()) + "/raw\xff.hgr";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0600);
    QVERIFY(fd >= 0 && ::write(fd, card.constData(), size_t(card.size())) == card.size());
    ::close(fd);
#endif
}

void TestHostile::refusedInputs_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << at("missing.hgr") << "No such file";
    QTest::newRow("empty") << at("empty.hgr") << "0 bytes";
    QTest::newRow("folder") << at("folder.hgr") << "folder";
    QTest::newRow("pipe") << at("pipe.hgr") << "a pipe";
    QTest::newRow("device") << QStringLiteral("/dev/zero") << "a device";
    if (::geteuid() != 0)
        QTest::newRow("unreadable") << at("locked.hgr") << "cannot open";
}

void TestHostile::refusedInputs()
{
    QFETCH(QString, input);
    QFETCH(QString, reason);
    const QString png = at("refused.png");
    const auto r = run(QStringLiteral("morvo-render"), {input, QStringLiteral("-o"), png});
    QVERIFY2(r.exitCode != -1, "morvo-render waited on its input");
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(input) && r.err.contains(reason), qPrintable(r.err));
    QVERIFY(!QFile::exists(png));

    const auto t = run(QStringLiteral("morvo"), {input, QStringLiteral("--test"), png});
    QVERIFY2(t.exitCode != -1, "test mode waited on its input");
    QCOMPARE(t.exitCode, 1);
    QVERIFY2(t.err.contains(QLatin1String("Not loaded: ")) && t.err.contains(reason), qPrintable(t.err));
    QFile::remove(png);
}

void TestHostile::refusedOutputs_data()
{
    QTest::addColumn<QStringList>("args");  // to morvo-render
    QTest::addColumn<QString>("reason");
    QTest::newRow("PNG onto a pipe") << QStringList{at("good.hgr"), "-o", at("pipe.png")} << "a pipe";
    QTest::newRow("PNG under a file") << QStringList{at("good.hgr"), "-o", at("good.hgr") + "/out.png"} << "cannot write";
}

void TestHostile::refusedOutputs()
{
    QFETCH(QStringList, args);
    QFETCH(QString, reason);
    const auto r = run(QStringLiteral("morvo-render"), args);
    QVERIFY(r.exitCode != -1);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    // The pipe is still a pipe, and no other file was left.
    QVERIFY(QFileInfo::exists(at("pipe.png")) && !QFileInfo(at("pipe.png")).isFile());
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.png")}, QDir::Files | QDir::System),
             QStringList{QStringLiteral("pipe.png")});

    const auto t = run(QStringLiteral("morvo"), {at("good.hgr"), QStringLiteral("--test"), at("pipe.png")});
    QVERIFY(t.exitCode != -1);
    QCOMPARE(t.exitCode, 1);
    QVERIFY(t.err.contains(QLatin1String("could not write")) && t.err.contains(QLatin1String("a pipe")));
}

void TestHostile::batchReportsInInputOrder()
{
    // Names that are not UTF-8 cannot be passed through QProcess; the shell
    // passes the raw bytes.
    const QString out = at("batch") + QLatin1Char('/');
    const QString script = QStringLiteral(
        "exec \"$0\" good.hgr missing.hgr huge.hgr pipe.hgr \"$(printf 'raw\\377.hgr')\" -o \"$1\"");
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script, testsupport::binDir() + QStringLiteral("/morvo-render"), out});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 1);
    const QStringList done = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(done.size(), 2);
    QVERIFY(done.at(0).startsWith(QLatin1String("good.hgr -> ")) && done.at(1).startsWith(QLatin1String("huge.hgr -> ")));
    const QStringList refused = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(refused.size(), 3);
    QVERIFY(refused.at(0).contains(QLatin1String("missing.hgr")));
    QVERIFY(refused.at(1).contains(QLatin1String("pipe.hgr")));
    QVERIFY2(refused.at(2).contains(QLatin1String("not UTF-8")), qPrintable(refused.at(2)));
    // The huge file is an HGR picture by its first 8,192 bytes.
    QCOMPARE(QImage(out + QStringLiteral("huge.png")), QImage(out + QStringLiteral("good.png")));
}

void TestHostile::widgetRefusesAPipe()
{
    MorvoWidget widget;
    QVERIFY(widget.loadPicture(at("good.hgr")));
    const PictureMemory before = widget.state().mainMemory;
    QSignalSpy messages(&widget, &MorvoWidget::statusMessage);
    QVERIFY(!widget.loadPicture(at("pipe.hgr")));
    QVERIFY(messages.last().at(0).toString().startsWith(QLatin1String("Not loaded: ")));
    QVERIFY(messages.last().at(0).toString().contains(QLatin1String("a pipe")));
    QCOMPARE(widget.state().mainMemory, before);
}

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
