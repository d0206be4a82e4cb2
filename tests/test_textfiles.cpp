// Text screens from the main window: opening and saving them with their
// exact bytes and messages, the Recent Text menu and the built-in screens,
// the screen shown as a picture, and no way to lose unsaved text.
#include "morvowidget.h"
#include "resourcepath.h"
#include "settingsstore.h"
#include "textcodec.h"
#include "textgridwidget.h"
#include "textscreen.h"
#include "testsupport.h"
#include "windowtestsupport.h"

#include <QCheckBox>
#include <QDockWidget>

class TestTextFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }

    void savedScreenReadsBackTheSame_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("message");
        QTest::newRow("one inverse character") << QString("READY") + QChar(0xF021) << "Saved (UTF-8): %1";
        QTest::newRow("a character outside the BMP in the last column")
            << QString(39, 'A') + QString::fromUtf8("\xF0\x9F\x98\x80") + "\nB" << "Saved (UTF-8): %1";
        QTest::newRow("80 columns of MouseText") << QString("80") + QChar(0x00C4) + "X"
            << "Saved (Mac OS Roman): %1 — In TextEdit/VS Code, reopen as \"Western (Mac OS Roman)\" if the Apple II "
               "font looks wrong.";
    }

    void savedScreenReadsBackTheSame()
    {
        QFETCH(QString, screen);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("SCREEN.TXT");
        windowtest::Fixture w;
        w.window.onNewText();
        w.editor()->loadScreen(screen);
        w.chooser->answers << path;
        QVERIFY(w.files().saveTextScreen());
        QCOMPARE(w.status(), message.arg(path));
        QCOMPARE(testsupport::readFile(path), encodeTextScreen(screen));
        QCOMPARE(w.editor()->windowTitle(), QStringLiteral("morvo — SCREEN.TXT"));
        QCOMPARE(SettingsStore::readString(SettingsStore::kLastTextDir), dir.path());

        // A second save goes to the same file without asking.
        QVERIFY(w.files().saveTextScreen());
        QCOMPARE(w.chooser->asked.size(), 1);

        w.editor()->loadScreen(QString());
        w.chooser->answers << path;
        w.files().onOpenText();
        QCOMPARE(w.editor()->screenText(), screen);
        QVERIFY(!w.editor()->isModified());
    }

    // Save and Save As, by their keys, write the text screen while the
    // editor or its floating palette is the active window, and the picture
    // from the main window.
    void saveFollowsTheActiveWindow()
    {
        windowtest::Fixture w;
        w.window.show();
        w.window.onNewText();
        auto *palette = w.editor()->findChild<QDockWidget *>();
        palette->setFloating(true);
        for (QWidget *active : {static_cast<QWidget *>(w.editor()), static_cast<QWidget *>(palette), static_cast<QWidget *>(&w.window)}) {
            // As a window manager activates it (offscreen, a tool window is never activated).
            QApplication::setActiveWindow(active);
            QTest::keySequence(active, QKeySequence(QStringLiteral("Ctrl+S")));
            QTest::keySequence(active, QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        }
        QStringList asked;
        for (const QString &question : w.chooser->asked)
            asked << question.section('|', 0, 0);
        QCOMPARE(asked, (QStringList{"Save Text Screen", "Save Text Screen", "Save Text Screen", "Save Text Screen",
                                     "Save as PNG", "Save As D/HGR"}));
    }

    void builtInScreensAndRecentText()
    {
        QTemporaryDir dir;
        windowtest::Fixture w;
        w.recentTextMenu()->actions().at(2)->trigger();
        QVERIFY(w.editor() && !w.editor()->screenText().isEmpty());
        QVERIFY(w.editor()->filePath().isEmpty());  // so a save asks for a name instead of writing the resource

        // Six files leave five, newest first, below the built-in screens.
        for (int i = 0; i < 6; ++i) {
            const QString path = dir.filePath(QString("s%1.txt").arg(i));
            QVERIFY(testsupport::writeFile(path, "SCREEN " + QByteArray::number(i)));
            w.chooser->answers << path;
            w.files().onOpenText();
        }
        QCoreApplication::processEvents();
        const QStringList builtIn{"Apple //c", "ProDOS", "Welcome", "Text Screen Info", "Sample Text Screen"};
        QCOMPARE(w.entries(w.recentTextMenu()), builtIn + QStringList({"-", "s5.txt", "s4.txt", "s3.txt", "s2.txt", "s1.txt"}));
        w.recentTextMenu()->actions().at(8)->trigger();
        QCOMPARE(w.editor()->screenText(), QStringLiteral("SCREEN 3"));
        QFile::remove(dir.filePath("s3.txt"));
        w.recentTextMenu()->actions().at(8)->trigger();
        QCOMPARE(w.status(), "File not found: " + dir.filePath("s3.txt"));

        w.files().openBuiltInTextScreen("textscreens/Nowhere.txt");
        QCOMPARE(w.status(), QStringLiteral("Missing bundled text screen: textscreens/Nowhere.txt"));
        QCOMPARE(w.editor()->screenText(), QStringLiteral("SCREEN 3"));
    }

    // The picture drawn reads the 40-column mark the editor writes before an "8".
    void screenIsShownAsAPicture()
    {
        windowtest::Fixture w;
        MorvoWidget *picture = w.window.pictureWidget();
        w.window.onNewText();
        QAction *selectAll = w.window.taggedAction("selectAll");
        QVERIFY(selectAll->isEnabled());
        w.editor()->loadScreen(QStringLiteral("408-BIT"));
        PictureState plain;
        renderTextScreen(plain, QStringLiteral("8-BIT"), appleFontFamily());
        QVERIFY(!picture->state().isDhgr && picture->state().mainMemory == plain.mainMemory);

        // Switching to 80 columns converts the HGR screen picture.
        for (QCheckBox *box : w.editor()->findChildren<QCheckBox *>())
            if (box->text() == QLatin1String("80 Columns"))
                box->click();
        QVERIFY(picture->state().isDhgr);

        w.window.onSelectAll();
        w.window.onClear();
        QTRY_COMPARE(w.editor()->screenText(), QStringLiteral("80"));

        w.editor()->close();
        QCOMPARE(picture->state().auxMemory, PictureMemory{});
        QVERIFY(!selectAll->isEnabled());
    }

    void unsavedTextIsNeverLostUnasked_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs");  // below a temporary folder; empty: the folder itself, which cannot take it
        for (const char *action : {"quit", "close window", "close editor", "open text", "built-in", "new graphic"}) {
            QTest::addRow("%s, cancel", action) << action << int(QMessageBox::Cancel) << "";
            QTest::addRow("%s, discard", action) << action << int(QMessageBox::Discard) << "";
        }
        QTest::newRow("quit, save fails") << "quit" << int(QMessageBox::Save) << "";
        QTest::newRow("new graphic, saved") << "new graphic" << int(QMessageBox::Save) << "kept.txt";
    }

    void unsavedTextIsNeverLostUnasked()
    {
        QFETCH(QString, action);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QTemporaryDir dir;
        windowtest::Fixture w;
        w.window.show();
        w.window.onNewText();
        QTest::keyClicks(w.editor()->grid(), "KEEP ME");
        QTRY_VERIFY(w.editor()->isModified());
        const QString typed = w.editor()->screenText();

        QString asked;
        windowtest::answerNextMessageBox(QMessageBox::StandardButton(answer), &asked);
        if (answer == QMessageBox::Save)
            w.chooser->answers << dir.filePath(saveAs);
        if (action == "quit")
            w.window.quitApplication();
        else if (action == "close window")
            w.window.close();
        else if (action == "close editor")
            w.editor()->close();
        else if (action == "open text")
            w.chooser->answers << testsupport::sourceDir() + "/source/resources/textscreens/ProDOS.txt", w.files().onOpenText();
        else if (action == "built-in")
            w.files().openBuiltInTextScreen("textscreens/Welcome.txt");
        else
            w.window.onNewGraphic();
        QCOMPARE(asked, QStringLiteral("The text screen has unsaved changes."));

        // Cancel, or a Save that fails, keeps the typed screen with its mark;
        // Discard or a Save that works lets the command go on.
        const bool goesOn = answer == QMessageBox::Discard || (answer == QMessageBox::Save && !saveAs.isEmpty());
        QCOMPARE(w.editor() != nullptr, !goesOn || action == "open text" || action == "built-in");
        if (w.editor())
            QCOMPARE(w.editor()->screenText() == typed && w.editor()->isModified(), !goesOn);
        if (answer == QMessageBox::Save) {
            QCOMPARE(w.status().startsWith("Not saved: " + dir.filePath(saveAs) + " — "), !goesOn);
            QCOMPARE(w.files().recentTextScreens().isEmpty(), !goesOn);
            QCOMPARE(decodeTextScreen(testsupport::readFile(dir.filePath(saveAs))) == typed, goesOn);
        }
    }
};

MORVO_WINDOW_TEST_MAIN(TestTextFiles)
#include "test_textfiles.moc"
