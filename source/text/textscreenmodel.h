#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// One Apple II text screen as the editor holds it: 24 rows of 40 or 80 cells,
// a cursor, a selection between an anchor and the cursor, and one undo
// snapshot. A cell is one character, also one outside the Basic
// Multilingual Plane (two UTF-16 units of a row's string); columns count
// cells. Rows are kept as typed, not padded; a row may be shorter than the
// column count (the cells beyond are blank) and, after a selection joins two
// rows or the screen drops to 40 columns, longer (the excess is not shown but
// stays in the screen text).
//
// The edits return true when they count as a change of the screen's content,
// which the grid reports to its window.
class TextScreenModel {
public:
    static constexpr int kRows = 24;

    enum class Move { Left, Right, Up, Down, Home, End };

    TextScreenModel();

    int columnCount() const { return m_columns; }
    const QStringList &lines() const { return m_lines; }
    int cursorRow() const { return m_cursorRow; }
    int cursorColumn() const { return m_cursorColumn; }
    int anchorRow() const { return m_anchorRow; }
    int anchorColumn() const { return m_anchorColumn; }
    bool hasSelection() const { return m_anchorRow >= 0; }
    bool isSelected(int row, int column) const;
    bool dragging() const { return m_dragging; }
    bool canUndo() const { return m_undoText.has_value(); }
    bool inverseChars() const { return m_inverseChars; }
    void setInverseChars(bool on) { m_inverseChars = on; }

    // The screen as one string: "80" first for 80 columns, then the rows up to
    // the last one that is not empty, joined by line feeds. A 40-column
    // screen whose rows begin with "8" gets the mark "40" so that it is not
    // read back as an 80-column one.
    QString screenText() const;
    // Replaces the whole screen: column mark ("80", a lone "8", or "40"
    // before an "8"), rows cut to the column count, cursor to the top-left,
    // no selection, nothing to undo.
    void setScreenText(const QString &text);

    // 40 or 80, and only a real switch; rows are not cut.
    bool setColumnCount(int columns);

    // A surrogate code or a value beyond Unicode goes in as U+FFFD.
    bool insertChar(char32_t ch);
    // A typed key: the selection is dropped (not deleted) and the character
    // goes in, as its inverse form while inverseChars is on.
    bool typeChar(char32_t ch);
    bool deleteSelection();
    QString selectedText() const;
    void selectAll();
    // Undo and redo in one: swaps the screen with the snapshot.
    bool undo();
    bool paste(const QString &text);

    bool backspace();
    bool deleteForward();
    bool newLine();
    void moveCursor(Move move, bool extendSelection);

    // The mouse: a press puts the cursor on a cell and starts a selection
    // there (or, with extendSelection and a selection, keeps its anchor);
    // moves while dragging carry the cursor; a release without movement
    // leaves no selection.
    void press(int row, int column, bool extendSelection);
    void dragTo(int row, int column);
    void release();

private:
    struct Position {
        int row;
        int column;
        bool operator<(const Position &o) const { return row != o.row ? row < o.row : column < o.column; }
    };
    // Start and end of the selection in reading order.
    std::pair<Position, Position> selectionEnds() const;
    void saveUndo() { m_undoText = screenText(); }
    void padRows();
    void clampCursor();
    void clearSelection();
    void placeCursor(int row, int column);
    void putAtCursor(const QString &character);
    void removeCellAtCursor();

    int m_columns = 40;
    QStringList m_lines;
    int m_cursorRow = 0;
    int m_cursorColumn = 0;
    int m_anchorRow = -1;
    int m_anchorColumn = -1;
    bool m_dragging = false;
    bool m_inverseChars = false;
    std::optional<QString> m_undoText;
};
