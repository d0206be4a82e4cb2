#include "textgridwidget.h"

#include "resourcepath.h"
#include "screentext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kBlinkMs = 530;
constexpr int kChangeReportMs = 50;
const QColor kCursorColor(51, 255, 51, 160);

} // namespace

// One edit of the screen: the screen text before and after it.
class TextEditStep : public QUndoCommand {
public:
    TextEditStep(TextGridWidget *grid, QString before, QString after)
        : m_grid(grid)
        , m_before(std::move(before))
        , m_after(std::move(after))
    {
    }
    void undo() override { m_grid->restoreScreen(m_before); }
    void redo() override
    {
        // Pushed once the edit is made: the first redo has nothing to do.
        if (m_done)
            m_grid->restoreScreen(m_after);
        m_done = true;
    }

private:
    TextGridWidget *m_grid;
    QString m_before;
    QString m_after;
    bool m_done = false;
};

TextGridWidget::TextGridWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    applyGeometry();

    m_blinkTimer = new QTimer(this);
    m_blinkTimer->setInterval(kBlinkMs);
    connect(m_blinkTimer, &QTimer::timeout, this, [this] {
        m_cursorVisible = !m_cursorVisible;
        update();
    });
    m_blinkTimer->start();

    m_changeTimer = new QTimer(this);
    m_changeTimer->setSingleShot(true);
    m_changeTimer->setInterval(kChangeReportMs);
    connect(m_changeTimer, &QTimer::timeout, this, &TextGridWidget::contentChanged);
}

// A cell is 8 dots of the Apple II screen high and 7 wide. A dot is scale
// pixels high, and as wide in 40 columns but half as wide in 80, so both
// modes give the same widget.
void TextGridWidget::applyGeometry()
{
    const int dot = std::max(1, m_model.columnCount() == 80 ? m_scale / 2 : m_scale);
    m_cellHeight = m_scale * 8;
    m_cellWidth = 7 * dot;
    setFixedSize(m_cellWidth * m_model.columnCount(), m_cellHeight * TextScreenModel::kRows);
}

void TextGridWidget::edited(bool changed)
{
    if (changed) {
        QString now = m_model.screenText();
        if (now != m_recorded) {
            m_history.push(new TextEditStep(this, m_recorded, now));
            m_recorded = std::move(now);
        }
        m_changeTimer->start();
    }
    update();
}

void TextGridWidget::restoreScreen(const QString &text)
{
    // A step may carry the other column mode.
    m_model.setScreenText(text);
    m_recorded = m_model.screenText();
    applyGeometry();
    m_changeTimer->start();
    update();
}

void TextGridWidget::showCursor()
{
    m_cursorVisible = true;
    m_blinkTimer->start();
    update();
}

void TextGridWidget::setScreenText(const QString &text)
{
    m_model.setScreenText(text);
    m_history.clear();
    m_recorded = m_model.screenText();
    m_changeTimer->stop();
    applyGeometry();
    update();
}

void TextGridWidget::setColumnCount(int columns)
{
    if (!m_model.setColumnCount(columns))
        return;
    applyGeometry();
    edited(true);
}

void TextGridWidget::setScale(int scale)
{
    if ((scale != 2 && scale != 4) || scale == m_scale)
        return;
    m_scale = scale;
    applyGeometry();
    update();
}

void TextGridWidget::insertChar(QChar ch)
{
    edited(m_model.insertChar(ch.unicode()));
}

void TextGridWidget::deleteSelection()
{
    edited(m_model.deleteSelection());
}

void TextGridWidget::selectAll()
{
    m_model.selectAll();
    update();
}

void TextGridWidget::undo() { m_history.undo(); }

void TextGridWidget::redo() { m_history.redo(); }

