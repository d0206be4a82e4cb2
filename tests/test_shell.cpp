// The main window as a user meets it: its menus, every view option from the
// menus and the single keys, settings across restarts, the swatches and the
// About box.
#include "mainwindow.h"
#include "menubuilder.h"
#include "morvowidget.h"
#include "palettes.h"
#include "pictureedit.h"
#include "settingsstore.h"
#include "startupsequence.h"
#include "swatchpanel.h"
#include "windowtestsupport.h"

#include <QActionGroup>
#include <QDockWidget>
#include <QMenuBar>
#include <QSignalSpy>

namespace {

// The menu bar as text: one line per menu, items joined by " | ", a
// shortcut in brackets, "*" for checkable, "o" for a radio member (with its
// group's first member's text after "@"), "-" a separator, ">" a submenu.
QString describeMenus(QMenuBar *bar)
{
    QStringList lines;
    for (QAction *menuAction : bar->actions()) {
        QStringList items;
        for (QAction *a : menuAction->menu()->actions()) {
            if (a->isSeparator()) {
                items << QStringLiteral("-");
                continue;
            }
            QString item = a->menu() ? QStringLiteral(">") + a->text() : a->text();
            if (!a->shortcut().isEmpty())
                item += QLatin1Char('[') + a->shortcut().toString() + QLatin1Char(']');
            if (a->actionGroup())
                item += QStringLiteral(" o@") + a->actionGroup()->actions().first()->text();
            else if (a->isCheckable())
                item += QLatin1Char('*');
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
        if (w.action(id) && w.action(id)->isChecked())
            ids << QString::number(id);
    return ids.join(QLatin1Char(','));
}

QString describeOptions(const ViewOptions &o)
{
    return QStringLiteral("depth %1 palette %2 tint %3 jex %4 scheme %5 shift %6 size %7 aspect %8 560 %9 start %10")
        .arg(o.bmFinalDepth).arg(o.paletteType).arg(o.oneBitPalette).arg(o.jexEngine).arg(o.schemeType)
        .arg(o.bitShifting).arg(o.screenSize).arg(o.aspectCorrect).arg(o.is560Mode).arg(o.startScreen);
}

QString storedOptions()
{
    ViewOptions o;
    return SettingsStore::readViewOptions(o) ? describeOptions(o) : QString();
}

const QMap<QString, Qt::Key> kKeys = {
    {"K", Qt::Key_K}, {"C", Qt::Key_C}, {"L", Qt::Key_L}, {"B", Qt::Key_B},
    {",", Qt::Key_Comma}, {".", Qt::Key_Period}, {"[", Qt::Key_BracketLeft}, {"]", Qt::Key_BracketRight},
};

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
            QTest::keyClick(&w, kKeys.value(step));
    }
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { windowtest::clearSettings(); }
    void menusAreBuiltFromTheDefinition();
    void definitionThatDoesNotParseBuildsNothing();
    void viewOptionRules_data();
    void viewOptionRules();
    void firstStartWritesNothingUntilAChange();
    void optionsComeBackAfterARestart();
    void damagedSettingsNeverReachTheRenderer_data();
    void damagedSettingsNeverReachTheRenderer();
    void geometryIsWrittenAfterTheBurst();
    void pictureActions();
    void firstKeyOnlyEndsTheBootScreens();
    void swatchHitTest_data();
    void swatchHitTest();
    void swatchClickSetsThePencilAndDockFloats();
    void aboutBoxShowsTheYear();
};

void TestShell::menusAreBuiltFromTheDefinition()
{
    MainWindow w;
    const QString expected = QStringLiteral(
        "&File: New Text[Ctrl+N] | Open Text...[Ctrl+O] | >Recent Text | - | New Graphic[Ctrl+Shift+N]"
        " | Open Graphic...[Ctrl+Shift+O] | >Recent Graphic | - | &Save[Ctrl+S] | Save As...[Ctrl+Shift+S]"
        " | - | &Quit[%1]\n"
        "&Edit: Undo[Ctrl+Z] | - | Cut[Ctrl+X] | Copy[Ctrl+C] | Paste[Ctrl+V] | Clear | Select All[Ctrl+A]"
        " | - | Show Startup Screen[Ctrl+P]* | Convert to DHGR | - | Shift Left[Ctrl+Left] | Shift Right[Ctrl+Right]\n"
        "E&ngine: Jex: Venderoft o@Jex: Venderoft | Jex: Double o@Jex: Venderoft | Jex: Sharp o@Jex: Venderoft"
        " | \u201cBy the Book\u201d o@Jex: Venderoft | - | \u201cBy the Book\u201d uses Bit Shifting* | -"
        " | Half Size o@Half Size | Normal Size o@Half Size | Double Size o@Half Size | -"
        " | No Aspect Correction (1.0) o@No Aspect Correction (1.0) | Standard Aspect (0.9) o@No Aspect Correction (1.0)"
        " | DV Aspect (0.84) o@No Aspect Correction (1.0) | - | 560 Mode (For B&W Pencil)*\n"
        "&Palette: Venderoft[Ctrl+1] o@Venderoft | DeBabelizer[Ctrl+2] o@Venderoft | Jex's TV[Ctrl+3] o@Venderoft"
        " | Quarne[Ctrl+4] o@Venderoft | Pim[Ctrl+5] o@Venderoft | Canon DV[Ctrl+6] o@Venderoft"
        " | IREZ CapSure[Ctrl+7] o@Venderoft | IIGS[Ctrl+8] o@Venderoft | - | Black and White o@Venderoft"
        " | Black and Green o@Venderoft | Black and Amber o@Venderoft\n"
        "&Help: About morvo... | About Qt...")
                                 .arg(QKeySequence(QKeySequence::Quit).toString());
    QCOMPARE(describeMenus(w.menuBar()), expected);

    // Each numbered action is the one its number stands for, and the
    // About items carry their roles.
    const QStringList byId = {"Jex: Venderoft", "Jex: Double", "Jex: Sharp", "\u201cBy the Book\u201d",
                              "\u201cBy the Book\u201d uses Bit Shifting", "560 Mode (For B&W Pencil)",
                              "Half Size", "Normal Size", "Double Size", "No Aspect Correction (1.0)",
                              "Standard Aspect (0.9)", "DV Aspect (0.84)", "Venderoft", "DeBabelizer",
                              "Jex's TV", "Quarne", "Pim", "Canon DV", "IREZ CapSure", "IIGS",
                              "Black and White", "Black and Green", "Black and Amber", "Convert to DHGR",
                              "Show Startup Screen"};
    for (int id = 0; id < kActionCount; ++id)
        QCOMPARE(w.action(id)->text(), byId.at(id));
    const QList<QAction *> help = w.menuBar()->actions().last()->menu()->actions();
    QCOMPARE(help.at(0)->menuRole(), QAction::AboutRole);
    QCOMPARE(help.at(1)->menuRole(), QAction::AboutQtRole);

    // Until a text screen is shown the Edit actions for it are disabled;
    // Recent Graphic is disabled while its list is empty.
    const QList<QAction *> edit = w.menuBar()->actions().at(1)->menu()->actions();
    for (int i : {0, 2, 3, 4, 5, 6})
        QVERIFY2(!edit.at(i)->isEnabled(), qPrintable(edit.at(i)->text()));
    QVERIFY(edit.at(8)->isEnabled());
    QVERIFY(!w.menuBar()->actions().first()->menu()->actions().at(6)->isEnabled());
}

void TestShell::definitionThatDoesNotParseBuildsNothing()
{
    QMenuBar bar;
    bool ran = false;
    MenuBindings bindings;
    bindings.operations.insert(QStringLiteral("onSave"), [&ran] { ran = true; });
    const BuiltMenus built = MenuBuilder(&bar, &bar, bindings).build("[{\"title\": \"&File\", \"items\": [");
    QVERIFY(bar.actions().isEmpty());
    QVERIFY(!built.recentGraphicMenu && !built.recentTextMenu && built.taggedActions.isEmpty());
    for (QAction *a : built.actionsById)
        QVERIFY(!a);

    // Unknown slots and out-of-range numbers still give working items.
    const BuiltMenus odd = MenuBuilder(&bar, &bar, bindings).build(
        R"([{"title": "X", "items": [{"text": "a", "slot": "nope", "actId": 25},
                                      {"text": "b", "slot": "onSave", "actId": -3}]}])");
    QCOMPARE(bar.actions().size(), 1);
    for (QAction *a : odd.actionsById)
        QVERIFY(!a);
    bar.actions().first()->menu()->actions().at(1)->trigger();
    QVERIFY(ran);
}

