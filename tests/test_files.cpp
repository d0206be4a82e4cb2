// Picture files as a user meets them: the dialogs' proposals, the saved
// bytes, the PNG, failures that keep old files and say so, and the recent
// list.
#include "filechooser.h"
#include "filecommands.h"
#include "mainwindow.h"
#include "morvowidget.h"
#include "pictureloader.h"
#include "recentlist.h"
#include "settingsstore.h"
#include "testsupport.h"
#include "windowtestsupport.h"

#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <sys/resource.h>
#include <csignal>

namespace {

// Answers the file dialogs in turn and remembers what they were asked.
struct ScriptedChooser : FileChooser {
    QStringList answers;
    QStringList asked;  // caption | directory or proposal | filter
    QString next(const QString &caption, const QString &where, const QString &filter)
    {
        asked << caption + QLatin1Char('|') + where + QLatin1Char('|') + filter;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString openFileName(QWidget *, const QString &c, const QString &d, const QString &f) override { return next(c, d, f); }
    QString saveFileName(QWidget *, const QString &c, const QString &p, const QString &f) override { return next(c, p, f); }
};

struct Window {
    MainWindow window;
    ScriptedChooser *chooser = new ScriptedChooser;
    Window() { window.fileCommands()->setChooser(std::unique_ptr<FileChooser>(chooser)); }
    FileCommands &files() { return *window.fileCommands(); }
    PictureState &state() { return window.pictureWidget()->state(); }
    QString status() { return window.statusBar()->currentMessage(); }
    void open(const QString &path)
    {
        chooser->answers << path;
        files().onOpenGraphic();
    }
    QMenu *recentMenu() { return window.menuBar()->actions().first()->menu()->actions().at(6)->menu(); }
    QStringList recentEntries()
    {
        QStringList texts;
        for (QAction *a : recentMenu()->actions())
            texts << a->text();
        return texts;
    }
};

QByteArray randomBytes(int size, quint32 seed)
{
    QByteArray bytes(size, 0);
    quint32 x = seed;
    for (char &b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = char(x >> 24);
    }
    return bytes;
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { windowtest::clearSettings(); }
    void proposals_data();
    void proposals();
    void savedPictureReadsBackTheSame_data();
    void savedPictureReadsBackTheSame();
    void pngIsTheFrameWithEveryLineTwice();
    void failedWritesKeepTheOldFileAndSaySo();
    void fileThatDoesNotLoadIsNotRecorded();
    void recentListRules_data();
    void recentListRules();
    void recentMenuOpensRemovesAndDropsGoneFiles();
    void startReopensTheLastPicture();
};

void TestFiles::proposals_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("saveDir");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("png");
    QTest::newRow("base name up to the first dot") << "C:/pics/scene.old.dgr" << "D:/out" << "D:/out/scene" << "D:/out/scene.png";
    QTest::newRow("nothing opened, no directory") << "" << "" << "" << "untitled.png";
    QTest::newRow("nothing opened, a directory") << "" << "/out" << "/out" << "/out/untitled.png";
    QTest::newRow("no directory yet") << "/pics/ROSE.HGR" << "" << "ROSE" << "ROSE.png";
}

void TestFiles::proposals()
{
    QFETCH(QString, current);
    QFETCH(QString, saveDir);
    QFETCH(QString, picture);
    QFETCH(QString, png);
    QCOMPARE(proposedPicturePath(current, saveDir), picture);
    QCOMPARE(proposedPngPath(current, saveDir), png);
}

void TestFiles::savedPictureReadsBackTheSame_data()
{
    QTest::addColumn<int>("mainSize");
    QTest::addColumn<bool>("withAux");
    QTest::addColumn<int>("savedSize");
    QTest::newRow("HGR") << 8192 << false << 8192;
    QTest::newRow("DHGR") << 16384 << false << 16384;
    QTest::newRow("HGR with its AUX companion becomes one DHGR file") << 8192 << true << 16384;
}

void TestFiles::savedPictureReadsBackTheSame()
{
    QFETCH(int, mainSize);
    QFETCH(bool, withAux);
    QFETCH(int, savedSize);
    QTemporaryDir dir;
    const QString source = dir.filePath("PIC.HGR");
    QVERIFY(testsupport::writeFile(source, randomBytes(mainSize, 7)));
    if (withAux)
        QVERIFY(testsupport::writeFile(dir.filePath("PIC.AUX"), randomBytes(8192, 9)));

    Window w;
    w.open(source);
    QCOMPARE(w.window.windowTitle(), QStringLiteral("morvo — PIC.HGR"));
    QCOMPARE(SettingsStore::readString(SettingsStore::kLastOpenDir), dir.path());
    QCOMPARE(w.chooser->asked.last(), "Open Apple II Picture|" + QDir::homePath() + "|All Files (*)");
    const QByteArray before = pictureFileBytes(w.state());

    const QString saved = dir.filePath("out/copy.pic");
    QVERIFY(QDir(dir.path()).mkdir("out"));
    w.chooser->answers << saved;
    w.files().onSaveAs();
    QCOMPARE(w.chooser->asked.last(), QString("Save As D/HGR|PIC|%1").arg(savedSize == 8192 ? "HGR (*.hgr)" : "DHGR (*.dgr)"));
    QCOMPARE(w.status(), "Saved: " + saved);
    QCOMPARE(SettingsStore::readString(SettingsStore::kLastSaveDir), dir.filePath("out"));
    const QByteArray written = testsupport::readFile(saved);
    QCOMPARE(written.size(), savedSize);
    QCOMPARE(written, before);
    // Save As leaves the title, the current picture and the list alone; no
    // companion is written beside the copy.
    QCOMPARE(w.window.windowTitle(), QStringLiteral("morvo — PIC.HGR"));
    QCOMPARE(w.files().recentFiles(), QStringList{source});
    QCOMPARE(QDir(dir.filePath("out")).entryList(QDir::Files), QStringList{"copy.pic"});

    w.open(saved);
    QCOMPARE(pictureFileBytes(w.state()), before);
    QCOMPARE(w.state().isDhgr, savedSize == 16384);
}

void TestFiles::pngIsTheFrameWithEveryLineTwice()
{
    QTemporaryDir dir;
    Window w;
    w.open(testsupport::samplesDir() + "/testcard.hgr");
    w.state().screenSize = 0;
    w.state().aspectCorrect = 2;
    w.window.pictureWidget()->refresh();
    const QString out = dir.filePath("card.png");
    w.chooser->answers << out;
    w.window.onSave();
    QCOMPARE(w.chooser->asked.last(), QStringLiteral("Save as PNG|testcard.png|PNG (*.png)"));
    QCOMPARE(w.status(), "Saved: " + out);
    const QImage png = QImage(out).convertToFormat(QImage::Format_RGBA8888);
    QCOMPARE(png.size(), QSize(562, 384));
    const QImage &frame = w.window.pictureWidget()->image();
    for (int y = 0; y < 384; y += 7)
        for (int x = 0; x < 562; x += 5)
            QCOMPARE(testsupport::rgbAt(png, x, y), testsupport::rgbAt(frame, x, y / 2));
}

void TestFiles::failedWritesKeepTheOldFileAndSaySo()
{
    QTemporaryDir dir;
    Window w;
    // A folder where the file should go.
    w.chooser->answers << dir.path();
    w.files().onSaveAs();
    QVERIFY(w.status().startsWith("Not saved: " + dir.path() + " — "));

    // A path under a file.
    QVERIFY(testsupport::writeFile(dir.filePath("plain"), "x"));
    w.chooser->answers << dir.filePath("plain/pic.dgr");
    w.window.onSave();
    QVERIFY(w.status().startsWith("Not saved: " + dir.filePath("plain/pic.dgr") + " — "));

    // A write that runs out of room part way: the old file stays whole.
    const QString old = dir.filePath("old.dgr");
    QVERIFY(testsupport::writeFile(old, "precious"));
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    w.chooser->answers << old;
    w.files().onSaveAs();
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY2(w.status().startsWith("Not saved: " + old + " — "), qPrintable(w.status()));
    QCOMPARE(testsupport::readFile(old), QByteArray("precious"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"old.dgr", "plain"}));
    // The directory is remembered even when the write failed.
    QCOMPARE(w.files().lastSaveDir(), dir.path());
}

