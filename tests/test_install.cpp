// The Linux installation: the desktop entry, the AppStream metadata and the
// icon as the desktop's own tools accept them, and installed programs that
// find their data under the prefix wherever they are started from.
#include "testsupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kAppId = QStringLiteral("io.github.kestrand.morvo");

struct Finished {
    bool ok = false;
    QString output;
};

// Runs a program to its end with its output merged into one text.
Finished runIn(const QString &workingDir, const QString &program, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), workingDir);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(workingDir);
    p.start(program, args);
    const bool finished = p.waitForFinished(120000);
    const QString output = program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QLatin1Char('\n')
                           + QString::fromUtf8(p.readAll()) + p.errorString();
    return {finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, output};
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

    // In /tmp, where no source/resources directory lies above the installed
    // programs: whatever they find comes from the installation.
    QTemporaryDir prefix{QStringLiteral("/tmp/morvo-install-XXXXXX")};
    QTemporaryDir elsewhere{QStringLiteral("/tmp/morvo-cwd-XXXXXX")};

    QString installed(const QString &relative) const { return prefix.filePath(relative); }

private Q_SLOTS:
    void initTestCase()
    {
        const Finished install = runIn(elsewhere.path(), QStringLiteral(MORVO_CMAKE_COMMAND),
                                       {"--install", MORVO_BINARY_DIR, "--prefix", prefix.path()});
        QVERIFY2(install.ok, qPrintable(install.output));
    }

    void icons_data()
    {
        QTest::addColumn<int>("side");
        QTest::newRow("256") << 256;
        QTest::newRow("512") << 512;
    }

    void icons()
    {
        QFETCH(int, side);
        const QImage icon(installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(kAppId)));
        QCOMPARE(icon.size(), QSize(side, side));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(icon.pixel(side / 2, side / 2)), 255);
    }

    void desktopToolsAccept_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("desktop entry")
            << "desktop-file-validate" << QStringList{installed("share/applications/" + kAppId + ".desktop")};
        QTest::newRow("metainfo")
            << "appstreamcli" << QStringList{"validate", "--no-net", installed("share/metainfo/" + kAppId + ".metainfo.xml")};
        QTest::newRow("the tree: metainfo, desktop entry and icon together")
            << "appstreamcli" << QStringList{"validate-tree", "--no-net", prefix.path()};
    }

    void desktopToolsAccept()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        const Finished check = runIn(elsewhere.path(), tool, args);
        QVERIFY2(check.ok, qPrintable(check.output));
        QVERIFY2(!check.output.contains(QLatin1String("warning"), Qt::CaseInsensitive), qPrintable(check.output));
    }

    // The installed morvo-render draws a text screen in the Apple II font
    // exactly as the build tree's, which finds the font in the source tree.
    void programsFindTheirData()
    {
        const QString out = elsewhere.filePath(QStringLiteral("card.png"));
        Finished run = runIn(elsewhere.path(), installed("bin/morvo"),
                             {testsupport::samplesDir() + "/testcard.dgr", "--test", out});
        QVERIFY2(run.ok, qPrintable(run.output));
        QCOMPARE(QImage(out).size(), QSize(562, 192));

        const QString screen = installed(QStringLiteral("share/morvo/textscreens/Welcome.txt"));
        run = runIn(elsewhere.path(), installed("bin/morvo-render"), {"--text-screen", screen, "-o", "installed.png"});
        QVERIFY2(run.ok && !run.output.contains(QLatin1String("not found")), qPrintable(run.output));
        run = runIn(elsewhere.path(), testsupport::binDir() + "/morvo-render", {"--text-screen", screen, "-o", "built.png"});
        QVERIFY2(run.ok, qPrintable(run.output));
        QCOMPARE(QImage(elsewhere.filePath("installed.png")), QImage(elsewhere.filePath("built.png")));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
