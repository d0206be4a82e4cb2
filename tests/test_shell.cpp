// The main window as a user meets it: its menus, every view option from the
// menus and the single keys, settings across restarts, the swatches and the
// About box.
#include "menubuilder.h"
#include "palettes.h"
#include "pictureedit.h"
#include "settingsstore.h"
#include "startupsequence.h"
#include "swatchpanel.h"
#include "windowtestsupport.h"

#include <QDockWidget>

namespace {

// The menu bar as text: one line per menu, items joined by " | ", a
// shortcut in brackets, "*" for checkable, "o" for a radio member, "-" a
// separator, ">" a submenu.
QString describeMenus(QMenuBar *bar)
{
    QStringList lines;
    for (QAction *menuAction : bar->actions()) {
        QStringList items;
        for (QAction *a : menuAction->menu()->actions()) {
            QString item = a->isSeparator() ? QStringLiteral("-") : a->menu() ? QStringLiteral(">") + a->text() : a->text();
            if (!a->shortcut().isEmpty())
                item += QLatin1Char('[') + a->shortcut().toString() + QLatin1Char(']');
            if (a->isCheckable())
                item += a->actionGroup() ? QStringLiteral(" o") : QStringLiteral("*");
            items << item;
        }
        lines << menuAction->text() + QStringLiteral(": ") + items.join(QStringLiteral(" | "));
    }
    return lines.join(QLatin1Char('\n'));
}

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

QString storedOptions()
{
    ViewOptions o;
    return SettingsStore::readViewOptions(o) ? describeOptions(o) : QString();
}

// Plays a script on the window: a number triggers that menu action, any
// other word is a single key.
void play(MainWindow &w, const QString &script)
{
    for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool isAction = false;
        const int id = step.toInt(&isAction);
        if (isAction)
            w.action(id)->trigger();
        else
            QTest::keySequence(&w, QKeySequence(step));
    }
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { windowtest::clearSettings(); }

    void menusAreBuiltFromTheDefinition()
    {
        MainWindow w;
        QCOMPARE(describeMenus(w.menuBar()), QStringLiteral(
            "&File: New Text[Ctrl+N] | Open Text...[Ctrl+O] | >Recent Text | - | New Graphic[Ctrl+Shift+N]"
            " | Open Graphic...[Ctrl+Shift+O] | >Recent Graphic | - | &Save[Ctrl+S] | Save As...[Ctrl+Shift+S] | - | &Quit[%1]\n"
            "&Edit: Undo[Ctrl+Z] | - | Cut[Ctrl+X] | Copy[Ctrl+C] | Paste[Ctrl+V] | Clear | Select All[Ctrl+A]"
            " | - | Show Startup Screen[Ctrl+P]* | Convert to DHGR | - | Shift Left[Ctrl+Left] | Shift Right[Ctrl+Right]\n"
            "E&ngine: Jex: Venderoft o | Jex: Double o | Jex: Sharp o | \u201cBy the Book\u201d o | -"
            " | \u201cBy the Book\u201d uses Bit Shifting* | - | Half Size o | Normal Size o | Double Size o | -"
            " | No Aspect Correction (1.0) o | Standard Aspect (0.9) o | DV Aspect (0.84) o | - | 560 Mode (For B&W Pencil)*\n"
            "&Palette: Venderoft[Ctrl+1] o | DeBabelizer[Ctrl+2] o | Jex's TV[Ctrl+3] o | Quarne[Ctrl+4] o | Pim[Ctrl+5] o"
            " | Canon DV[Ctrl+6] o | IREZ CapSure[Ctrl+7] o | IIGS[Ctrl+8] o | - | Black and White o | Black and Green o"
            " | Black and Amber o\n&Help: About morvo... | About Qt...")
                                                         .arg(QKeySequence(QKeySequence::Quit).toString()));

        // Until a text screen is shown the Edit actions for it are disabled;
        // Recent Graphic is disabled while its list is empty.
        const QList<QAction *> edit = w.menuBar()->actions().at(1)->menu()->actions();
        for (int i : {0, 2, 3, 4, 5, 6})
            QVERIFY2(!edit.at(i)->isEnabled(), qPrintable(edit.at(i)->text()));
        QVERIFY(edit.at(8)->isEnabled());
        QVERIFY(!w.menuBar()->actions().first()->menu()->actions().at(6)->isEnabled());
    }

