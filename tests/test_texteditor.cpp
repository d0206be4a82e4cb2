// The text screen editor's widgets and window with real events: keys, the
// mouse, the clipboard, the cells' pixels, the palette, the change report,
// the title and the unsaved-changes prompt.
#include "testsupport.h"
#include "windowtestsupport.h"

#include "charpalettewidget.h"
#include "picturestate.h"
#include "resourcepath.h"
#include "textgridwidget.h"
#include "textscreen.h"
#include "textscreeneditor.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QtTest>

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
    void initTestCase()
    {
        windowtest::clearSettings();
        QVERIFY(!appleFontFamily().isEmpty());
    }

    void geometry()
    {
        TextGridWidget grid;
        grid.setColumnCount(80);
        grid.setScale(3);
        grid.setColumnCount(60);
        QCOMPARE(QRect(0, 0, grid.cellWidth(), grid.cellHeight()), QRect(0, 0, 7, 16));
        QCOMPARE(grid.size(), QSize(560, 384));
        grid.setScale(4);
        QCOMPARE(QRect(0, 0, grid.cellWidth(), grid.cellHeight()), QRect(0, 0, 14, 32));
        QCOMPARE(grid.size(), QSize(1120, 768));
    }

    // Keys and the mouse on a shown grid whose cursor was put on (0, 2) by a
    // click; keys the grid does not take (Tab, Escape) travel on.
    void input_data()
    {
        QTest::addColumn<QTestEventList>("events");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("changed");
        const auto events = [](std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys,
                                 QTestEventList list = {}) {
            for (const auto &[key, mods] : keys)
                list.addKeyClick(key, mods);
            return list;
        };
        QTestEventList typing;
        typing.addKeyClicks(QStringLiteral("Hi"));
        QTestEventList passed;
        passed.addKeyClick('\t');
        passed.addKeyClick(Qt::Key_Escape);
        QTestEventList toRow1 = drag(QPoint(29, 3), QPoint(17, 20));  // from (0, 2) to (1, 1)
        QTest::newRow("typing") << typing << "ABHiCD\nEF" << true;
        QTest::newRow("shift+arrows, backspace")
            << events({{Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Backspace, {}}})
            << "AB\nEF" << true;
        QTest::newRow("return splits the row") << events({{Qt::Key_Return, {}}}) << "AB\nCD\nEF" << true;
        QTest::newRow("down, end, delete") << events({{Qt::Key_Down, {}}, {Qt::Key_End, {}}, {Qt::Key_Delete, {}}})
                                           << "ABCD\nEF" << false;
        QTest::newRow("tab and escape pass") << passed << "ABCD\nEF" << false;
        QTest::newRow("drag, then delete") << events({{Qt::Key_Delete, {}}}, toRow1) << "ABF" << true;
        QTest::newRow("a click leaves no selection")
            << events({{Qt::Key_Delete, {}}}, drag(QPoint(29, 3), QPoint(29, 3))) << "ABD\nEF" << true;
        toRow1.addKeyClicks(QStringLiteral("Hi"));
        QTest::newRow("drag, then type") << toRow1 << "ABCD\nEHiF" << true;
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

    void clipboard()
    {
        TextGridWidget grid;
        grid.setScreenText(QStringLiteral("ABCD\nEF"));
        grid.show();
        grid.selectAll();
        grid.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ABCD\nEF") + QString(22, QLatin1Char('\n')));
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
        const QRgb blue = qRgb(68, 68, 255);
        // The cursor: green at 160/255 over the cell.
        const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0), greenOnWhite = qRgb(127, 255, 127);
        const struct { int column; QRgb ink, paper; } cells[] = {
            {0, white, black}, {1, black, white}, {2, white, blue}, {3, black, blue}, {4, greenOnWhite, qRgb(32, 160, 32)}};
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

    void palette()
    {
        QCOMPARE(paletteCharacters().size(), 34);
        QCOMPARE(paletteIndexAt(QPoint(30, 5), 34, 2), 17);
        QCOMPARE(paletteIndexAt(QPoint(60, 5), 34, 2), -1);
        CharPaletteWidget palette;
        QCOMPARE(palette.size(), QSize(48, 408));
        palette.setScale(4);
        QCOMPARE(palette.size(), QSize(96, 816));
        QSignalSpy clicks(&palette, &CharPaletteWidget::characterClicked);
        QTest::mouseClick(&palette, Qt::LeftButton, {}, QPoint(50, 40 + 16 * 48));
        QCOMPARE(clicks.value(0).value(0).value<QChar>(), QChar(0xE001));
    }

    void window()
    {
        QSettings().setValue(QStringLiteral("texteditor/80col"), true);
        QPointer editor = new TextScreenEditor;
        QCOMPARE(editor->size(), QSize(600, 500));
        QSignalSpy texts(editor.data(), &TextScreenEditor::textChanged);
        QSignalSpy modes(editor.data(), &TextScreenEditor::modeChanged);
        editor->loadScreen(QStringLiteral("HELLO"));
        editor->setFilePath(QStringLiteral("/tmp/SCREEN.TXT"));
        QTest::qWait(80);
        QVERIFY(!editor->isModified());
        QCOMPARE(editor->windowTitle(), QStringLiteral("morvo — SCREEN.TXT"));
        QCOMPARE(editor->findChild<QLabel *>()->text(), QStringLiteral("40 col"));
        QCOMPARE(texts.count(), 1);
        QTest::keyClicks(editor->grid(), QStringLiteral("X"));
        const QList<QCheckBox *> boxes = editor->findChildren<QCheckBox *>();
        (*std::find_if(boxes.begin(), boxes.end(), [](QCheckBox *b) { return b->text() == QLatin1String("80 Columns"); }))->click();
        QCOMPARE(modes.count(), 1);
        QTRY_COMPARE(texts.count(), 2);
        QCOMPARE(texts.last().at(0).toString(), QStringLiteral("80XHELLO"));
        QCOMPARE(editor->windowTitle(), QStringLiteral("morvo — SCREEN.TXT •"));
        editor->setModified(false);
        QVERIFY(editor->close());
        QTRY_VERIFY(!editor);
        QCOMPARE(QSettings().value(QStringLiteral("texteditor/80col")).toBool(), true);
    }

    // Closing with unsaved changes: the answer and what the save hook
    // reports decide whether the window may close; one that may is not asked
    // again, one that may not keeps its screen and is asked again.
    void closePrompt_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("hook");  // -1 none, 0 fails, 1 writes
        QTest::addColumn<bool>("closes");
        QTest::newRow("save, written") << int(QMessageBox::Save) << 1 << true;
        QTest::newRow("save, not written") << int(QMessageBox::Save) << 0 << false;
        QTest::newRow("save, no hook") << int(QMessageBox::Save) << -1 << false;
        QTest::newRow("discard") << int(QMessageBox::Discard) << 1 << true;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << 1 << false;
    }

    void closePrompt()
    {
        QFETCH(int, answer);
        QFETCH(int, hook);
        QFETCH(bool, closes);
        QPointer editor = new TextScreenEditor;
        editor->loadScreen(QStringLiteral("HELLO"));
        int saves = 0;
        if (hook >= 0)
            editor->setSaveHandler([&saves, hook] { return ++saves, hook == 1; });
        QTest::keyClicks(editor->grid(), QStringLiteral("X"));
        QTRY_VERIFY(editor->isModified());
        // One try each: a box that is not there is not waited for.
        QString asked;
        windowtest::answerNextMessageBox(QMessageBox::StandardButton(answer), &asked, 0);
        QCOMPARE(editor->maybeSave(), closes);
        QCOMPARE(asked, QStringLiteral("The text screen has unsaved changes."));
        QCOMPARE(saves, answer == QMessageBox::Save && hook >= 0 ? 1 : 0);
        QCOMPARE(editor->isModified(), !closes);
        QCOMPARE(editor->screenText(), QStringLiteral("XHELLO"));
        QString askedAgain;
        windowtest::answerNextMessageBox(QMessageBox::Cancel, &askedAgain, 0);
        QCOMPARE(editor->close(), closes);
        QCOMPARE(askedAgain.isEmpty(), closes);
        QTest::qWait(20);
        delete editor;
    }

    // The picture's text drawing reads the 40-column mark the editor writes.
    void fortyMarkDrawn()
    {
        PictureState marked;
        PictureState plain;
        renderTextScreen(marked, QStringLiteral("408-BIT"), appleFontFamily());
        renderTextScreen(plain, QStringLiteral("8-BIT"), appleFontFamily());
        QVERIFY(!marked.isDhgr);
        QVERIFY(marked.mainMemory == plain.mainMemory);
    }
};

MORVO_WINDOW_TEST_MAIN(TestTextEditor)
#include "test_texteditor.moc"