void TestShell::viewOptionRules_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("bitShiftingEnabled");

    // First-start options: Jex: Double, Jex's TV, normal size, no aspect.
    QTest::newRow("first start") << "" << "depth 8 palette 2 tint 0 jex 1 scheme 1 shift 1 size 1 aspect 0 560 0 start 0"
                                 << "1,4,7,9,14" << false;
    QTest::newRow("By the Book keeps a tint")
        << "21 3" << "depth 1 palette 2 tint 1 jex 0 scheme 1 shift 1 size 1 aspect 0 560 0 start 0" << "3,4,7,9,21" << true;
    QTest::newRow("a Jex engine returns to colour")
        << "21 3 2" << "depth 8 palette 2 tint 1 jex 1 scheme 2 shift 1 size 1 aspect 0 560 0 start 0" << "2,4,7,9,14" << false;
    QTest::newRow("L from the Book is always Double")
        << "2 3 L" << "depth 8 palette 2 tint 0 jex 1 scheme 1 shift 1 size 1 aspect 0 560 0 start 0" << "1,4,7,9,14" << false;
    QTest::newRow("B flips only under the Book")
        << "B L B" << "depth 8 palette 2 tint 0 jex 0 scheme 1 shift 0 size 1 aspect 0 560 0 start 0" << "3,7,9,14" << true;
    QTest::newRow("K returns to the colour palette last chosen")
        << "17 21 K" << "depth 8 palette 5 tint 1 jex 1 scheme 1 shift 1 size 1 aspect 0 560 0 start 0" << "1,4,7,9,17" << false;
    QTest::newRow("C returns to the tint last chosen")
        << "22 13 C" << "depth 1 palette 1 tint 2 jex 1 scheme 1 shift 1 size 1 aspect 0 560 0 start 0" << "1,4,7,9,22" << false;
    QTest::newRow("sizes clamp at both ends")
        << "8 . . 7 , , ," << "depth 8 palette 2 tint 0 jex 1 scheme 1 shift 1 size 0 aspect 0 560 0 start 0" << "1,4,6,9,14" << false;
    QTest::newRow("palette steps stop at both ends")
        << "19 ] ] [ 12 [" << "depth 8 palette 0 tint 0 jex 1 scheme 1 shift 1 size 1 aspect 0 560 0 start 0" << "1,4,7,9,12" << false;
    QTest::newRow("a step in monochrome moves only the colour slot")
        << "20 ]" << "depth 1 palette 3 tint 0 jex 1 scheme 1 shift 1 size 1 aspect 0 560 0 start 0" << "1,4,7,9,20" << false;
    QTest::newRow("aspect, 560 mode and startup screen")
        << "11 5 24" << "depth 8 palette 2 tint 0 jex 1 scheme 1 shift 1 size 1 aspect 2 560 1 start 1" << "1,4,5,7,11,14,24" << false;
}

