#include "textscreenmodel.h"

#include "screentext.h"
#include "textcodec.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kLastRow = TextScreenModel::kRows - 1;

// A cell holds one character, as the screen shows it and the picture draws
// it. A character beyond the Basic Multilingual Plane (an emoji, say) is
// two UTF-16 units of a row, a surrogate pair, and still one cell: rows are
// measured, cut and edited by cells, so that a pair is never split and the
// screen saves what it shows.
qsizetype cellEnd(QStringView row, qsizetype at)
{
    return at + (row.at(at).isHighSurrogate() && at + 1 < row.size() && row.at(at + 1).isLowSurrogate() ? 2 : 1);
}

// Where cell number cell begins in row, or the row's end.
qsizetype offsetOf(QStringView row, int cell)
{
    qsizetype at = 0;
    for (; cell > 0 && at < row.size(); --cell)
        at = cellEnd(row, at);
    return at;
}

int cellCount(QStringView row)
{
    int cells = 0;
    for (qsizetype at = 0; at < row.size(); at = cellEnd(row, at))
        ++cells;
    return cells;
}

// The first cells of row, at most count.
QString leftCells(QStringView row, int count)
{
    return row.first(offsetOf(row, count)).toString();
}

// Half a surrogate pair shows as nothing and cannot be saved: whatever comes
// in (a file, the clipboard) has the replacement character in its place.
QString wholeCharacters(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString characterText(char32_t code)
{
    if (code > QChar::LastValidCodePoint || QChar::isSurrogate(code))
        code = QChar::ReplacementCharacter;
    return QString::fromUcs4(&code, 1);
}

} // namespace

TextScreenModel::TextScreenModel()
{
    padRows();
}

void TextScreenModel::padRows()
{
    while (m_lines.size() < kRows)
        m_lines.append(QString());
    while (m_lines.size() > kRows)
        m_lines.removeLast();
}

void TextScreenModel::clampCursor()
{
    m_cursorRow = std::clamp(m_cursorRow, 0, kLastRow);
    m_cursorColumn = std::clamp(m_cursorColumn, 0, m_columns);
}

void TextScreenModel::clearSelection()
{
    m_anchorRow = -1;
    m_anchorColumn = -1;
}

void TextScreenModel::placeCursor(int row, int column)
{
    m_cursorRow = row;
    m_cursorColumn = column;
    clampCursor();
}

// Typing and pasting insert: the row is padded with spaces up to the cursor,
// the rest moves right, and what is pushed past the last column is lost.
void TextScreenModel::putAtCursor(const QString &character)
{
    QString &row = m_lines[m_cursorRow];
    const int cells = cellCount(row);
    if (cells < m_cursorColumn)
        row.append(QString(m_cursorColumn - cells, QLatin1Char(' ')));
    row.insert(offsetOf(row, m_cursorColumn), character);
    row.truncate(offsetOf(row, m_columns));
    ++m_cursorColumn;
}

std::pair<TextScreenModel::Position, TextScreenModel::Position> TextScreenModel::selectionEnds() const
{
    const Position anchor{m_anchorRow, m_anchorColumn};
    const Position cursor{m_cursorRow, m_cursorColumn};
    return cursor < anchor ? std::pair(cursor, anchor) : std::pair(anchor, cursor);
}

bool TextScreenModel::isSelected(int row, int column) const
{
    if (!hasSelection())
        return false;
    const auto [start, end] = selectionEnds();
    const Position cell{row, column};
    return !(cell < start) && cell < end;
}

QString TextScreenModel::screenText() const
{
    int last = kLastRow;
    while (last >= 0 && m_lines.at(last).isEmpty())
        --last;
    QString content = m_lines.mid(0, last + 1).join(QLatin1Char('\n'));
    if (m_columns == 80)
        return QStringLiteral("80") + content;
    return needsFortyMark(content) ? QStringLiteral("40") + content : content;
}

