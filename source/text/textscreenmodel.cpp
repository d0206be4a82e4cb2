#include "textscreenmodel.h"

#include "screentext.h"
#include "textcodec.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kLastRow = TextScreenModel::kRows - 1;

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
void TextScreenModel::putAtCursor(QChar ch)
{
    QString &row = m_lines[m_cursorRow];
    if (row.size() < m_cursorColumn)
        row.append(QString(m_cursorColumn - row.size(), QLatin1Char(' ')));
    row.insert(m_cursorColumn, ch);
    row.truncate(m_columns);
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
    const QString mapped = mapAppleControls(text);
    ColumnMark mark = readColumnMark(mapped);
    // The editor also takes a lone "8" for the 80-column mark.
    if (mark.length == 0 && mapped.startsWith(QLatin1Char('8')))
        mark = {80, 1};
    m_columns = mark.columns;
    const QStringView content = QStringView(mapped).mid(mark.length);

    const QList<QStringView> parts = content.split(u'\n');
    for (int i = 0; i < kRows; ++i)
        m_lines[i] = i < parts.size() ? parts.at(i).first(std::min<qsizetype>(parts.at(i).size(), m_columns)).toString()
                                      : QString();
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

bool TextScreenModel::insertChar(QChar ch)
{
    const bool deleted = deleteSelection();
    saveUndo();
    if (m_cursorColumn >= m_columns) {
        if (m_cursorRow >= kLastRow)
            return deleted;
        ++m_cursorRow;
        m_cursorColumn = 0;
    }
    putAtCursor(ch);
    clampCursor();
    return true;
}

bool TextScreenModel::typeChar(QChar ch)
{
    clearSelection();
    m_dragging = false;
    return insertChar(m_inverseChars ? inverseOf(ch) : ch);
}

bool TextScreenModel::deleteSelection()
{
    if (!hasSelection())
        return false;
    const auto [start, end] = selectionEnds();
    saveUndo();
    QString &first = m_lines[start.row];
    if (start.row == end.row) {
        if (start.column < first.size())
            first.remove(start.column, end.column - start.column);
    } else {
        first = first.left(start.column) + m_lines.at(end.row).mid(end.column);
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
        const int from = r == start.row ? start.column : 0;
        const int to = std::min<int>(r == end.row ? end.column : row.size(), row.size());
        if (to > from)
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
    placeCursor(kLastRow, m_lines.at(kLastRow).size());
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
    for (const QChar ch : mapAppleControls(text)) {
        if (ch == QLatin1Char('\n')) {
            if (m_cursorRow < kLastRow) {
                ++m_cursorRow;
                m_cursorColumn = 0;
            }
        } else if (ch != QLatin1Char('\r') && m_cursorColumn < m_columns) {
            putAtCursor(ch);
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
        QString &row = m_lines[m_cursorRow];
        if (m_cursorColumn < row.size())
            row.remove(m_cursorColumn, 1);
        return true;
    }
    if (m_cursorRow == 0)
        return false;
    // Column 0: the row joins the one above, which keeps what fits.
    saveUndo();
    QString &above = m_lines[m_cursorRow - 1];
    m_cursorColumn = above.size();
    above = (above + m_lines.at(m_cursorRow)).left(m_columns);
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
    QString &row = m_lines[m_cursorRow];
    if (m_cursorColumn >= row.size())
        return false;
    saveUndo();
    row.remove(m_cursorColumn, 1);
    return true;
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
    const QString rest = row.mid(m_cursorColumn);
    if (m_cursorColumn < row.size())
        row.truncate(m_cursorColumn);
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
    const int rowLength = m_lines.at(m_cursorRow).size();
    switch (move) {
    case Move::Left:
        if (m_cursorColumn > 0) {
            --m_cursorColumn;
        } else if (m_cursorRow > 0) {
            --m_cursorRow;
            m_cursorColumn = m_lines.at(m_cursorRow).size();
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