void TestShell::viewOptionRules()
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
    if (!script.isEmpty())
        QCOMPARE(storedOptions(), options);
}

void TestShell::firstStartWritesNothingUntilAChange()
{
    {
        MainWindow w;
        QCOMPARE(w.pictureWidget()->state().dhgrColumnOffset, qint16(0));
        QTest::keyClick(&w, Qt::Key_BracketRight);  // not shown: the key never reaches it
    }
    QVERIFY(!QSettings().childGroups().contains(QStringLiteral("engine")));
    MainWindow w;
    w.stepPalette(+1);  // at the end nothing changes, so nothing is stored
    w.stepPalette(+1);
    QVERIFY(QSettings().childGroups().contains(QStringLiteral("engine")));
}

void TestShell::optionsComeBackAfterARestart()
{
    {
        MainWindow w;
        play(w, "17 22 2 8 10 5 24 3 4");
    }
    MainWindow again;
    const PictureState &s = again.pictureWidget()->state();
    QCOMPARE(describeOptions(s),
             QStringLiteral("depth 8 palette 5 tint 2 jex 0 scheme 2 shift 0 size 2 aspect 1 560 1 start 1"));
    QCOMPARE(checkedActions(again), QStringLiteral("3,5,8,10,17,24"));
    QCOMPARE(s.dhgrColumnOffset, qint16(1));
    // Both palettes are remembered across the restart.
    again.toggleColorMode();
    QVERIFY(s.bmFinalDepth == 1 && s.oneBitPalette == 2);
    again.toggleColorMode();
    QVERIFY(s.bmFinalDepth == 8 && s.paletteType == 5);
}