void TextScreenModel::setScreenText(const QString &text)
{
    const QString mapped = wholeCharacters(mapAppleControls(text));
    ColumnMark mark = readColumnMark(mapped);
    // The editor also takes a lone "8" for the 80-column mark.
    if (mark.length == 0 && mapped.startsWith(QLatin1Char('8')))
        mark = {80, 1};
    m_columns = mark.columns;
    const QStringView content = QStringView(mapped).mid(mark.length);

    const QList<QStringView> parts = content.split(u'\n');
    for (int i = 0; i < kRows; ++i)
        m_lines[i] = i < parts.size() ? leftCells(parts.at(i), m_columns) : QString();
    m_cursorRow = 0;
    m_cursorColumn = 0;
    clearSelection();
    m_dragging = false;
    m_undoText.reset();
}

bool TextScreenModel::setColumnCount(int columns)
{
    if ((columns != 40 && columns != 80) || columns == m_columns)
        return false;
    m_columns = columns;
    clampCursor();
    clearSelection();
    m_dragging = false;
    return true;
}

bool TextScreenModel::insertChar(char32_t ch)
{
    const bool deleted = deleteSelection();
    saveUndo();
    if (m_cursorColumn >= m_columns) {
        if (m_cursorRow >= kLastRow)
            return deleted;
        ++m_cursorRow;
        m_cursorColumn = 0;
    }
    putAtCursor(characterText(ch));
    clampCursor();
    return true;
}

bool TextScreenModel::typeChar(char32_t ch)
{
    clearSelection();
    m_dragging = false;
    const bool hasInverse = m_inverseChars && ch <= 0xFFFF;
    return insertChar(hasInverse ? inverseOf(QChar(char16_t(ch))).unicode() : ch);
}

bool TextScreenModel::deleteSelection()
{
    if (!hasSelection())
        return false;
    const auto [start, end] = selectionEnds();
    saveUndo();
    QString &first = m_lines[start.row];
    const qsizetype from = offsetOf(first, start.column);
    if (start.row == end.row) {
        first.remove(from, offsetOf(first, end.column) - from);
    } else {
        const QString &last = m_lines.at(end.row);
        first = first.left(from) + last.mid(offsetOf(last, end.column));
        m_lines.erase(m_lines.begin() + start.row + 1, m_lines.begin() + end.row + 1);
        padRows();
    }
    clearSelection();
    m_dragging = false;
    placeCursor(start.row, start.column);
    return true;
}

QString TextScreenModel::selectedText() const
{
    if (!hasSelection())
        return QString();
    const auto [start, end] = selectionEnds();
    QString text;
    for (int r = start.row; r <= end.row; ++r) {
        const QString &row = m_lines.at(r);
        const qsizetype from = r == start.row ? offsetOf(row, start.column) : 0;
        const qsizetype to = r == end.row ? offsetOf(row, end.column) : row.size();
        text += row.mid(from, to - from);
        if (r != end.row)
            text += QLatin1Char('\n');
    }
    return text;
}

void TextScreenModel::selectAll()
{
    m_anchorRow = 0;
    m_anchorColumn = 0;
    placeCursor(kLastRow, cellCount(m_lines.at(kLastRow)));
}

bool TextScreenModel::undo()
{
    if (!m_undoText)
        return false;
    QString kept = screenText();
    setScreenText(*m_undoText);
    m_undoText = std::move(kept);
    return true;
}

bool TextScreenModel::paste(const QString &text)
{
    if (text.isEmpty())
        return false;
    saveUndo();
    deleteSelection();
    // The apple control bytes become the apples here as they do in a file,
    // so the screen saves as it shows.
    const QString pasted = wholeCharacters(mapAppleControls(text));
    for (qsizetype at = 0, next = 0; at < pasted.size(); at = next) {
        next = cellEnd(pasted, at);
        const QChar ch = pasted.at(at);
        if (ch == QLatin1Char('\n')) {
            if (m_cursorRow < kLastRow) {
                ++m_cursorRow;
                m_cursorColumn = 0;
            }
        } else if (ch != QLatin1Char('\r') && m_cursorColumn < m_columns) {
            putAtCursor(pasted.mid(at, next - at));
        }
    }
    clampCursor();
    return true;
}