void TestFiles::fileThatDoesNotLoadIsNotRecorded()
{
    QTemporaryDir dir;
    Window w;
    const QString good = testsupport::samplesDir() + "/testcard.dgr";
    w.open(good);
    const QByteArray shown = pictureFileBytes(w.state());
    const QString shortFile = dir.filePath("short.hgr");
    QVERIFY(testsupport::writeFile(shortFile, QByteArray(100, 1)));
    for (const QString &bad : {shortFile, dir.path()}) {
        w.open(bad);
        QVERIFY2(w.status().startsWith("Not loaded: "), qPrintable(w.status()));
        QCOMPARE(w.window.windowTitle(), QStringLiteral("morvo — testcard.dgr"));
        QCOMPARE(w.files().currentPicturePath(), good);
        QCOMPARE(w.files().recentFiles(), QStringList{good});
        QCOMPARE(pictureFileBytes(w.state()), shown);
    }
}

void TestFiles::recentListRules_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QStringList>("after");
    const QStringList ten = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    QTest::newRow("new path at the head") << QStringList{"a", "b"} << "c" << QStringList{"c", "a", "b"};
    QTest::newRow("listed path moves up") << QStringList{"a", "b", "c"} << "c" << QStringList{"c", "a", "b"};
    QTest::newRow("eleventh drops the oldest") << ten << "x" << (QStringList{"x"} + ten.mid(0, 9));
    QTest::newRow("a long stored list is trimmed") << (ten + ten.mid(0, 4) + QStringList{"y"}) << "x" << (QStringList{"x"} + ten.mid(0, 9));
    QTest::newRow("case matters") << QStringList{"/a/PIC.HGR"} << "/a/pic.hgr" << QStringList{"/a/pic.hgr", "/a/PIC.HGR"};
}

