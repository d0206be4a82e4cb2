// The text screen editor's widgets and window with real events: keys, the
// mouse, the clipboard, the cells' pixels, the palette, the change report,
// the title and the unsaved-changes prompt.
#include "testsupport.h"

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

// Answers the next message box with the given button, and counts the boxes.
int g_prompts = 0;
void answerNextPrompt(QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, [button] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                ++g_prompts;
                box->button(button)->click();
                return;
            }
    });
}

void drag(QWidget *widget, QPoint from, QPoint to)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), widget->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

QCheckBox *checkBox(QWidget *window, const QString &text)
{
    for (QCheckBox *box : window->findChildren<QCheckBox *>())
        if (box->text() == text)
            return box;
    return nullptr;
}

} // namespace

class TestTextEditor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::isolateSettings();
        QSettings().clear();
        QVERIFY(!appleFontFamily().isEmpty());
    }

    void geometry_data()
    {
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QSize>("cell");
        QTest::newRow("1x, 40") << 2 << 40 << QSize(14, 16);
        QTest::newRow("1x, 80") << 2 << 80 << QSize(7, 16);
        QTest::newRow("2x, 40") << 4 << 40 << QSize(28, 32);
        QTest::newRow("2x, 80, 3 and 60 ignored") << 4 << 80 << QSize(14, 32);
    }

    void geometry()
    {
        QFETCH(int, scale);
        QFETCH(int, columns);
        QFETCH(QSize, cell);
        TextGridWidget grid;
        grid.setScale(scale);
        grid.setColumnCount(columns);
        grid.setScale(3);
        grid.setColumnCount(60);
        QCOMPARE(QSize(grid.cellWidth(), grid.cellHeight()), cell);
        QCOMPARE(grid.size(), QSize(280, 192) * scale);
    }

    // Keys and the mouse on a shown grid; a key the grid does not take
    // (Tab, Ctrl+A) travels on.
    void input_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("changed");
        QTest::newRow("typing") << "Hi" << "ABHiCD\nEF" << true;
        QTest::newRow("shift+arrows then backspace") << "<S-Right><S-Right><Backspace>" << "AB\nEF" << true;
        QTest::newRow("return splits the row") << "<Return>" << "AB\nCD\nEF" << true;
        QTest::newRow("down, end, delete") << "<Down><End><Delete>" << "ABCD\nEF" << false;
        QTest::newRow("tab and ctrl+a pass") << "<Tab><C-A>" << "ABCD\nEF" << false;
        QTest::newRow("drag, then type") << "<drag>X" << "ABCD\nEXF" << true;
        QTest::newRow("drag, then delete") << "<drag><Delete>" << "ABF" << true;
        QTest::newRow("a click leaves no selection") << "<click><Delete>" << "ABD\nEF" << true;
    }

    void input()
    {
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(bool, changed);
        TextGridWidget grid;
        grid.setScreenText(QStringLiteral("ABCD\nEF"));
        grid.show();
        QSignalSpy reports(&grid, &TextGridWidget::contentChanged);
        QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(2 * 14 + 3, 5));
        static const QRegularExpression token(QStringLiteral("<(S-|C-)?(\\w+)>|(.)"));
        for (const auto &m : token.globalMatch(keys)) {
            if (!m.captured(3).isEmpty()) {
                QTest::keyClicks(&grid, m.captured(3));
            } else if (m.captured(2) == QLatin1String("drag")) {
                drag(&grid, QPoint(29, 3), QPoint(17, 20));  // from (0, 2) to (1, 1)
            } else if (m.captured(2) == QLatin1String("click")) {
                QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(29, 3));
            } else if (m.captured(1) == QLatin1String("C-")) {
                // What the platform sends for Ctrl+A: a control character.
                QKeyEvent event(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
                QApplication::sendEvent(&grid, &event);
            } else {
                const Qt::Key key = QKeySequence(m.captured(2))[0].key();
                QTest::keyClick(&grid, key, m.captured(1).isEmpty() ? Qt::NoModifier : Qt::ShiftModifier);
            }
        }
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
        drag(&grid, QPoint(29, 1), QPoint(57, 1));  // columns 2 and 3 selected, the cursor on 4
        const QImage image = grid.grab().toImage();
        const QRgb blue = qRgb(68, 68, 255);
        const auto green = [](QRgb under) {
            const auto mix = [](int c, int g) { return (g * 160 + c * 95 + 127) / 255; };
            return qRgb(mix(qRed(under), 51), mix(qGreen(under), 255), mix(qBlue(under), 51));
        };
        const struct { int column; QRgb ink, paper; } cells[] = {
            {0, qRgb(255, 255, 255), qRgb(0, 0, 0)}, {1, qRgb(0, 0, 0), qRgb(255, 255, 255)},
            {2, qRgb(255, 255, 255), blue}, {3, qRgb(0, 0, 0), blue},
            {4, green(qRgb(255, 255, 255)), green(qRgb(0, 0, 0))},
        };
        for (const auto &cell : cells)
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 14; ++x) {
                    const QRgb expected = a.at(y / 2).at(x / 2) == QLatin1Char('#') ? cell.ink : cell.paper;
                    const QRgb got = image.pixel(cell.column * 14 + x, y) & 0xFFFFFF;
                    QVERIFY2(qAbs(qRed(got) - qRed(expected)) <= 2 && qAbs(qGreen(got) - qGreen(expected)) <= 2
                                 && qAbs(qBlue(got) - qBlue(expected)) <= 2,
                             qPrintable(QStringLiteral("column %1 (%2, %3): %4").arg(cell.column).arg(x).arg(y).arg(got, 6, 16)));
                }
        grid.clearFocus();
        QVERIFY(!grid.cursorVisible());
    }

    void palette()
    {
        QCOMPARE(paletteCharacters().size(), 34);
        QCOMPARE(paletteIndexAt(QPoint(30, 5), 34, 2), 17);
        QCOMPARE(paletteIndexAt(QPoint(5, 16 * 24 + 5), 34, 2), 16);
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
        checkBox(editor, QStringLiteral("80 Columns"))->click();
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
        g_prompts = 0;
        answerNextPrompt(QMessageBox::StandardButton(answer));
        QCOMPARE(editor->maybeSave(), closes);
        QCOMPARE(saves, answer == QMessageBox::Save && hook >= 0 ? 1 : 0);
        QCOMPARE(editor->isModified(), !closes);
        QCOMPARE(editor->screenText(), QStringLiteral("XHELLO"));
        answerNextPrompt(QMessageBox::Cancel);
        QCOMPARE(editor->close(), closes);
        QCOMPARE(g_prompts, closes ? 1 : 2);
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

QTEST_MAIN(TestTextEditor)
#include "test_texteditor.moc"