    // A definition that does not parse builds nothing; unknown slots and
    // out-of-range numbers still give working items.
    void definitionThatDoesNotParseBuildsNothing()
    {
        QMenuBar bar;
        bool ran = false;
        MenuBindings bindings;
        bindings.operations.insert(QStringLiteral("onSave"), [&ran] { ran = true; });
        const BuiltMenus built = MenuBuilder(&bar, &bar, bindings).build("[{\"title\": \"&File\", \"items\": [");
        QVERIFY(bar.actions().isEmpty() && built.actionsById == BuiltMenus().actionsById);
        QVERIFY(!built.recentGraphicMenu && !built.recentTextMenu && built.taggedActions.isEmpty());
        const BuiltMenus odd = MenuBuilder(&bar, &bar, bindings).build(
            R"([{"title": "X", "items": [{"text": "a", "slot": "nope", "actId": 25},
                                          {"text": "b", "slot": "onSave", "actId": -3}]}])");
        QCOMPARE(bar.actions().size(), 1);
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
        QTest::newRow("K returns to the last colour palette") << "17 21 K" << "8 5 1 1 1 1 1 0 0 0" << "1,4,7,9,17" << false;
        QTest::newRow("C returns to the tint last chosen") << "22 13 C" << "1 1 2 1 1 1 1 0 0 0" << "1,4,7,9,22" << false;
        QTest::newRow("sizes clamp at both ends") << "8 . . 7 , , ," << "8 2 0 1 1 1 0 0 0 0" << "1,4,6,9,14" << false;
        QTest::newRow("palette steps stop at both ends") << "19 ] ] [ 12 [" << "8 0 0 1 1 1 1 0 0 0" << "1,4,7,9,12" << false;
        QTest::newRow("a monochrome step moves the colour slot") << "20 ]" << "1 3 0 1 1 1 1 0 0 0" << "1,4,7,9,20" << false;
        QTest::newRow("aspect, 560 mode and startup screen") << "11 5 24" << "8 2 0 1 1 1 1 2 1 1" << "1,4,5,7,11,14,24" << false;
    }

    // Each change is stored at once and comes back, menus and all, after a
    // restart; a first start that changes nothing stores nothing.
    void viewOptionRules()
    {
        QFETCH(QString, script);
        QFETCH(QString, options);
        QFETCH(QString, checked);
        QFETCH(bool, bitShiftingEnabled);
        {
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            play(w, script);
            QCOMPARE(describeOptions(w.pictureWidget()->state()), options);
            QCOMPARE(checkedActions(w), checked);
            QCOMPARE(w.action(kActBitShifting)->isEnabled(), bitShiftingEnabled);
            QCOMPARE(storedOptions(), script.isEmpty() ? QString() : options);
        }
        MainWindow again;
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
        // With only the Jex flag stored, every other option takes its default, the start flag on.
        QTest::newRow("defaults") << "" << QVariant() << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("palette slot past the tables") << "paletteType" << QVariant(12) << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("negative palette slot") << "paletteType" << QVariant(-1) << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("engine variant past the table") << "schemeType" << QVariant(5) << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("any depth above one is colour") << "bmFinalDepth" << QVariant(5) << "5 0 0 1 0 1 1 0 0 1";
        QTest::newRow("depth not a number") << "bmFinalDepth" << QVariant("deep") << "8 0 0 1 0 1 1 0 0 1";
        QTest::newRow("negative size is kept as stored") << "screenSize" << QVariant(-1) << "8 0 0 1 0 1 65535 0 0 1";
    }

    void damagedSettingsNeverReachTheRenderer()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QString, options);
        {
            QSettings s;
            s.beginGroup(QStringLiteral("engine"));
            s.setValue(QStringLiteral("jexEngine"), true);
            if (!key.isEmpty())
                s.setValue(key, stored);
        }
        MainWindow w;
        const PictureState &state = w.pictureWidget()->state();
        QCOMPARE(describeOptions(state), options);
        QCOMPARE(w.swatchPanel()->grab().toImage().pixelColor(16, 16), QColor(paletteColor(state, state.paletteType, 0)));
    }

    void geometryIsWrittenAfterTheBurst()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(500);
        QSettings().remove(SettingsStore::kMainWindowGeometry);
        for (int i = 0; i < 10; ++i)
            w.resize(620 + 10 * i, 500);
        QCoreApplication::processEvents();
        QVERIFY(!QSettings().contains(SettingsStore::kMainWindowGeometry));
        QTRY_VERIFY_WITH_TIMEOUT(QSettings().contains(SettingsStore::kMainWindowGeometry), 3000);
        MainWindow restored;
        QCOMPARE(restored.size(), w.size());
    }

    // Convert, the shifts and New Graphic from the window; none of them is a view option to store.
    void pictureActions()
    {
        MainWindow w;
        PictureState &s = w.pictureWidget()->state();
        s.isDhgr = false;
        s.mainMemory[0] = 0x01;
        w.action(kActConvert)->trigger();
        QVERIFY(s.isDhgr);
        const PictureMemory converted = s.auxMemory;
        w.onShiftRight();
        QVERIFY(s.auxMemory != converted);
        w.onShiftLeft();
        QCOMPARE(s.auxMemory, converted);
        w.onNewGraphic();
        QCOMPARE(s.auxMemory, PictureMemory{});
        QCOMPARE(w.windowTitle(), QStringLiteral("morvo"));
        QVERIFY(!QSettings().childGroups().contains(QStringLiteral("engine")));
    }

    void firstKeyOnlyEndsTheBootScreens()
    {
        MainWindow w;
        w.toggleStartScreen();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.runStartup();
        QVERIFY(w.startupSequence()->isRunning());
        QVERIFY(w.pictureWidget()->overlayVisible());
        QTest::keyClick(&w, Qt::Key_K);
        QVERIFY(!w.startupSequence()->isRunning());
        QCOMPARE(w.pictureWidget()->state().bmFinalDepth, quint16(8));
        QVERIFY(w.pictureWidget()->state().startScreen);
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
        QTest::newRow("docked, margin") << false << QPoint(3, 10) << -1;
        QTest::newRow("docked, last") << false << QPoint(20, 4 + 15 * 26 + 23) << 15;
        QTest::newRow("floating, gap") << true << QPoint(29, 15) << -1;
        QTest::newRow("floating, second row") << true << QPoint(4 + 7 * 26, 30) << 15;
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
        QCOMPARE(dock->windowTitle(), QStringLiteral("Colors"));
        dock->setFloating(floating);
        QCOMPARE(panel->size(), floating ? QSize(216, 60) : QSize(34, 424));
        QSignalSpy chosen(panel, &SwatchPanel::colorSelected);
        QTest::mouseClick(panel, Qt::LeftButton, {}, point);
        QCOMPARE(chosen.count(), swatch < 0 ? 0 : 1);
        // The pencil starts white; the highlight is drawn just outside the chosen square.
        QCOMPARE(pencilColor, swatch < 0 ? 15 : swatch);
        const QRect square = swatchRect(pencilColor, floating ? 8 : 1);
        QCOMPARE(panel->grab().toImage().pixelColor(square.topLeft() - QPoint(1, 1)), QColor(Qt::white));
        dock->setFloating(false);
        QCOMPARE(panel->size(), QSize(34, 424));
        pencilColor = 15;
    }

    void aboutBoxShowsTheYear()
    {
        MainWindow w;
        QString text;
        windowtest::answerNextMessageBox(QMessageBox::Ok, &text);
        w.onAbout();
        QVERIFY(text.contains(QStringLiteral("morvo")));
        QVERIFY(text.contains(QString::number(QDate::currentDate().year())));
        QVERIFY(text.contains(QStringLiteral("Apple II DHGR / HGR picture viewer and editor")));
    }
};

MORVO_WINDOW_TEST_MAIN(TestShell)
#include "test_shell.moc"