void TestFiles::recentListRules()
{
    QFETCH(QStringList, before);
    QFETCH(QString, added);
    QFETCH(QStringList, after);
    QCOMPARE(withRecentAdded(before, added, kRecentPictures), after);
    QCOMPARE(withRecentRemoved(after, added), withRecentRemoved(before, added).mid(0, after.size() - 1));
}

void TestFiles::recentMenuOpensRemovesAndDropsGoneFiles()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("a") && QDir(dir.path()).mkpath("b"));
    const QString a = dir.filePath("a/same.dgr"), b = dir.filePath("b/same.dgr"), gone = dir.filePath("gone.hgr");
    QVERIFY(testsupport::writeFile(a, randomBytes(16384, 1)));
    QVERIFY(testsupport::writeFile(b, randomBytes(16384, 2)));
    const QStringList stored = {a, gone, b, "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    SettingsStore::writeStringList(SettingsStore::kRecentFiles, stored);

    Window w;
    w.window.show();
    // A stored list longer than ten is shown whole, by file name.
    QCOMPARE(w.recentEntries().size(), 12);
    QCOMPARE(w.recentEntries().mid(0, 3), (QStringList{"same.dgr", "gone.hgr", "same.dgr"}));

    w.recentMenu()->actions().at(2)->trigger();
    QCOMPARE(w.files().currentPicturePath(), b);
    QCOMPARE(pictureFileBytes(w.state()), randomBytes(16384, 2));
    QCOMPARE(w.files().recentFiles().mid(0, 3), (QStringList{b, a, gone}));
    QCOMPARE(w.files().recentFiles().size(), 10);

    const QByteArray shown = pictureFileBytes(w.state());
    w.recentMenu()->actions().at(2)->trigger();
    QCOMPARE(w.status(), "File not found: " + gone);
    QCOMPARE(pictureFileBytes(w.state()), shown);
    QVERIFY(!w.files().recentFiles().contains(gone));
    QVERIFY(!SettingsStore::readStringList(SettingsStore::kRecentFiles).contains(gone));

    // With Alt held the entry is removed and nothing opens.
    QTest::keyPress(w.window.windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    w.recentMenu()->actions().at(1)->trigger();
    QTest::keyRelease(w.window.windowHandle(), Qt::Key_Alt, Qt::NoModifier);
    QCOMPARE(w.status(), QStringLiteral("Removed: same.dgr"));
    QCOMPARE(w.files().currentPicturePath(), b);
    QVERIFY(!SettingsStore::readStringList(SettingsStore::kRecentFiles).contains(a));
    // The gone file stays where it is.
    QVERIFY(QFile::exists(a));
}

void TestFiles::startReopensTheLastPicture()
{
    QTemporaryDir dir;
    const QString gone = dir.filePath("gone.dgr");
    SettingsStore::writeStringList(SettingsStore::kRecentFiles, {gone});
    {
        Window w;
        w.state().auxMemory[5] = 1;
        w.window.reopenLastPicture();
        QCOMPARE(w.status(), "File not found: " + gone);
        QVERIFY(w.files().recentFiles().isEmpty());
        QVERIFY(!w.recentMenu()->isEnabled());
        w.window.reopenLastPicture();
        QCOMPARE(pictureFileBytes(w.state()), QByteArray(16384, 0));
    }
    const QString pic = testsupport::samplesDir() + "/testcard.hgr";
    SettingsStore::writeStringList(SettingsStore::kRecentFiles, {pic});
    Window w;
    w.window.runStartup();
    QCOMPARE(w.window.windowTitle(), QStringLiteral("morvo — testcard.hgr"));
    QVERIFY(!w.state().isDhgr);
}

MORVO_WINDOW_TEST_MAIN(TestFiles)
#include "test_files.moc"