bool TextScreenModel::backspace()
{
    if (hasSelection())
        return deleteSelection();
    if (m_cursorColumn > 0) {
        saveUndo();
        --m_cursorColumn;
        removeCellAtCursor();
        return true;
    }
    if (m_cursorRow == 0)
        return false;
    // Column 0: the row joins the one above, which keeps what fits.
    saveUndo();
    QString &above = m_lines[m_cursorRow - 1];
    m_cursorColumn = cellCount(above);
    above = leftCells(above + m_lines.at(m_cursorRow), m_columns);
    m_lines.removeAt(m_cursorRow);
    --m_cursorRow;
    padRows();
    clampCursor();
    return true;
}

bool TextScreenModel::deleteForward()
{
    if (hasSelection())
        return deleteSelection();
    if (m_cursorColumn >= cellCount(m_lines.at(m_cursorRow)))
        return false;
    saveUndo();
    removeCellAtCursor();
    return true;
}

void TextScreenModel::removeCellAtCursor()
{
    QString &row = m_lines[m_cursorRow];
    const qsizetype at = offsetOf(row, m_cursorColumn);
    if (at < row.size())
        row.remove(at, cellEnd(row, at) - at);
}

bool TextScreenModel::newLine()
{
    clearSelection();
    m_dragging = false;
    // On the last row there is no row to open; it still counts as a change.
    if (m_cursorRow >= kLastRow)
        return true;
    saveUndo();
    QString &row = m_lines[m_cursorRow];
    const qsizetype at = offsetOf(row, m_cursorColumn);
    const QString rest = row.mid(at);
    row.truncate(at);
    ++m_cursorRow;
    m_cursorColumn = 0;
    m_lines.insert(m_cursorRow, rest);
    padRows();
    return true;
}

void TextScreenModel::moveCursor(Move move, bool extendSelection)
{
    if (!extendSelection) {
        clearSelection();
        m_dragging = false;
    } else if (!hasSelection()) {
        m_anchorRow = m_cursorRow;
        m_anchorColumn = m_cursorColumn;
    }
    const int rowLength = cellCount(m_lines.at(m_cursorRow));
    switch (move) {
    case Move::Left:
        if (m_cursorColumn > 0) {
            --m_cursorColumn;
        } else if (m_cursorRow > 0) {
            --m_cursorRow;
            m_cursorColumn = cellCount(m_lines.at(m_cursorRow));
        }
        break;
    case Move::Right:
        if (m_cursorColumn < rowLength) {
            ++m_cursorColumn;
        } else if (m_cursorRow < kLastRow) {
            ++m_cursorRow;
            m_cursorColumn = 0;
        }
        break;
    case Move::Up:
        if (m_cursorRow > 0)
            --m_cursorRow;
        break;
    case Move::Down:
        if (m_cursorRow < kLastRow)
            ++m_cursorRow;
        break;
    case Move::Home:
        m_cursorColumn = 0;
        break;
    case Move::End:
        m_cursorColumn = rowLength;
        break;
    }
    clampCursor();
}

void TextScreenModel::press(int row, int column, bool extendSelection)
{
    placeCursor(row, column);
    if (!(extendSelection && hasSelection())) {
        m_anchorRow = m_cursorRow;
        m_anchorColumn = m_cursorColumn;
    }
    m_dragging = true;
}

void TextScreenModel::dragTo(int row, int column)
{
    if (m_dragging)
        placeCursor(row, column);
}

void TextScreenModel::release()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    if (m_anchorRow == m_cursorRow && m_anchorColumn == m_cursorColumn)
        clearSelection();
}
