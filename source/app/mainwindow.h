#pragma once

#include "filecommands.h"
#include "importsettings.h"
#include "viewchoice.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>

class MorvoWidget;
class PictureBrowser;
class QDockWidget;
struct PictureLocation;
class PictureDocument;
class PictureView;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTimer;
class StartupSequence;
class SwatchPanel;
class TextEditorSession;
class TextScreenEditor;

// The program's window: the picture centred in a dark, zooming scroll area,
// the Colors dock, the menus built from their definition, and the status
// bar with the readout of the dot under the pointer. The open picture is
// its document's; the view-option rules are ViewChoice's; this applies
// their result and asks before anything unsaved is dropped.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow();
    ~MainWindow() override;

    PictureDocument *document() const { return m_document; }
    MorvoWidget *pictureWidget() const { return m_pictureWidget; }
    PictureView *pictureView() const { return m_view; }
    SwatchPanel *swatchPanel() const { return m_swatchPanel; }
    FileCommands *fileCommands() const { return m_files; }
    TextEditorSession *textSession() const { return m_text; }
    // The list of a disk image's or a folder's pictures, once one was opened.
    PictureBrowser *pictureBrowser() const { return m_browser; }
    QAction *action(int actId) const;
    QAction *taggedAction(const QString &tag) const { return m_tagged.value(tag); }

    // Called once after the window is shown when no file was named.
    void runStartup();
    void reopenLastPicture();
    StartupSequence *startupSequence() const { return m_startupSequence; }

    // The text editor window, while one is open.
    TextScreenEditor *textEditor() const;
    bool textMode() const;
    // The text editor, or its floating palette, is the active window.
    bool textEditorActive() const;

    // Asks about unsaved text and an unsaved picture, then quits; either
    // question can keep it open.
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
    void toggleDotGrid();
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
    // Undo and Redo act on the text when the text editor is the active
    // window, otherwise on the picture.
    void onUndo();
    void onRedo();
    void onCut();
    void onCopy();
    void onPaste();
    void onClear();
    void onSelectAll();
    void onAbout();

    void updateCheckedStates();
    void updateEditActions();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Closing the window asks as Quit does.
    void closeEvent(QCloseEvent *event) override;

private:
    void showCollection(const QString &path, const PictureLocation &select);
    // The Import Image dialog on an image; OK makes its picture one step.
    void importImage(const QImage &image, const QString &name);
    void onTextScreenChanged(const QString &text);
    void onTextEditorClosed();
    void onTextModeChanged(bool is80col);
    // Quit and closing the window: the text's question, then the picture's.
    bool mayClose();

    void reportMissingData();
    void createCentralArea();
    void createColorsDock();
    void connectDocument();
    void buildMenus();
    void createToolActions(QMenu *menu);
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

    PictureDocument *m_document = nullptr;
    TextEditorSession *m_text = nullptr;
    MorvoWidget *m_pictureWidget = nullptr;
    PictureView *m_view = nullptr;
    SwatchPanel *m_swatchPanel = nullptr;
    QLabel *m_readout = nullptr;
    std::optional<ImportSettings> m_importSettings;
    QDockWidget *m_browserDock = nullptr;
    PictureBrowser *m_browser = nullptr;
    QTimer *m_geometryTimer = nullptr;
    FileCommands *m_files = nullptr;
    StartupSequence *m_startupSequence = nullptr;
    QActionGroup *m_toolGroup = nullptr;
    QAction *m_dotGridAction = nullptr;
    quint16 m_lastColorPalette = 0;
    quint16 m_lastMonoPalette = 0;
    std::array<QAction *, kActionCount> m_actionsById{};
    QHash<QString, QAction *> m_tagged;
};
