// The Linux installation: the desktop entry, the AppStream metadata and the
// icon as the desktop's own tools accept them, and installed programs that
// find their data under the prefix wherever they are started from.
#include "builtinscreens.h"
#include "resourcepath.h"
#include "testsupport.h"

#include <QtTest>

namespace {

const QString kAppId = QStringLiteral("io.github.kestrand.morvo");

QString report(const testsupport::Run &r) { return r.out + r.err; }

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
        const auto install = testsupport::run(MORVO_CMAKE_COMMAND, {"--install", MORVO_BINARY_DIR, "--prefix", prefix.path()});
        QVERIFY2(install.exitCode == 0, qPrintable(report(install)));
    }

    // Every data file is found in share/morvo beside bin, not in the source
    // tree, and is the one the build uses.
    void dataBesideBin()
    {
        QStringList files = {"sounds/beep.wav", "sounds/drive_startup_a.wav", "sounds/pbbbt.wav",
                             "sounds/drive_startup_b.wav", "fonts/Apple_II.ttf", "icons/morvo-icon.png"};
        for (const BuiltInTextScreen &screen : builtInTextScreens())
            files << screen.path;
        for (const QString &rel : files) {
            const QString found = resolveResourcePathFrom(installed("bin"), rel);
            QCOMPARE(found, QFileInfo(installed("share/morvo/" + rel)).absoluteFilePath());
            QCOMPARE(testsupport::readFile(found), testsupport::readFile(resolveResourcePath(rel)));
        }
    }

    // The desktop entry, and the metainfo with the desktop entry and the icon it names.
    void desktopToolsAccept()
    {
        const QList<QStringList> checks = {{"desktop-file-validate", installed("share/applications/" + kAppId + ".desktop")},
                                           {"appstreamcli", "validate-tree", "--no-net", prefix.path()}};
        for (QStringList args : checks) {
            const auto check = testsupport::run(QStandardPaths::findExecutable(args.takeFirst()), args, elsewhere.path());
            QVERIFY2(check.exitCode == 0 && !report(check).contains("warning", Qt::CaseInsensitive), qPrintable(report(check)));
        }
    }

    // The installed programs, started from elsewhere: morvo renders a picture
    // and morvo-render draws a text screen in the Apple II font exactly as the
    // build tree's, which finds the font in the source tree.
    void programsFindTheirData()
    {
        auto run = testsupport::run(installed("bin/morvo"), {testsupport::samplesDir() + "/testcard.dgr", "--test", "card.png"},
                                    elsewhere.path());
        QVERIFY2(run.exitCode == 0, qPrintable(report(run)));
        QCOMPARE(QImage(elsewhere.filePath("card.png")).size(), QSize(562, 192));

        const QString screen = installed("share/morvo/textscreens/Welcome.txt");
        run = testsupport::run(installed("bin/morvo-render"), {"--text-screen", screen, "-o", "installed.png"}, elsewhere.path());
        QVERIFY2(run.exitCode == 0 && !report(run).contains(QLatin1String("not found")), qPrintable(report(run)));
        run = testsupport::run("morvo-render", {"--text-screen", screen, "-o", "built.png"}, elsewhere.path());
        QVERIFY2(run.exitCode == 0, qPrintable(report(run)));
        QCOMPARE(QImage(elsewhere.filePath("installed.png")), QImage(elsewhere.filePath("built.png")));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
