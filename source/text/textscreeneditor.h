#pragma once

#include <QMainWindow>

#include <functional>

class CharPaletteWidget;
class QCheckBox;
class QDockWidget;
class QLabel;
class QPushButton;
class TextGridWidget;

// The text screen editor's own window: the grid on a dark grey area, the
// MouseText palette in a dock, and the column, inverse and scale controls in
// the status bar. It has no parent and deletes itself when closed. It tells
// its owner of every content change (textChanged), of a granted close
// (editorClosed) and of a column switch by the user (modeChanged), and keeps
// its own settings under "texteditor/".
class TextScreenEditor : public QMainWindow {
    Q_OBJECT

public:
    TextScreenEditor();

    TextGridWidget *grid() const { return m_grid; }

    // Shows a screen as freshly loaded: not modified, column box following
    // its mark; emits textChanged with it.
    void loadScreen(const QString &text);
    void setFilePath(const QString &path);
    QString filePath() const { return m_filePath; }
    QString screenText() const;
    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    void updateTitle();

    // The Save answer of the unsaved-changes prompt calls this; it returns
    // true only when the screen really was written.
    void setSaveHandler(std::function<bool()> save) { m_saveHandler = std::move(save); }
    // Asks about unsaved changes when there are any in a screen that is not
    // blank. False means the window must stay: the user cancelled, or the
    // save did not happen.
    bool maybeSave();

Q_SIGNALS:
    void textChanged(const QString &text);
    void editorClosed();
    void modeChanged(bool is80colB);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onColumnsToggled(bool on);
    void onScaleClicked();
    void onContentChanged();
    void onDockFloatingChanged(bool floating);
    void updateModeControls();
    void restoreSettings();
    void saveSettings() const;

    TextGridWidget *m_grid = nullptr;
    CharPaletteWidget *m_palette = nullptr;
    QDockWidget *m_paletteDock = nullptr;
    QLabel *m_modeLabel = nullptr;
    QPushButton *m_scaleButton = nullptr;
    QCheckBox *m_columnsCheck = nullptr;
    QCheckBox *m_inverseCheck = nullptr;
    QString m_filePath;
    bool m_modified = false;
    std::function<bool()> m_saveHandler;
};
