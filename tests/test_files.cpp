// Picture files as a user meets them: the dialogs' proposals, the saved
// bytes, the PNG, failures that keep old files and say so, and the recent
// list.
#include "importdialog.h"
#include "morvowidget.h"
#include "pictureloader.h"
#include "settingsstore.h"
#include "startupsequence.h"
#include "testsupport.h"
#include "windowtestsupport.h"

#include <QDialogButtonBox>
#include <QMimeData>
#include <QPushButton>

#include <sys/resource.h>
#include <csignal>

class TestFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }

    // A picture's name up to its first dot, in the directory last saved to.
    void proposals()
    {
        QCOMPARE(proposedPicturePath("C:/pics/scene.old.dgr", "D:/out"), "D:/out/scene");
        QCOMPARE(proposedPngPath("C:/pics/scene.old.dgr", "D:/out"), "D:/out/scene.png");
        QCOMPARE(proposedPngPath("", ""), "untitled.png");
        QCOMPARE(proposedPicturePath("", "/out"), "/out");
    }

    void savedPictureIsThePicturesBytes_data()
    {
        QTest::addColumn<bool>("withAux");
        QTest::addColumn<QString>("filter");
        QTest::newRow("HGR") << false << "HGR (*.hgr)";
        QTest::newRow("HGR with its AUX companion becomes one DHGR file") << true << "DHGR (*.dgr)";
    }

    void savedPictureIsThePicturesBytes()
    {
        QFETCH(bool, withAux);
        QFETCH(QString, filter);
        QTemporaryDir dir;
        const QString source = dir.filePath("PIC.HGR");
        QVERIFY(testsupport::writeFile(source, testsupport::randomBytes(8192, 7)));
        if (withAux)
            QVERIFY(testsupport::writeFile(dir.filePath("PIC.AUX"), testsupport::randomBytes(8192, 9)));

        windowtest::Fixture w;
        w.open(source);
        QCOMPARE(SettingsStore::readString(SettingsStore::kLastOpenDir), dir.path());
        QCOMPARE(w.chooser->asked.last(), "Open Apple II Picture|" + QDir::homePath() + "|All Files (*)");
        const QByteArray before = pictureFileBytes(w.state());

        const QString saved = dir.filePath("out/copy.pic");
        QVERIFY(QDir(dir.path()).mkdir("out"));
        w.chooser->answers << saved;
        w.files().onSaveAs();
        QCOMPARE(w.chooser->asked.last(), "Save As D/HGR|PIC|" + filter);
        QCOMPARE(w.status(), "Saved: " + saved);
        QCOMPARE(SettingsStore::readString(SettingsStore::kLastSaveDir), dir.filePath("out"));
        QCOMPARE(testsupport::readFile(saved), before);
        // Save As leaves the title of the opened file, the current picture and
        // the list alone; no companion is written beside the copy.
        QCOMPARE(w.window.windowTitle(), QStringLiteral("morvo — PIC.HGR"));
        QCOMPARE(w.files().recentFiles(), QStringList{source});
        QCOMPARE(QDir(dir.filePath("out")).entryList(QDir::Files), QStringList{"copy.pic"});
    }

    void pngIsTheFrameWithEveryLineTwice()
    {
        QTemporaryDir dir;
        windowtest::Fixture w;
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

    void failedWritesKeepTheOldFileAndSaySo()
    {
        QTemporaryDir dir;
        windowtest::Fixture w;
        // A write that runs out of room part way: the old file stays whole.
        const QString old = dir.filePath("old.dgr");
        QVERIFY(testsupport::writeFile(old, "precious"));
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit small{4096, saved.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        w.chooser->answers << old;
        w.files().onSaveAs();
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY2(w.status().startsWith("Not saved: " + old + " — "), qPrintable(w.status()));
        QCOMPARE(testsupport::readFile(old), QByteArray("precious"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.dgr"});
        // The directory is remembered even when the write failed.
        QCOMPARE(w.files().lastSaveDir(), dir.path());
    }

    // Start-up reopens the newest picture. The Recent menu opens, drops files
    // that are gone and removes with Alt; the list keeps ten, newest first,
    // case and all, and records only what loads.
    void recentPictures()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("a") && QDir(dir.path()).mkpath("b"));
        const QString a = dir.filePath("a/same.dgr"), b = dir.filePath("b/same.dgr"), gone = dir.filePath("gone.hgr");
        const QString shortFile = dir.filePath("short.hgr"), upper = dir.filePath("A/SAME.DGR");
        QVERIFY(testsupport::writeFile(a, testsupport::randomBytes(16384, 1)));
        QVERIFY(testsupport::writeFile(b, testsupport::randomBytes(16384, 2)));
        QVERIFY(testsupport::writeFile(shortFile, QByteArray(100, 1)));
        const QStringList stored = {a, gone, b, upper, "1", "2", "3", "4", "5", "6", "7", "8"};
        SettingsStore::writeStringList(SettingsStore::kRecentFiles, stored);

        windowtest::Fixture w;
        w.window.show();
        // Shown by file name.
        QCOMPARE(w.entries(w.recentMenu()).mid(0, 4), (QStringList{"same.dgr", "gone.hgr", "same.dgr", "SAME.DGR"}));
        w.window.runStartup();
        QCOMPARE(w.files().currentPicturePath(), a);

        // A Recent entry chosen during the boot screens, and a picture dropped
        // on them, end them first and stay.
        w.state().startScreen = true;
        w.window.runStartup();
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(a)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(w.window.pictureWidget(), &enter);
        QApplication::sendEvent(w.window.pictureWidget(), &drop);
        QVERIFY(!w.window.startupSequence()->isRunning());
        QCOMPARE(pictureFileBytes(w.state()), testsupport::randomBytes(16384, 1));
        w.window.runStartup();
        w.recentMenu()->actions().at(2)->trigger();
        QVERIFY(!w.window.startupSequence()->isRunning());
        QCOMPARE(pictureFileBytes(w.state()), testsupport::randomBytes(16384, 2));
        QCOMPARE(w.files().recentFiles().mid(0, 4), (QStringList{b, a, gone, upper}));
        QCOMPARE(w.files().recentFiles().size(), 10);

        const QByteArray shown = pictureFileBytes(w.state());
        const QStringList listed = w.files().recentFiles();
        w.open(shortFile);
        QVERIFY2(w.status().startsWith("Not loaded: "), qPrintable(w.status()));
        QCOMPARE(w.window.windowTitle(), QStringLiteral("morvo — same.dgr"));
        QCOMPARE(w.files().currentPicturePath(), b);
        QCOMPARE(w.files().recentFiles(), listed);
        QCOMPARE(pictureFileBytes(w.state()), shown);
        w.recentMenu()->actions().at(2)->trigger();
        QCOMPARE(w.status(), "File not found: " + gone);
        QCOMPARE(pictureFileBytes(w.state()), shown);
        QVERIFY(!w.files().recentFiles().contains(gone));

        // With Alt held the entry is removed and nothing opens.
        QTest::keyPress(w.window.windowHandle(), Qt::Key_Alt, Qt::AltModifier);
        w.recentMenu()->actions().at(1)->trigger();
        QTest::keyRelease(w.window.windowHandle(), Qt::Key_Alt, Qt::NoModifier);
        QCOMPARE(w.status(), QStringLiteral("Removed: same.dgr"));
        QCOMPARE(w.files().currentPicturePath(), b);
        QVERIFY(!SettingsStore::readStringList(SettingsStore::kRecentFiles).contains(a));
        // The gone file stays where it is.
        QVERIFY(QFile::exists(a));

        // Delete on the highlighted entry of the open menu removes it; the
        // menu stays open on the rest.
        QMenu *menu = w.recentMenu();
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(menu->actions().at(0));
        QTest::keyClick(menu, Qt::Key_Delete);
        QCOMPARE(w.status(), QStringLiteral("Removed: same.dgr"));
        QVERIFY(!w.files().recentFiles().contains(b));
        QVERIFY(menu->isVisible());
        menu->close();
    }

    // A dropped text screen opens in the editor like Open Text; a dropped
    // picture closes the editor and is shown under its own name, without
    // joining the recent list.
    void droppedFiles()
    {
        QTemporaryDir dir;
        const QString text = dir.filePath("screen.TXT"), picture = dir.filePath("pic.dgr");
        QVERIFY(testsupport::writeFile(text, "HELLO"));
        QVERIFY(testsupport::writeFile(picture, testsupport::randomBytes(16384, 3)));
        windowtest::Fixture w;
        const auto drop = [&w](const QString &path) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(w.window.pictureWidget(), &enter);
            QApplication::sendEvent(w.window.pictureWidget(), &event);
        };
        drop(text);
        QVERIFY(w.editor() && w.editor()->isVisible());
        QCOMPARE(w.editor()->screenText(), QStringLiteral("HELLO"));
        QCOMPARE(w.status(), "Opened: " + text);
        QCOMPARE(w.files().recentTextScreens(), QStringList{text});
        drop(picture);
        QTRY_VERIFY(!w.editor());
        QCOMPARE(pictureFileBytes(w.state()), testsupport::randomBytes(16384, 3));
        QCOMPARE(w.window.windowTitle(), QStringLiteral("morvo — pic.dgr"));
        QCOMPARE(w.files().currentPicturePath(), picture);
        QVERIFY(w.files().recentFiles().isEmpty());
    }

    // A dropped image opens the import dialog; its OK makes the picture it
    // previewed one step of the history, marked, that Undo takes back.
    void droppedImageIsImported()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath("photo.png");
        QVERIFY(testsupport::testCard(320, 240).save(photo));
        windowtest::Fixture w;
        const PictureSnapshot before = PictureSnapshot::of(w.state());
        PictureSnapshot previewed;
        std::function<void()> answer = [&] {
            auto *dialog = qobject_cast<ImportDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isReady()) {
                QTimer::singleShot(20, answer);
                return;
            }
            previewed = PictureSnapshot::of(dialog->picture());
            dialog->buttons()->button(QDialogButtonBox::Ok)->click();
        };
        QTimer::singleShot(0, answer);
        w.files().openDroppedFile(photo);
        QVERIFY(PictureSnapshot::of(w.state()) == previewed && previewed != before);
        QCOMPARE(w.status(), QStringLiteral("Imported: photo.png"));
        QCOMPARE(w.window.windowTitle(), QStringLiteral("morvo •"));
        w.window.document()->history()->undo();
        QVERIFY(PictureSnapshot::of(w.state()) == before);
    }

    // Lists in the store longer than the menus keep (a damaged or hand-made
    // file) are cut as they are read: ten pictures, five text screens.
    void longRecentListsAreCutWhenRead()
    {
        QStringList stored;
        for (int i = 0; i < 1000; ++i)
            stored << QStringLiteral("/gone/%1.hgr").arg(i);
        SettingsStore::writeStringList(SettingsStore::kRecentFiles, stored);
        SettingsStore::writeStringList(SettingsStore::kRecentTextScreens, stored);
        windowtest::Fixture w;
        QCOMPARE(w.files().recentFiles(), stored.mid(0, 10));
        QCOMPARE(w.files().recentTextScreens(), stored.mid(0, 5));
        QCOMPARE(w.entries(w.recentMenu()).size(), 10);
    }

    // A last picture that is gone leaves the list; with nothing left to
    // reopen the picture is blank.
    void startCannotReopenAGonePicture()
    {
        QTemporaryDir dir;
        const QString gone = dir.filePath("gone.dgr");
        SettingsStore::writeStringList(SettingsStore::kRecentFiles, {gone});
        windowtest::Fixture w;
        w.state().auxMemory[5] = 1;
        w.window.reopenLastPicture();
        QVERIFY(w.files().recentFiles().isEmpty());
        QVERIFY(!w.recentMenu()->isEnabled());
        w.window.reopenLastPicture();
        QCOMPARE(pictureFileBytes(w.state()), QByteArray(16384, 0));
    }
};

MORVO_WINDOW_TEST_MAIN(TestFiles)
#include "test_files.moc"
