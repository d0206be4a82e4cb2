#pragma once

#include "filecommands.h"
#include "textscreeneditor.h"
#include "viewchoice.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

class MorvoWidget;
class QAction;
class QMenu;
class QTimer;
class StartupSequence;
class SwatchPanel;

// The program's window: the picture centred in a dark scroll area, the
// Colors dock, the menus built from their definition, and the status bar.
// The view-option rules are ViewChoice's; this applies their result.
class MainWindow : public QMainWindow, private FileCommandsHost {
    Q_OBJECT

public:
    MainWindow();

    MorvoWidget *pictureWidget() const { return m_pictureWidget; }
    SwatchPanel *swatchPanel() const { return m_swatchPanel; }
    FileCommands *fileCommands() const { return m_files; }
    QAction *action(int actId) const;

    // Called once after the window is shown when no file was named.
    void runStartup();
    void reopenLastPicture();
    StartupSequence *startupSequence() const { return m_startupSequence; }

    // The text editor window: created on demand, forgotten when it closes.
    TextScreenEditor *textEditor() const override { return m_textEditor; }
    void ensureTextEditor();
    void openInTextEditor(const QString &text, const QString &path) override;
    bool closeTextEditor() override;
    bool textMode() const { return m_textMode; }
    // The text editor, or its floating palette, is the active window.
    bool textEditorActive() const;

    // Asks about unsaved text, then quits; the question can keep it open.
    void quitApplication();

    // Menu operations.
    void onEngineChosen(QAction *action);
    void onSizeChosen(QAction *action);
    void onAspectChosen(QAction *action);
    void onPaletteChosen(QAction *action);
    void toggleColorMode();
    void toggleJexEngine();
    void toggleBitShifting();
    void toggle560Mode();
    void toggleStartScreen();
    void stepScreenSize(int delta);
    void stepPalette(int delta);
    void onConvertToDHGR();
    void onShiftLeft();
    void onShiftRight();
    void onNewText();
    void onNewGraphic();
    void onSave();
    // Save As writes the text screen under a new name when the text editor
    // is the active window, otherwise the picture memory.
    void onSaveAs();
    void onUndo();
    void onCut();
    void onCopy();
    void onPaste();
    void onClear();
    void onSelectAll();
    void onAbout();

    void updateCheckedStates();
    void updateTextActions();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Closing the window asks about unsaved text first, as Quit does.
    void closeEvent(QCloseEvent *event) override;

private:
    void pictureShown() override;
    bool mayReplaceText() override;
    void commandStarts() override { endStartupSequence(); }
    void onTextScreenChanged(const QString &text);
    void onTextEditorClosed();
    void onTextModeChanged(bool is80col);
    // Ends a running boot sequence; true when there was one to end.
    bool endStartupSequence();

    void reportMissingData();
    void createCentralArea();
    void createColorsDock();
    void buildMenus();
    void createShortcuts();
    void addShortcut(Qt::Key key, const std::function<void()> &operation);
    // The single keys act only on the picture: a key during the boot screens
    // only ends them, and keys typed in the text editor are its own.
    bool shortcutsMayAct();

    void loadSettings();
    void saveSettings();
    void saveWindowGeometry();

    // Runs a view-option rule on the options and the remembered palettes;
    // when it changed something, re-renders, repaints the swatches, updates
    // the checks and stores the settings.
    void changeView(const std::function<bool(ViewChoice &)> &rule);
    void applyViewChange();

    MorvoWidget *m_pictureWidget = nullptr;
    SwatchPanel *m_swatchPanel = nullptr;
    QTimer *m_geometryTimer = nullptr;
    FileCommands *m_files = nullptr;
    StartupSequence *m_startupSequence = nullptr;
    QPointer<TextScreenEditor> m_textEditor;
    bool m_textMode = false;
    quint16 m_lastColorPalette = 0;
    quint16 m_lastMonoPalette = 0;
    std::array<QAction *, kActionCount> m_actionsById{};
    QAction *m_undoAction = nullptr;
    QAction *m_cutAction = nullptr;
    QAction *m_copyAction = nullptr;
    QAction *m_pasteAction = nullptr;
    QAction *m_clearAction = nullptr;
    QAction *m_selectAllAction = nullptr;
    QAction *m_saveAsAction = nullptr;
};