void TestShell::damagedSettingsNeverReachTheRenderer_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("palette slot past the tables") << "paletteType" << QVariant(12) << 0;
    QTest::newRow("negative palette slot") << "paletteType" << QVariant(-1) << 0;
    QTest::newRow("palette slot not a number") << "paletteType" << QVariant("Quarne") << 0;
    QTest::newRow("engine variant past the table") << "schemeType" << QVariant(5) << 0;
    QTest::newRow("engine variant not a number") << "schemeType" << QVariant("x") << 0;
    QTest::newRow("any depth above one is colour") << "bmFinalDepth" << QVariant(5) << 5;
    QTest::newRow("depth not a number") << "bmFinalDepth" << QVariant("deep") << 8;
    QTest::newRow("negative size is kept as stored") << "screenSize" << QVariant(-1) << 65535;
    QTest::newRow("a missing start flag is on") << "" << QVariant() << 0;
}

void TestShell::damagedSettingsNeverReachTheRenderer()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    {
        QSettings s;
        s.beginGroup(QStringLiteral("engine"));
        s.setValue(QStringLiteral("jexEngine"), true);
        if (!key.isEmpty())
            s.setValue(key, stored);
    }
    MainWindow w;
    const PictureState &state = w.pictureWidget()->state();
    const QMap<QString, int> read = {{"paletteType", state.paletteType}, {"schemeType", state.schemeType},
                                     {"bmFinalDepth", state.bmFinalDepth}, {"screenSize", state.screenSize},
                                     {"", state.startScreen ? 0 : 1}};
    QCOMPARE(read.value(key), expected);
    QVERIFY(state.paletteType < kPaletteSlots && state.schemeType < 3);
    QCOMPARE(w.swatchPanel()->grab().toImage().pixelColor(16, 16), QColor(paletteColor(state, state.paletteType, 0)));
}

void TestShell::geometryIsWrittenAfterTheBurst()
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

void TestShell::pictureActions()
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

void TestShell::firstKeyOnlyEndsTheBootScreens()
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

void TestShell::swatchHitTest_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("swatch");
    QTest::newRow("docked, first corner") << 1 << QPoint(4, 4) << 0;
    QTest::newRow("docked, last pixel of the first") << 1 << QPoint(27, 27) << 0;
    QTest::newRow("docked, the gap") << 1 << QPoint(15, 28) << -1;
    QTest::newRow("docked, second") << 1 << QPoint(15, 30) << 1;
    QTest::newRow("docked, margin") << 1 << QPoint(3, 10) << -1;
    QTest::newRow("docked, last") << 1 << QPoint(20, 4 + 15 * 26 + 23) << 15;
    QTest::newRow("floating, second") << 8 << QPoint(30, 15) << 1;
    QTest::newRow("floating, gap") << 8 << QPoint(29, 15) << -1;
    QTest::newRow("floating, second row") << 8 << QPoint(4 + 7 * 26, 30) << 15;
}

void TestShell::swatchHitTest()
{
    QFETCH(int, columns);
    QFETCH(QPoint, point);
    QFETCH(int, swatch);
    QCOMPARE(swatchAt(point, columns), swatch);
}

void TestShell::swatchClickSetsThePencilAndDockFloats()
{
    MainWindow w;
    w.show();
    SwatchPanel *panel = w.swatchPanel();
    QCOMPARE(panel->size(), QSize(34, 424));
    QSignalSpy chosen(panel, &SwatchPanel::colorSelected);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(15, 28));
    QCOMPARE(chosen.count(), 0);
    QTest::mouseClick(panel, Qt::LeftButton, {}, swatchRect(9, 1).center());
    QCOMPARE(pencilColor, 9);
    QCOMPARE(chosen.count(), 1);
    // The highlight is drawn just outside the chosen square.
    QCOMPARE(panel->grab().toImage().pixelColor(swatchRect(9, 1).topLeft() - QPoint(1, 1)), QColor(Qt::white));

    auto *dock = w.findChild<QDockWidget *>();
    QCOMPARE(dock->windowTitle(), QStringLiteral("Colors"));
    dock->setFloating(true);
    QCOMPARE(panel->size(), QSize(216, 60));
    dock->setFloating(false);
    QCOMPARE(panel->size(), QSize(34, 424));
    pencilColor = 15;
}

void TestShell::aboutBoxShowsTheYear()
{
    MainWindow w;
    QString text;
    windowtest::answerNextMessageBox(QMessageBox::Ok, &text);
    w.onAbout();
    QVERIFY(text.contains(QStringLiteral("morvo")));
    QVERIFY(text.contains(QString::number(QDate::currentDate().year())));
    QVERIFY(text.contains(QStringLiteral("Apple II DHGR / HGR picture viewer and editor")));
}

MORVO_WINDOW_TEST_MAIN(TestShell)
#include "test_shell.moc"
