// The main window as a user meets it: every view option from the menus, their
// shortcuts and the single keys, settings across restarts and the swatches.
#include "menubuilder.h"
#include "picturedocument.h"
#include "palettes.h"
#include "pictureedit.h"
#include "settingsstore.h"
#include "startupsequence.h"
#include "swatchpanel.h"
#include "windowtestsupport.h"

#include <QDockWidget>

namespace {

// What the menus check, as action numbers.
QString checkedActions(const MainWindow &w)
{
    QStringList ids;
    for (int id = 0; id < kActionCount; ++id)
        if (w.action(id)->isChecked())
            ids << QString::number(id);
    return ids.join(QLatin1Char(','));
}

// Depth, palette, tint, Jex, engine variant, bit shifting, size, aspect, 560 mode, startup screen.
QString describeOptions(const ViewOptions &o)
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10")
        .arg(o.bmFinalDepth).arg(o.paletteType).arg(o.oneBitPalette).arg(o.jexEngine).arg(o.schemeType)
        .arg(o.bitShifting).arg(o.screenSize).arg(o.aspectCorrect).arg(o.is560Mode).arg(o.startScreen);
}

// Plays a script on the window: a number triggers that menu action, any
// other word is a key or a shortcut.
void play(MainWindow &w, const QString &script)
{
    for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool isAction = false;
        const int id = step.toInt(&isAction);
        isAction ? w.action(id)->trigger() : QTest::keySequence(&w, QKeySequence(step));
    }
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }

    // Unknown slots and out-of-range numbers still give working items, filed under no number.
    void oddMenuItemsStillWork()
    {
        QMenuBar bar;
        bool ran = false;
        MenuBindings bindings;
        bindings.operations.insert(QStringLiteral("onSave"), [&ran] { ran = true; });
        const BuiltMenus odd = MenuBuilder(&bar, &bar, bindings).build(
            R"([{"title": "X", "items": [{"text": "a", "slot": "nope", "actId": 25},
                                          {"text": "b", "slot": "onSave", "actId": -3}]}])");
        QVERIFY(odd.actionsById == BuiltMenus().actionsById);
        bar.actions().first()->menu()->actions().at(1)->trigger();
        QVERIFY(ran);
    }

    void viewOptionRules_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("options");  // as describeOptions() gives them
        QTest::addColumn<QString>("checked");
        QTest::addColumn<bool>("bitShiftingEnabled");
        // First start: Jex: Double, Jex's TV, normal size, no aspect, and nothing stored.
        QTest::newRow("first start") << "" << "8 2 0 1 1 1 1 0 0 0" << "1,4,7,9,14" << false;
        QTest::newRow("By the Book keeps a tint") << "21 3" << "1 2 1 0 1 1 1 0 0 0" << "3,4,7,9,21" << true;
        QTest::newRow("a Jex engine returns to colour") << "21 3 2" << "8 2 1 1 2 1 1 0 0 0" << "2,4,7,9,14" << false;
        QTest::newRow("L from the Book is always Double") << "2 3 L" << "8 2 0 1 1 1 1 0 0 0" << "1,4,7,9,14" << false;
        QTest::newRow("B flips only under the Book") << "B L B" << "8 2 0 0 1 0 1 0 0 0" << "3,7,9,14" << true;
        QTest::newRow("K returns to the last colour palette") << "Ctrl+6 21 K" << "8 5 1 1 1 1 1 0 0 0" << "1,4,7,9,17" << false;
        QTest::newRow("C returns to the tint last chosen") << "22 13 C" << "1 1 2 1 1 1 1 0 0 0" << "1,4,7,9,22" << false;
        QTest::newRow("sizes clamp at both ends") << "8 . . 7 , , ," << "8 2 0 1 1 1 0 0 0 0" << "1,4,6,9,14" << false;
        QTest::newRow("palette steps stop at both ends") << "Ctrl+8 ] ] [ Ctrl+1 [" << "8 0 0 1 1 1 1 0 0 0" << "1,4,7,9,12" << false;
        QTest::newRow("a monochrome step moves the colour slot") << "20 ]" << "1 3 0 1 1 1 1 0 0 0" << "1,4,7,9,20" << false;
        QTest::newRow("aspect, 560 mode and startup screen") << "11 5 24" << "8 2 0 1 1 1 1 2 1 1" << "1,4,5,7,11,14,24" << false;
        QTest::newRow("capitals act as the single keys") << "Shift+K Shift+L" << "1 2 0 0 1 1 1 0 0 0" << "3,4,7,9,20" << true;
    }

    // Each change is stored at once and comes back, menus, window size and
    // all, after a restart; a first start that changes nothing stores no options.
    void viewOptionRules()
    {
        QFETCH(QString, script);
        QFETCH(QString, options);
        QFETCH(QString, checked);
        QFETCH(bool, bitShiftingEnabled);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        play(w, script);
        QCOMPARE(describeOptions(w.pictureWidget()->state()), options);
        QCOMPARE(checkedActions(w), checked);
        QCOMPARE(w.action(kActBitShifting)->isEnabled(), bitShiftingEnabled);
        QCOMPARE(QSettings().childGroups().contains(QStringLiteral("engine")), !script.isEmpty());
        w.resize(710, 500);
        QTRY_VERIFY_WITH_TIMEOUT(QSettings().contains(SettingsStore::kMainWindowGeometry), 3000);

        MainWindow again;
        QCOMPARE(again.size(), w.size());
        QCOMPARE(describeOptions(again.pictureWidget()->state()), options);
        QCOMPARE(checkedActions(again), checked);
        // Once options are stored, DHGR colour cells start one column in.
        QCOMPARE(again.pictureWidget()->state().dhgrColumnOffset, qint16(script.isEmpty() ? 0 : 1));
    }

    void damagedSettingsNeverReachTheRenderer_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("options");
        // With the Jex flag and one damaged value stored, every other option takes its default, the start flag on.
        QTest::newRow("palette slot past the tables") << "paletteType" << QVariant(12) << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("negative palette slot") << "paletteType" << QVariant(-1) << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("variant past Sharp") << "schemeType" << QVariant(3) << "8 0 0 1 0 1 1 0 0 1";
        // Any depth above 1 is colour, so 5 keeps its meaning.
        QTest::newRow("depth 5") << "bmFinalDepth" << QVariant(5) << "5 0 0 1 0 1 1 0 0 1";
        QTest::newRow("depth not a number") << "bmFinalDepth" << QVariant("deep") << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("negative size") << "screenSize" << QVariant(-1) << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("negative aspect") << "aspectCorrect" << QVariant(-3) << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("tint past amber") << "oneBitPalette" << QVariant(7) << "8 0 0 1 0 1 1 0 0 1";
    }

    void damagedSettingsNeverReachTheRenderer()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QString, options);
        QSettings().setValue(QStringLiteral("engine/jexEngine"), true);
        QSettings().setValue("engine/" + key, stored);
        MainWindow w;
        const PictureState &state = w.pictureWidget()->state();
        QCOMPARE(describeOptions(state), options);
        QCOMPARE(w.swatchPanel()->grab().toImage().pixelColor(16, 16), QColor(paletteColor(state, state.paletteType, 0)));
        // The menus show what is drawn: one item of each choice is checked.
        QCOMPARE(checkedActions(w), QStringLiteral("0,4,7,9,12,24"));
    }

    // Convert and New Graphic from the window are steps of the picture's
    // history, marked in the title; New Graphic asks before it drops the
    // change, and neither is a view option to store.
    void pictureActions()
    {
        MainWindow w;
        PictureState &s = w.document()->state();
        s.isDhgr = false;
        s.mainMemory[0] = 0x01;
        const PictureMemory hgr = s.mainMemory;
        w.action(kActConvert)->trigger();
        QVERIFY(s.isDhgr && s.auxMemory != PictureMemory{});
        QCOMPARE(w.windowTitle(), QStringLiteral("morvo •"));
        QCOMPARE(w.taggedAction("undo")->text(), QStringLiteral("Undo Convert to DHGR"));
        QString asked;
        windowtest::answerNextMessageBox(QMessageBox::Cancel, &asked);
        w.onNewGraphic();
        QCOMPARE(asked, QStringLiteral("Save changes to the picture?"));
        QVERIFY(s.auxMemory != PictureMemory{});
        windowtest::answerNextMessageBox(QMessageBox::Discard, &asked);
        w.onNewGraphic();
        QCOMPARE(s.auxMemory, PictureMemory{});
        QCOMPARE(w.taggedAction("undo")->text(), QStringLiteral("Undo New Graphic"));
        w.onUndo();
        w.onUndo();
        QVERIFY(!s.isDhgr);
        QCOMPARE(s.mainMemory, hgr);
        QCOMPARE(w.windowTitle(), QStringLiteral("morvo"));
        QVERIFY(!w.taggedAction("undo")->isEnabled());
        QCOMPARE(w.taggedAction("redo")->text(), QStringLiteral("Redo Convert to DHGR"));
        QVERIFY(!QSettings().childGroups().contains(QStringLiteral("engine")));
    }

    void firstKeyOnlyEndsTheBootScreens()
    {
        MainWindow w;
        w.toggleStartScreen();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // An arrow, which the scroll area would take for itself, and a single-key shortcut.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_K}) {
            w.runStartup();
            QVERIFY(w.startupSequence()->isRunning());
            QTest::keyClick(QApplication::focusWidget(), key);
            QVERIFY(!w.startupSequence()->isRunning());
        }
        QCOMPARE(w.pictureWidget()->state().bmFinalDepth, quint16(8));
        QTest::keyClick(&w, Qt::Key_K);
        QCOMPARE(w.pictureWidget()->state().bmFinalDepth, quint16(1));
    }

    // Clicks on the swatches, docked (one column of 24-pixel squares 26 apart
    // from (4, 4)) and floating (eight columns).
    void swatches_data()
    {
        QTest::addColumn<bool>("floating");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("swatch");
        QTest::newRow("docked, last pixel of the first") << false << QPoint(27, 27) << 0;
        QTest::newRow("docked, the gap") << false << QPoint(15, 28) << -1;
        QTest::newRow("floating, second row") << true << QPoint(4 + 6 * 26, 30) << 14;
    }

    void swatches()
    {
        QFETCH(bool, floating);
        QFETCH(QPoint, point);
        QFETCH(int, swatch);
        MainWindow w;
        w.show();
        SwatchPanel *panel = w.swatchPanel();
        auto *dock = w.findChild<QDockWidget *>();
        dock->setFloating(floating);
        QCOMPARE(panel->size(), floating ? QSize(216, 60) : QSize(34, 424));
        QTest::mouseClick(panel, Qt::LeftButton, {}, point);
        // The pencil starts white; the highlight is drawn just outside the chosen square.
        const int colour = w.document()->pencilColor();
        QCOMPARE(colour, swatch < 0 ? 15 : swatch);
        QCOMPARE(w.pictureWidget()->pencilColor(), colour);
        const QRect square = swatchRect(colour, floating ? 8 : 1);
        QCOMPARE(panel->grab().toImage().pixelColor(square.topLeft() - QPoint(1, 1)), QColor(Qt::white));
        dock->setFloating(false);
        QCOMPARE(panel->size(), QSize(34, 424));
    }
};

MORVO_WINDOW_TEST_MAIN(TestShell)
#include "test_shell.moc"
