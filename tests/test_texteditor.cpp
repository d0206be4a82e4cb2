// The text screen editor's widgets and window with real events: keys, the
// mouse, the clipboard, the cells' pixels, the palette, the change report
// and the title.
#include "testsupport.h"
#include "windowtestsupport.h"

#include "charpalettewidget.h"
#include "screentext.h"
#include "textgridwidget.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>

namespace {

QTestEventList drag(QPoint from, QPoint to)
{
    QTestEventList events;
    events.addMousePress(Qt::LeftButton, {}, from);
    events.addMouseMove(to);
    events.addMouseRelease(Qt::LeftButton, {}, to);
    return events;
}

} // namespace

class TestTextEditor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QSettings().clear(); }

    // The grid and the palette at both scales (other scales are ignored), and
    // a click on the palette.
    void sizesAndPalette()
    {
        TextGridWidget grid;
        grid.setColumnCount(80);
        grid.setScale(3);
        QCOMPARE(grid.size(), QSize(560, 384));
        grid.setScale(4);
        QCOMPARE(grid.size(), QSize(1120, 768));
        CharPaletteWidget palette;
        QCOMPARE(palette.size(), QSize(48, 408));
        palette.setScale(4);
        QCOMPARE(palette.size(), QSize(96, 816));
        QSignalSpy clicks(&palette, &CharPaletteWidget::characterClicked);
        QTest::mouseClick(&palette, Qt::LeftButton, {}, QPoint(50, 40 + 16 * 48));
        QCOMPARE(clicks.value(0).value(0).value<QChar>(), QChar(0xE001));
    }

    // Keys and the mouse on a shown grid whose cursor was put on (0, 2) by a
    // click; keys the grid does not take (Tab, Escape) travel on. What the
    // edits do is the model's; here the events must reach it, once reported.
    void input_data()
    {
        QTest::addColumn<QTestEventList>("events");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("changed");
        const auto keys = [](std::initializer_list<Qt::Key> keys, Qt::KeyboardModifiers mods = {}, QTestEventList list = {}) {
            for (Qt::Key key : keys)
                list.addKeyClick(key, mods);
            return list;
        };
        QTestEventList typing;
        typing.addKeyClicks(QStringLiteral("Hi"));
        QTestEventList selectAndDelete = keys({Qt::Key_Right, Qt::Key_Right}, Qt::ShiftModifier);
        selectAndDelete.addKeyClick(Qt::Key_Backspace);
        QTest::newRow("typing") << typing << "ABHiCD\nEF" << true;
        QTest::newRow("shift+arrows, backspace") << selectAndDelete << "AB\nEF" << true;
        QTest::newRow("down, end, delete") << keys({Qt::Key_Down, Qt::Key_End, Qt::Key_Delete}) << "ABCD\nEF" << false;
        QTest::newRow("tab and escape pass") << keys({Qt::Key_Tab, Qt::Key_Escape}) << "ABCD\nEF" << false;
        // From (0, 2) to (1, 1).
        QTest::newRow("drag, then delete") << keys({Qt::Key_Delete}, {}, drag(QPoint(29, 3), QPoint(17, 20))) << "ABF" << true;
    }

    void input()
    {
        QFETCH(QTestEventList, events);
        QFETCH(QString, after);
        QFETCH(bool, changed);
        TextGridWidget grid;
        grid.setScreenText(QStringLiteral("ABCD\nEF"));
        grid.show();
        QSignalSpy reports(&grid, &TextGridWidget::contentChanged);
        QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(2 * 14 + 3, 5));
        events.simulate(&grid);
        QCOMPARE(grid.screenText(), after);
        if (changed)
            QTRY_COMPARE(reports.count(), 1);
        QTest::qWait(80);
        QCOMPARE(reports.count(), changed ? 1 : 0);
    }

    // A key can give a character outside the Basic Multilingual Plane, two
    // UTF-16 units in one key event: it takes the last cell whole, and the
    // next key goes on the next row.
    void wideCharacterTypedAtTheRowEnd()
    {
        TextGridWidget grid;
        const QString row(39, QLatin1Char('A'));
        grid.setScreenText(row);
        grid.show();
        QTest::keyClick(&grid, Qt::Key_End);
        const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::sendKeyEvent(QTest::Click, &grid, Qt::Key_unknown, face, Qt::NoModifier);
        QTest::keyClicks(&grid, QStringLiteral("B"));
        QCOMPARE(grid.screenText(), row + face + "\nB");
    }

    void clipboard()
    {
        TextGridWidget grid;
        grid.setScreenText(QStringLiteral("ABCD\nEF"));
        grid.show();
        QGuiApplication::clipboard()->setText(QStringLiteral("xy\nz"));
        QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(15, 1));
        grid.paste();
        QCOMPARE(grid.screenText(), QStringLiteral("AxyBCD\nzEF"));
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ShiftModifier);
        grid.cut();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("z"));
        QCOMPARE(grid.screenText(), QStringLiteral("AxyBCD\nEF"));
    }

    // One cell each of normal, inverse, selected and cursor against the
    // font's own drawing of "A", at scale 2 in 40 columns: 2 x 2 pixels a dot.
    void cellPixels()
    {
        const QStringList a = testsupport::fontDrawings().value('A');
        QCOMPARE(a.size(), 8);
        TextGridWidget grid;
        grid.setScreenText(QStringLiteral("A") + QChar(0xF021) + QStringLiteral("A") + QChar(0xF021) + QStringLiteral("A"));
        grid.show();
        grid.activateWindow();
        grid.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&grid));
        drag(QPoint(29, 1), QPoint(57, 1)).simulate(&grid);  // columns 2 and 3 selected, the cursor on 4
        const QImage image = grid.grab().toImage();
        const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0), blue = qRgb(68, 68, 255);
        // The cursor: green at 160/255 over the cell.
        const QRgb greenOnWhite = qRgb(127, 255, 127), greenOnBlack = qRgb(32, 160, 32);
        const struct { int column; QRgb ink, paper; } cells[] = {
            {0, white, black}, {1, black, white}, {2, white, blue}, {3, black, blue}, {4, greenOnWhite, greenOnBlack}};
        for (const auto &cell : cells)
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 14; ++x) {
                    const QColor want(a.at(y / 2).at(x / 2) == QLatin1Char('#') ? cell.ink : cell.paper);
                    const QColor got = image.pixelColor(cell.column * 14 + x, y);
                    QVERIFY2(qAbs(got.red() - want.red()) + qAbs(got.green() - want.green()) + qAbs(got.blue() - want.blue()) <= 3,
                             qPrintable(QStringLiteral("column %1 (%2, %3): %4").arg(cell.column).arg(x).arg(y).arg(got.name())));
                }
        grid.clearFocus();
        QVERIFY(!grid.cursorVisible());
    }

    // Loading a screen sets its columns over the remembered ones without a
    // change mark; the columns shown last are remembered on closing. Typing
    // after a click on Inverse goes on in the grid, in inverse. An undo that
    // brings back 40 columns shows it in the box as well as the label.
    void window()
    {
        QSettings().setValue(QStringLiteral("texteditor/80col"), true);
        QPointer editor = new TextScreenEditor;
        editor->loadScreen(QStringLiteral("HELLO"));
        editor->setFilePath(QStringLiteral("/tmp/SCREEN.TXT"));
        QCOMPARE(editor->windowTitle(), QStringLiteral("morvo — SCREEN.TXT"));
        QCOMPARE(editor->findChild<QLabel *>()->text(), QStringLiteral("40 col"));
        editor->show();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        editor->grid()->setFocus();
        QCheckBox *inverse = nullptr, *columns = nullptr;
        for (QCheckBox *check : editor->findChildren<QCheckBox *>())
            (check->text() == QLatin1String("Inverse") ? inverse : columns) = check;
        QVERIFY(inverse && columns && columns->text() == QLatin1String("80 Columns"));
        QTest::mouseClick(inverse, Qt::LeftButton, {}, QPoint(4, inverse->height() / 2));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("X"));
        QCOMPARE(editor->screenText(), inverseOf(QLatin1Char('X')) + QStringLiteral("HELLO"));
        QTRY_COMPARE(editor->windowTitle(), QStringLiteral("morvo — SCREEN.TXT •"));
        columns->click();
        editor->grid()->undo();
        QTRY_COMPARE(editor->findChild<QLabel *>()->text(), QStringLiteral("40 col"));
        QVERIFY(!columns->isChecked());
        editor->setModified(false);
        QVERIFY(editor->close());
        QCOMPARE(QSettings().value(QStringLiteral("texteditor/80col")).toBool(), false);
    }
};

MORVO_WINDOW_TEST_MAIN(TestTextEditor)
#include "test_texteditor.moc"
