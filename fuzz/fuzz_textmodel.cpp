// The text screen model under a stream of edits (see textedits.h). After
// each one the screen keeps 24 rows and the cursor a cell of it, and its
// screen text (what a save writes) loads back to the same screen.
#include "textedits.h"

namespace {

void check(bool condition, const char *what, const TextScreenModel &m)
{
    if (!condition)
        std::fprintf(stderr, "screen text: %s\n", m.screenText().toUtf8().toHex(' ').constData());
    fuzz::require(condition, what);
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
    for (const QString &row : m.lines())
        check(fuzz::wholeCharacters(row), "a row holds half a surrogate pair", m);

    // Saved and loaded again: the same columns and every row as shown.
    TextScreenModel reloaded;
    reloaded.setScreenText(m.screenText());
    check(reloaded.columnCount() == m.columnCount(), "the screen text loads back with other columns", m);
    for (int row = 0; row < TextScreenModel::kRows; ++row)
        check(reloaded.lines().at(row) == fuzz::shownCells(m.lines().at(row), m.columnCount()),
              "the screen text loads back with another row", m);
    TextScreenModel again;
    again.setScreenText(reloaded.screenText());
    check(again.screenText() == reloaded.screenText(), "a loaded screen does not save as it loaded", m);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    fuzz::Input in{data, size};
    TextScreenModel m;
    for (int steps = 0; !in.done() && steps < 200; ++steps) {
        fuzz::applyTextEdit(m, in);
        checkInvariants(m);
    }
    return 0;
}
