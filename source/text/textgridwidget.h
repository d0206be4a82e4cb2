#pragma once

#include "celltiles.h"
#include "textscreenmodel.h"

#include <QImage>
#include <QUndoStack>
#include <QWidget>

class QTimer;

// The text screen as an Apple II monitor shows it: a fixed grid of 24 rows
// of 40 or 80 cells, white Apple II glyphs on black, inverse characters black
// on white, a blue selection and a blinking green block cursor. It edits the
// screen from the keyboard, the mouse and the clipboard, and reports content
// changes 50 ms after the last of a run of edits.
class TextGridWidget : public QWidget {
    Q_OBJECT

public:
    explicit TextGridWidget(QWidget *parent = nullptr);

    const TextScreenModel &model() const { return m_model; }
    int columnCount() const { return m_model.columnCount(); }
    int scale() const { return m_scale; }
    int cellWidth() const { return m_cellWidth; }
    int cellHeight() const { return m_cellHeight; }
    bool cursorVisible() const { return m_cursorVisible; }
    bool hasSelection() const { return m_model.hasSelection(); }
    QString selectedText() const { return m_model.selectedText(); }
    bool inverseChars() const { return m_model.inverseChars(); }
    void setInverseChars(bool on) { m_model.setInverseChars(on); }

    QString screenText() const { return m_model.screenText(); }
    // Loads a screen; it is not reported as a change, and a report still
    // pending from edits before it is dropped.
    void setScreenText(const QString &text);
    // 40 or 80 columns (reported as a change), scale 2 or 4 (not reported);
    // other values and the current one are ignored.
    void setColumnCount(int columns);
    void setScale(int scale);

public Q_SLOTS:
    void insertChar(QChar ch);
    void deleteSelection();
    void selectAll();
    // Every edit is a step of the screen's history, from a load on.
    void undo();
    void redo();
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    QUndoStack *history() { return &m_history; }
    void copy();
    void cut();
    void paste();

Q_SIGNALS:
    void contentChanged();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class TextEditStep;
    // Puts back a screen the history kept.
    void restoreScreen(const QString &text);
    void applyGeometry();
    // Starts (or restarts) the change report when the edit counts as one.
    void edited(bool changed);
    // After a key or a click the cursor shows solid for a whole blink.
    void showCursor();
    // The cell under a widget position, the column up to columnCount.
    std::pair<int, int> cellAt(QPoint pos) const;
    void composeFrame();

    TextScreenModel m_model;
    QUndoStack m_history;
    // The screen as the history last saw it: where the next step starts.
    QString m_recorded;
    int m_scale = 2;
    int m_cellWidth = 14;
    int m_cellHeight = 16;
    bool m_cursorVisible = true;
    QTimer *m_blinkTimer = nullptr;
    QTimer *m_changeTimer = nullptr;
    CellTiles m_tiles;
    QImage m_frame;
};