void TextGridWidget::copy()
{
    const QString text = m_model.selectedText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TextGridWidget::cut()
{
    copy();
    deleteSelection();
}

void TextGridWidget::paste()
{
    edited(m_model.paste(QGuiApplication::clipboard()->text()));
}

std::pair<int, int> TextGridWidget::cellAt(QPoint pos) const
{
    const int column = std::clamp(pos.x() / m_cellWidth, 0, m_model.columnCount());
    const int row = std::clamp(pos.y() / m_cellHeight, 0, TextScreenModel::kRows - 1);
    return {row, column};
}

void TextGridWidget::mousePressEvent(QMouseEvent *event)
{
    const auto [row, column] = cellAt(event->position().toPoint());
    m_model.press(row, column, event->modifiers() & Qt::ShiftModifier);
    showCursor();
}

void TextGridWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_model.dragging())
        return;
    const auto [row, column] = cellAt(event->position().toPoint());
    m_model.dragTo(row, column);
    update();
}

void TextGridWidget::mouseReleaseEvent(QMouseEvent *)
{
    m_model.release();
}

void TextGridWidget::keyPressEvent(QKeyEvent *event)
{
    using Move = TextScreenModel::Move;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    bool changed = false;
    switch (event->key()) {
    case Qt::Key_Left: m_model.moveCursor(Move::Left, shift); break;
    case Qt::Key_Right: m_model.moveCursor(Move::Right, shift); break;
    case Qt::Key_Up: m_model.moveCursor(Move::Up, shift); break;
    case Qt::Key_Down: m_model.moveCursor(Move::Down, shift); break;
    case Qt::Key_Home: m_model.moveCursor(Move::Home, shift); break;
    case Qt::Key_End: m_model.moveCursor(Move::End, shift); break;
    case Qt::Key_Backspace: changed = m_model.backspace(); break;
    case Qt::Key_Delete: changed = m_model.deleteForward(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: changed = m_model.newLine(); break;
    default: {
        // Control characters (Tab, Escape, Ctrl combinations) travel on to
        // the window and its shortcuts.
        // A key may give a character outside the Basic Multilingual Plane:
        // two UTF-16 units, one character.
        const QList<uint> characters = event->text().toUcs4();
        if (characters.isEmpty() || !QChar::isPrint(characters.first())) {
            QWidget::keyPressEvent(event);
            return;
        }
        edited(m_model.typeChar(characters.first()));
        return;
    }
    }
    if (changed)
        m_changeTimer->start();
    showCursor();
}

void TextGridWidget::focusInEvent(QFocusEvent *)
{
    showCursor();
}

void TextGridWidget::focusOutEvent(QFocusEvent *)
{
    m_blinkTimer->stop();
    m_cursorVisible = false;
    update();
}

// Every cell is copied from its tile into one frame, which is then drawn in
// one go: a full screen of glyphs costs no more than a blank one.
void TextGridWidget::composeFrame()
{
    const int columns = m_model.columnCount();
    if (m_frame.size() != size())
        m_frame = QImage(size(), QImage::Format_RGB32);
    const QStringList &lines = m_model.lines();
    uchar *bits = m_frame.bits();
    const qsizetype stride = m_frame.bytesPerLine();
    const size_t tileBytes = size_t(m_cellWidth) * 4;
    for (int r = 0; r < TextScreenModel::kRows; ++r) {
        // One character a cell, also one of two UTF-16 units.
        const QList<uint> line = lines.at(r).toUcs4();
        for (int c = 0; c < columns; ++c) {
            char32_t ch = c < line.size() ? line.at(c) : U' ';
            const bool inverse = ch <= 0xFFFF && isInverseChar(QChar(char16_t(ch)));
            if (inverse)
                ch = inverseBase(QChar(char16_t(ch))).unicode();
            const QImage &tile = m_tiles.tile(ch, inverse, m_model.isSelected(r, c));
            uchar *cell = bits + r * m_cellHeight * stride + c * tileBytes;
            for (int y = 0; y < m_cellHeight; ++y)
                std::memcpy(cell + y * stride, tile.constScanLine(y), tileBytes);
        }
    }
}

void TextGridWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QString family = appleFontFamily();
    // Without the Apple II font the screen is a black rectangle; the edits
    // still happen and show once the font is there.
    if (family.isEmpty()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    m_tiles.prepare(family, m_cellWidth, m_cellHeight);
    composeFrame();
    painter.drawImage(0, 0, m_frame);
    if (m_cursorVisible && hasFocus())
        painter.fillRect(m_model.cursorColumn() * m_cellWidth, m_model.cursorRow() * m_cellHeight, m_cellWidth,
                         m_cellHeight, kCursorColor);
}
