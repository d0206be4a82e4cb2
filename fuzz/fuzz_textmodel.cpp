// The text screen model driven by a stream of operations: loads, typing,
// pastes, the editing keys, the mouse, undo and column switches. After each
// one the screen keeps 24 rows and the cursor a cell of it, and its screen
// text (what a save writes) loads back to the same screen.
//
// Input: one operation byte at a time, some followed by their arguments.
#include "textscreenmodel.h"

#include <cstdio>
#include <cstdlib>

namespace {

struct Input {
    const quint8 *data;
    size_t size;
    size_t at = 0;
    bool done() const { return at >= size; }
    quint8 byte() { return at < size ? data[at++] : 0; }
    // A character the grid can hold: printable ASCII, its inverse form, the
    // two apples and MouseText, the controls a paste may carry, or any.
    QChar character()
    {
        const quint8 kind = byte();
        const quint8 v = byte();
        switch (kind % 6) {
        case 0: return QChar(char16_t(0x20 + v % 95));
        case 1: return QChar(char16_t(0xF000 + v % 95));
        case 2: return QChar(char16_t(0xE000 + v % 2));
        case 3: return QChar(char16_t(0xE080 + v % 34));
        case 4: return QChar(char16_t("\n\r\t\x11\x12\x7f"[v % 6]));
        default: return QChar(char16_t(v | (byte() << 8)));
        }
    }
    QString text(int maxLength)
    {
        QString s;
        for (int n = byte() % (maxLength + 1); n > 0 && !done(); --n)
            s += character();
        return s;
    }
};

void check(bool condition, const char *what, const TextScreenModel &m)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz_textmodel: %s\nscreen text: %s\n", what, m.screenText().toUtf8().toHex(' ').constData());
    std::abort();
}

void checkInvariants(const TextScreenModel &m)
{
    check(m.lines().size() == TextScreenModel::kRows, "not 24 rows", m);
    check(m.columnCount() == 40 || m.columnCount() == 80, "neither 40 nor 80 columns", m);
    check(m.cursorRow() >= 0 && m.cursorRow() < TextScreenModel::kRows && m.cursorColumn() >= 0
              && m.cursorColumn() <= m.columnCount(),
          "cursor off the screen", m);
    if (m.hasSelection())
        check(m.anchorRow() >= 0 && m.anchorRow() < TextScreenModel::kRows && m.anchorColumn() >= 0
                  && m.anchorColumn() <= m.columnCount(),
              "selection anchor off the screen", m);

    // Saved and loaded again: the same columns and every row as shown.
    TextScreenModel reloaded;
    reloaded.setScreenText(m.screenText());
    check(reloaded.columnCount() == m.columnCount(), "the screen text loads back with other columns", m);
    for (int row = 0; row < TextScreenModel::kRows; ++row)
        check(reloaded.lines().at(row) == m.lines().at(row).left(m.columnCount()),
              "the screen text loads back with another row", m);
    TextScreenModel again;
    again.setScreenText(reloaded.screenText());
    check(again.screenText() == reloaded.screenText(), "a loaded screen does not save as it loaded", m);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    Input in{data, size};
    TextScreenModel m;
    for (int steps = 0; !in.done() && steps < 200; ++steps) {
        const quint8 op = in.byte();
        switch (op % 16) {
        case 0: m.setScreenText(in.text(120)); break;
        case 1: {
            // The grid types only printable characters; the rest go on to
            // the window's shortcuts.
            const QChar ch = in.character();
            if (ch.isPrint())
                m.typeChar(ch.unicode());
            break;
        }
        case 2: m.insertChar(char32_t(0xE080 + in.byte() % 34)); break;
        case 3: m.deleteSelection(); break;
        case 4: m.paste(in.text(200)); break;
        case 5: m.backspace(); break;
        case 6: m.deleteForward(); break;
        case 7: m.newLine(); break;
        case 8: m.moveCursor(TextScreenModel::Move(in.byte() % 6), in.byte() & 1); break;
        case 9: m.undo(); break;
        case 10: m.setColumnCount(in.byte() & 1 ? 80 : 40); break;
        case 11: m.selectAll(); break;
        case 12: m.press(qint8(in.byte()), qint8(in.byte()), in.byte() & 1); break;
        case 13: m.dragTo(qint8(in.byte()), qint8(in.byte())); break;
        case 14: m.release(); break;
        default: m.setInverseChars(in.byte() & 1); break;
        }
        checkInvariants(m);
    }
    return 0;
}
