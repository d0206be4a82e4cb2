// The text screen model without a window: each case loads a screen, runs a
// short script of edits and checks the screen text, the cursor, the selection
// and that the screen comes back as shown when saved and opened again.
#include "textcodec.h"
#include "textscreenmodel.h"

#include <QtTest>

namespace {

QString row(char c, int length) { return QString(length, QLatin1Char(c)); }
QString rows(const QStringList &list) { return list.join(QLatin1Char('\n')); }

// Steps separated by "|": "at r,c" (a click), "sel r,c r,c" (a drag),
// "shiftclick r,c", "type TEXT", "insert C", "paste TEXT" ("\n" for a line
// feed), "cols N", "inverse", the keys ("S-" for Shift) and the operations
// by name. Returns whether the last step counted as a change.
bool run(TextScreenModel &m, const QString &script)
{
    static const QStringList moves{"left", "right", "up", "down", "home", "end"};  // in the order of Move
    bool changed = false;
    for (const QString &step : script.split('|', Qt::SkipEmptyParts)) {
        const QString name = step.section(' ', 0, 0);
        const QString arg = step.section(' ', 1).replace(QLatin1String("\\n"), QLatin1String("\n"));
        const QStringList n = arg.split(QRegularExpression("[ ,]"));
        const QString key = name.startsWith(QLatin1String("S-")) ? name.mid(2) : name;
        changed = false;
        if (name == "at" || name == "shiftclick" || name == "sel") {
            m.press(n.value(0).toInt(), n.value(1).toInt(), name == "shiftclick");
            if (name == "sel")
                m.dragTo(n.value(2).toInt(), n.value(3).toInt());
            m.release();
        } else if (name == "type") {
            const QList<uint> typed = arg.toUcs4();
            changed = std::count_if(typed.begin(), typed.end(), [&](char32_t ch) { return m.typeChar(ch); }) > 0;
        } else if (moves.contains(key)) {
            m.moveCursor(TextScreenModel::Move(moves.indexOf(key)), key != name);
        } else {
            const QHash<QString, std::function<bool()>> ops{
                {"insert", [&] { return m.insertChar(arg.toUcs4().value(0)); }}, {"paste", [&] { return m.paste(arg); }},
                {"cols", [&] { return m.setColumnCount(arg.toInt()); }}, {"undo", [&] { return m.undo(); }},
                {"clear", [&] { return m.deleteSelection(); }},          {"bs", [&] { return m.backspace(); }},
                {"del", [&] { return m.deleteForward(); }},              {"ret", [&] { return m.newLine(); }},
                {"inverse", [&] { m.setInverseChars(true); return false; }}, {"all", [&] { m.selectAll(); return false; }}};
            if (!ops.contains(name))
                qFatal("unknown step %s", qPrintable(step));
            changed = ops.value(name)();
        }
    }
    return changed;
}

} // namespace

class TestTextModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void edits_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("cursor");  // row,column, then the selected text in brackets if any
        QTest::addColumn<bool>("changed");
        const QString full40 = row('A', 40);
        const QString twenty = QStringLiteral("\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n");

        // Loading and the screen text.
        QTest::newRow("empty rows kept, trailing ones dropped") << "A\n\nC\n\n" << "" << "A\n\nC" << "0,0" << false;
        QTest::newRow("lone 8 marks 80 columns") << "8HELLO" << "" << "80HELLO" << "0,0" << false;
        QTest::newRow("30 lines keep 24") << twenty + "T\nU\nV\nW\nX\nY\nZ\n" << "" << twenty + "T\nU\nV\nW" << "0,0" << false;
        QTest::newRow("long line cut") << row('B', 50) << "" << row('B', 40) << "0,0" << false;
        QTest::newRow("apple controls") << "\x11\x12" << "" << QString::fromUtf16(u"\uE000\uE001") << "0,0" << false;

        // A 40-column screen that begins with "8" keeps its digit.
        QTest::newRow("typed 8 gets the 40 mark") << "" << "type 8-BIT" << "408-BIT" << "0,5" << true;
        QTest::newRow("typed 408 keeps its 40") << "" << "type 408" << "40408" << "0,3" << true;
        QTest::newRow("an 80-column screen needs no mark") << "80" << "type 8" << "808" << "0,1" << true;
        QTest::newRow("40 before anything else is text") << "40 COLUMNS" << "" << "40 COLUMNS" << "0,0" << false;

        // Typing and insertion.
        QTest::newRow("insert pushes the row's last character out")
            << full40 << "at 0,3|type B" << "AAAB" + row('A', 36) << "0,4" << true;
        QTest::newRow("typing beyond the row's end pads it") << "\n\n\n\nABCDEFGHIJ" << "at 5,30|up|type X"
                                                             << "\n\n\n\nABCDEFGHIJ" + row(' ', 20) + "X" << "4,31" << true;
        QTest::newRow("column 40 of row 23 drops the character") << "" << "at 23,40|type X" << "" << "23,40" << false;
        QTest::newRow("column 40 wraps to the next row") << "" << "at 3,40|type X" << "\n\n\n\nX" << "4,1" << true;
        QTest::newRow("typing drops the selection, keeps its text")
            << "ABCD" << "sel 0,1 0,3|type X" << "ABCXD" << "0,4" << true;
        QTest::newRow("insertChar replaces the selection") << "ABCD" << "sel 0,1 0,3|insert X" << "AXD" << "0,2" << true;
        QTest::newRow("inverse typing") << "" << "inverse|type A " << QString::fromUtf16(u"\uF021\uF000") << "0,2" << true;

        // Deleting a selection.
        QTest::newRow("selection across rows joins them")
            << rows({"", "", "", "ABCDEFG", "X", "Y", "PQRST", "row 7"}) << "sel 3,5 6,2|clear"
            << rows({"", "", "", "ABCDERST", "row 7"}) << "3,5" << true;
        QTest::newRow("join of full rows is not cut") << rows({"", "", "", full40, row('B', 40)})
                                                      << "sel 3,39 4,0|clear" << rows({"", "", "", row('A', 39) + row('B', 40)})
                                                      << "3,39" << true;

        // Keys.
        QTest::newRow("right at the row's end") << "AB\nCD" << "end|right" << "AB\nCD" << "1,0" << false;
        QTest::newRow("left at column 0") << "ABC\nD" << "at 1,0|left" << "ABC\nD" << "0,3" << false;
        QTest::newRow("backspace joins rows and cuts") << row('A', 30) + "\n" + row('B', 20) + row('\n', 22) + "Z" << "at 1,0|bs"
                                                       << row('A', 30) + row('B', 10) + row('\n', 22) + "Z" << "0,30" << true;
        QTest::newRow("delete with a selection") << "ABCD" << "S-right|S-right|del" << "CD" << "0,0" << true;
        QTest::newRow("return on row 23 is still a change") << twenty + "\n\n\nLAST" << "at 23,2|ret" << twenty + "\n\n\nLAST"
                                                            << "23,2" << true;
        QTest::newRow("return pushes row 23 out") << "\n\n\n\n\nHELLO" + twenty.left(17) + "\nLAST" << "at 5,2|ret"
                                                  << "\n\n\n\n\nHE\nLLO" << "6,0" << true;

        // The clipboard's text and undo.
        QTest::newRow("paste a long line") << "OLD" << "paste " + row('P', 50) << row('P', 40) << "0,40" << true;
        QTest::newRow("paste replaces the selection, skips CR") << "ABCD" << "sel 0,1 0,3|paste x\ry" << "AxyD" << "0,3" << true;
        // A file's apple bytes: pasted, they are the apples already.
        QTest::newRow("apple control bytes pasted") << "" << "paste A\x11" "B\x12" << QString::fromUtf16(u"A\uE000B\uE001")
                                                    << "0,4" << true;
        QTest::newRow("undo of the first character on a blank screen") << "" << "type A|undo" << "" << "0,0" << true;
        QTest::newRow("undo twice is redo") << "AB" << "end|type C|undo|undo" << "ABC" << "0,0" << true;
        QTest::newRow("undo takes the snapshot's columns") << "80AB" << "type C|cols 40|undo" << "80AB" << "0,0" << true;
        QTest::newRow("nothing to undo after a load") << "AB" << "undo" << "AB" << "0,0" << false;

        // Column switches and the mouse.
        QTest::newRow("80 to 40 keeps what is beyond column 40")
            << "80" + row('C', 60) << "cols 40|end" << row('C', 60) << "0,40" << false;
        QTest::newRow("column count 60 or the current one") << "" << "cols 60|cols 40" << "" << "0,0" << false;
        QTest::newRow("click beyond the last column") << "" << "at 30,99" << "" << "23,40" << false;

        // Selections, by the mouse and the keys.
        QTest::newRow("shift+right on an empty row") << "" << "S-right" << "" << "1,0 [\n]" << false;
        QTest::newRow("cells beyond rows add nothing") << "AB\nCD" << "sel 0,5 1,9" << "AB\nCD" << "1,9 [\nCD]" << false;
        QTest::newRow("shift+click with no selection") << "ABCD" << "at 0,1|shiftclick 0,3" << "ABCD" << "0,3" << false;
        QTest::newRow("shift+click keeps the anchor") << "ABCD" << "sel 0,1 0,2|shiftclick 0,3" << "ABCD" << "0,3 [BC]" << false;
        QTest::newRow("select all") << "AB\n\nCD" << "all" << "AB\n\nCD" << "23,0 [AB\n\nCD" + row('\n', 21) + "]" << false;

        // A character outside the Basic Multilingual Plane is two UTF-16
        // units and one cell: never cut in half at the row's end.
        const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("wide character loaded in the last column")
            << face + row('A', 38) + face + "X" << "end" << face + row('A', 38) + face << "0,40" << false;
        QTest::newRow("wide character typed in the last column, the next wraps")
            << row('A', 39) << "end|type " + face + "B" << row('A', 39) + face + "\nB" << "1,1" << true;
        QTest::newRow("wide character pasted in the last column")
            << "" << "at 0,39|paste " + face + "Z" << row(' ', 39) + face << "0,40" << true;
        QTest::newRow("insert pushes a wide character out whole")
            << row('A', 39) + face << "home|type B" << "B" + row('A', 39) << "0,1" << true;
        QTest::newRow("keys and selections take it whole")
            << "A" + face + face + "B" << "end|bs|left|bs|end|S-left" << "A" + face << "0,1 [" + face + "]" << false;
        QTest::newRow("half a pair comes in as U+FFFD")
            << QString(QChar(0xD83D)) + "A" << "end|paste " + QString(QChar(0xDE00)) << QString(QChar(0xFFFD)) + "A" + QChar(0xFFFD)
            << "0,3" << true;
    }

    void edits()
    {
        QFETCH(QString, before);
        QFETCH(QString, script);
        QFETCH(QString, after);
        QFETCH(QString, cursor);
        QFETCH(bool, changed);
        TextScreenModel m;
        m.setScreenText(before);
        QCOMPARE(run(m, script), changed);
        QCOMPARE(m.screenText(), after);
        const QString selected = m.hasSelection() ? " [" + m.selectedText() + "]" : QString();
        QCOMPARE(QStringLiteral("%1,%2").arg(m.cursorRow()).arg(m.cursorColumn()) + selected, cursor);
        QCOMPARE(m.lines().size(), TextScreenModel::kRows);
        // Saved and opened again, the screen comes back as shown, columns and all.
        TextScreenModel opened;
        opened.setScreenText(decodeTextScreen(encodeTextScreen(m.screenText())));
        QCOMPARE(opened.columnCount(), m.columnCount());
        for (int r = 0; r < TextScreenModel::kRows; ++r)
            QCOMPARE(opened.lines().at(r).toUcs4(), m.lines().at(r).toUcs4().mid(0, m.columnCount()));
    }
};

QTEST_GUILESS_MAIN(TestTextModel)
#include "test_textmodel.moc"
