#include "mainwindow.h"

#include "menubuilder.h"
#include "morvowidget.h"
#include "resourcepath.h"
#include "settingsstore.h"
#include "startupsequence.h"
#include "swatchpanel.h"
#include "textgridwidget.h"
#include "textscreeneditor.h"
#include "windowfit.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusTipEvent>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>

namespace {

const QColor kDarkGrey(64, 64, 64);

void paintDark(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(kDarkGrey, Qt::SolidPattern));
    palette.setBrush(QPalette::All, QPalette::Base, QBrush(kDarkGrey, Qt::SolidPattern));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

MainWindow::MainWindow()
{
    setWindowTitle(QStringLiteral("morvo"));
    m_pictureWidget = new MorvoWidget(this);
    m_files = new FileCommands(this, m_pictureWidget, this);
    createCentralArea();
    createColorsDock();
    statusBar()->showMessage(tr("Ready"));
    connect(m_pictureWidget, &MorvoWidget::statusMessage, statusBar(),
            [this](const QString &message) { statusBar()->showMessage(message); });
    connect(m_pictureWidget, &MorvoWidget::overlayClicked, this, [this] { endStartupSequence(); });
    connect(m_pictureWidget, &MorvoWidget::fileDropped, m_files, &FileCommands::openDroppedFile);
    connect(m_files, &FileCommands::statusMessage, statusBar(),
            [this](const QString &message) { statusBar()->showMessage(message); });
    buildMenus();
    loadSettings();

    m_geometryTimer = new QTimer(this);
    m_geometryTimer->setSingleShot(true);
    m_geometryTimer->setInterval(300);
    connect(m_geometryTimer, &QTimer::timeout, this, &MainWindow::saveWindowGeometry);
    if (SettingsStore::contains(SettingsStore::kMainWindowGeometry))
        restoreGeometry(SettingsStore::readBytes(SettingsStore::kMainWindowGeometry));
    else
        fitWindowToContent(this, qobject_cast<QScrollArea *>(centralWidget()));
    createShortcuts();
    reportMissingData();
}

void MainWindow::reportMissingData()
{
    const QStringList missing = missingDataFiles();
    if (missing.isEmpty())
        return;
    const QString message = tr("Data files missing: %1").arg(missing.join(QStringLiteral(", ")));
    statusBar()->showMessage(message);
    std::fprintf(stderr, "morvo: %s\n", qPrintable(message));
}

QAction *MainWindow::action(int actId) const
{
    return actId >= 0 && actId < kActionCount ? m_actionsById[size_t(actId)] : nullptr;
}

void MainWindow::createCentralArea()
{
    auto *scrollArea = new QScrollArea(this);
    scrollArea->setWidget(m_pictureWidget);
    scrollArea->setWidgetResizable(false);
    scrollArea->setAlignment(Qt::AlignCenter);
    paintDark(scrollArea);
    paintDark(scrollArea->viewport());
    setCentralWidget(scrollArea);
}

void MainWindow::createColorsDock()
{
    m_swatchPanel = new SwatchPanel(this, &m_pictureWidget->state());
    auto *dock = new QDockWidget(tr("Colors"), this);
    dock->setWidget(m_swatchPanel);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    dock->setStyleSheet(QStringLiteral("QDockWidget { border: 1px solid #555; }"));
    addDockWidget(Qt::RightDockWidgetArea, dock);
    connect(dock, &QDockWidget::topLevelChanged, m_swatchPanel, &SwatchPanel::setFloating);
}

void MainWindow::buildMenus()
{
    MenuBindings bindings;
    bindings.operations = {
        {QStringLiteral("onNewText"), [this] { onNewText(); }},
        {QStringLiteral("onOpenText"), [this] { m_files->onOpenText(); }},
        {QStringLiteral("onUndo"), [this] { onUndo(); }},
        {QStringLiteral("onCut"), [this] { onCut(); }},
        {QStringLiteral("onCopy"), [this] { onCopy(); }},
        {QStringLiteral("onPaste"), [this] { onPaste(); }},
        {QStringLiteral("onClear"), [this] { onClear(); }},
        {QStringLiteral("onSelectAll"), [this] { onSelectAll(); }},
        {QStringLiteral("onNewGraphic"), [this] { onNewGraphic(); }},
        {QStringLiteral("onOpenGraphic"), [this] { m_files->onOpenGraphic(); }},
        {QStringLiteral("onSave"), [this] { onSave(); }},
        {QStringLiteral("onSaveAs"), [this] { onSaveAs(); }},
        {QStringLiteral("quit"), [this] { quitApplication(); }},
        {QStringLiteral("onConvertToDHGR"), [this] { onConvertToDHGR(); }},
        {QStringLiteral("toggleBitShifting"), [this] { toggleBitShifting(); }},
        {QStringLiteral("toggle560Mode"), [this] { toggle560Mode(); }},
        {QStringLiteral("toggleStartScreen"), [this] { toggleStartScreen(); }},
        {QStringLiteral("onAbout"), [this] { onAbout(); }},
        {QStringLiteral("aboutQt"), [] { QApplication::aboutQt(); }},
        {QStringLiteral("onShiftLeft"), [this] { onShiftLeft(); }},
        {QStringLiteral("onShiftRight"), [this] { onShiftRight(); }},
    };
    bindings.radioGroups = {
        {QStringLiteral("engine"), [this](QAction *a) { onEngineChosen(a); }},
        {QStringLiteral("size"), [this](QAction *a) { onSizeChosen(a); }},
        {QStringLiteral("aspect"), [this](QAction *a) { onAspectChosen(a); }},
        {QStringLiteral("palette"), [this](QAction *a) { onPaletteChosen(a); }},
    };
    // A menu command during the boot screens first ends them, so that what
    // it opens is not replaced when they put the old picture back.
    for (auto &operation : bindings.operations)
        operation = [this, run = operation] { endStartupSequence(); run(); };
    for (auto &handler : bindings.radioGroups)
        handler = [this, run = handler](QAction *a) { endStartupSequence(); run(a); };
    // The text commands serve the text editor window, which has no menus of
    // its own: their keys work there too.
    bindings.applicationWide = {QStringLiteral("onNewText"),    QStringLiteral("onOpenText"),
                                QStringLiteral("onNewGraphic"), QStringLiteral("onOpenGraphic"),
                                QStringLiteral("onSave"),       QStringLiteral("onSaveAs"),
                                QStringLiteral("quit"),         QStringLiteral("onUndo"),
                                QStringLiteral("onCut"),        QStringLiteral("onCopy"),
                                QStringLiteral("onPaste"),      QStringLiteral("onSelectAll")};
    const BuiltMenus built = MenuBuilder(menuBar(), this, bindings).build(menuDefinition());
    m_actionsById = built.actionsById;
    m_undoAction = built.taggedActions.value(QStringLiteral("undo"));
    m_cutAction = built.taggedActions.value(QStringLiteral("cut"));
    m_copyAction = built.taggedActions.value(QStringLiteral("copy"));
    m_pasteAction = built.taggedActions.value(QStringLiteral("paste"));
    m_clearAction = built.taggedActions.value(QStringLiteral("clear"));
    m_selectAllAction = built.taggedActions.value(QStringLiteral("selectAll"));
    m_saveAsAction = built.taggedActions.value(QStringLiteral("saveAs"));
    m_files->setMenus(built.recentGraphicMenu, built.recentTextMenu);
    updateCheckedStates();
    updateTextActions();
}

void MainWindow::createShortcuts()
{
    addShortcut(Qt::Key_K, [this] { toggleColorMode(); });
    addShortcut(Qt::Key_C, [this] { toggleColorMode(); });
    addShortcut(Qt::Key_L, [this] { toggleJexEngine(); });
    addShortcut(Qt::Key_B, [this] { toggleBitShifting(); });
    addShortcut(Qt::Key_Comma, [this] { stepScreenSize(-1); });
    addShortcut(Qt::Key_Period, [this] { stepScreenSize(+1); });
    addShortcut(Qt::Key_BracketLeft, [this] { stepPalette(-1); });
    addShortcut(Qt::Key_BracketRight, [this] { stepPalette(+1); });
}

void MainWindow::addShortcut(Qt::Key key, const std::function<void()> &operation)
{
    // A letter acts in either case: with Shift held or Caps Lock on.
    QList<QKeySequence> keys{QKeySequence(key)};
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        keys << QKeySequence(Qt::SHIFT | key);
    for (const QKeySequence &sequence : keys) {
        auto *shortcut = new QShortcut(sequence, this, nullptr, nullptr, Qt::WindowShortcut);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, operation] {
            if (shortcutsMayAct())
                operation();
        });
    }
}

bool MainWindow::shortcutsMayAct()
{
    if (endStartupSequence())
        return false;
    return !textEditorActive();
}

bool MainWindow::textEditorActive() const
{
    // The editor's floating MouseText palette counts as the editor.
    for (QWidget *w = QApplication::activeWindow(); w; w = w->parentWidget())
        if (w == m_textEditor)
            return true;
    return false;
}

bool MainWindow::endStartupSequence()
{
    if (!m_startupSequence || !m_startupSequence->isRunning())
        return false;
    m_startupSequence->stop();
    return true;
}

bool MainWindow::event(QEvent *event)
{
    // Menu items carry no status tips; passing over them would wipe what the
    // status bar reports ("Saved: ...") with an empty line.
    if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent *>(event)->tip().isEmpty())
        return true;
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Watching the whole application while the boot screens run, as their
    // key handler: the first key in this window ends them, also one a child
    // would take for itself (the scroll area's arrows), and a picture
    // dropped on them is loaded once they have put the old one back.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this && endStartupSequence())
        return true;
    if (event->type() == QEvent::Drop && watched == m_pictureWidget)
        endStartupSequence();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (m_geometryTimer)
        m_geometryTimer->start();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_geometryTimer)
        m_geometryTimer->start();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (closeTextEditor())
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

void MainWindow::saveWindowGeometry()
{
    SettingsStore::writeBytes(SettingsStore::kMainWindowGeometry, saveGeometry());
}

void MainWindow::loadSettings()
{
    SettingsStore::readViewOptions(m_pictureWidget->state().viewOptions());
    m_files->loadSettings();
    m_pictureWidget->refresh();
    m_swatchPanel->update();
    updateCheckedStates();
    m_lastColorPalette = m_pictureWidget->state().paletteType;
    m_lastMonoPalette = m_pictureWidget->state().oneBitPalette;
}

void MainWindow::saveSettings()
{
    SettingsStore::writeViewSettings(m_pictureWidget->state().viewOptions(),
                                     {m_files->lastOpenDir(), m_files->lastSaveDir(), m_files->lastTextDir()});
}

void MainWindow::changeView(const std::function<bool(ViewChoice &)> &rule)
{
    ViewOptions &options = m_pictureWidget->state().viewOptions();
    ViewChoice choice{options, m_lastColorPalette, m_lastMonoPalette};
    if (!rule(choice))
        return;
    options = choice.options;
    m_lastColorPalette = choice.lastColorPalette;
    m_lastMonoPalette = choice.lastMonoPalette;
    applyViewChange();
}

void MainWindow::applyViewChange()
{
    m_pictureWidget->refresh();
    m_swatchPanel->update();
    updateCheckedStates();
    saveSettings();
}

void MainWindow::onEngineChosen(QAction *a)
{
    changeView([a](ViewChoice &c) { c.chooseEngine(a->data().toInt()); return true; });
}

void MainWindow::onSizeChosen(QAction *a)
{
    changeView([a](ViewChoice &c) { c.chooseSize(a->data().toInt()); return true; });
}

void MainWindow::onAspectChosen(QAction *a)
{
    changeView([a](ViewChoice &c) { c.chooseAspect(a->data().toInt()); return true; });
}

void MainWindow::onPaletteChosen(QAction *a)
{
    changeView([a](ViewChoice &c) { c.choosePalette(a->data().toInt()); return true; });
}

void MainWindow::toggleColorMode()
{
    changeView([](ViewChoice &c) { c.toggleColorMode(); return true; });
}

void MainWindow::toggleJexEngine()
{
    changeView([](ViewChoice &c) { c.toggleJexEngine(); return true; });
}

void MainWindow::toggleBitShifting()
{
    changeView([](ViewChoice &c) { return c.toggleBitShifting(); });
}

void MainWindow::toggle560Mode()
{
    changeView([](ViewChoice &c) { c.options.is560Mode = !c.options.is560Mode; return true; });
}

void MainWindow::toggleStartScreen()
{
    changeView([](ViewChoice &c) { c.options.startScreen = !c.options.startScreen; return true; });
}

void MainWindow::stepScreenSize(int delta)
{
    changeView([delta](ViewChoice &c) { c.stepScreenSize(delta); return true; });
}

void MainWindow::stepPalette(int delta)
{
    changeView([delta](ViewChoice &c) { return c.stepPalette(delta); });
}

void MainWindow::updateCheckedStates()
{
    const MenuStates states = menuStates(m_pictureWidget->state().viewOptions());
    for (int act = 0; act < kActionCount; ++act) {
        QAction *a = m_actionsById[size_t(act)];
        if (!a || act == kActConvert)
            continue;
        if (act == kActBitShifting) {
            const bool wasBlocked = a->blockSignals(true);
            a->setEnabled(states.bitShiftingEnabled);
            a->setChecked(states.checked[size_t(act)]);
            a->blockSignals(wasBlocked);
        } else {
            a->setChecked(states.checked[size_t(act)]);
        }
    }
}

void MainWindow::updateTextActions()
{
    const bool enabled = m_textMode && m_textEditor;
    for (QAction *a : {m_undoAction, m_cutAction, m_copyAction, m_pasteAction, m_clearAction, m_selectAllAction})
        if (a)
            a->setEnabled(enabled);
}

void MainWindow::onConvertToDHGR()
{
    m_pictureWidget->convertToDhgr();
    updateCheckedStates();
}

void MainWindow::onShiftLeft() { m_pictureWidget->shiftPicture(true); }

void MainWindow::onShiftRight() { m_pictureWidget->shiftPicture(false); }

void MainWindow::onNewGraphic()
{
    if (!closeTextEditor())
        return;
    m_pictureWidget->clearPicture();
    setWindowTitle(QStringLiteral("morvo"));
    m_files->forgetCurrentPicture();
    statusBar()->showMessage(tr("New picture"));
    updateCheckedStates();
    updateTextActions();
}

void MainWindow::onNewText()
{
    if (!mayReplaceText())
        return;
    openInTextEditor(QString(), QString());
    statusBar()->showMessage(tr("New text screen"));
}

void MainWindow::onSave()
{
    if (textEditorActive())
        m_files->saveTextScreen();
    else
        m_files->exportPng();
}

void MainWindow::onSaveAs()
{
    if (textEditorActive())
        m_files->saveTextScreenAs();
    else
        m_files->onSaveAs();
}

void MainWindow::onUndo()
{
    if (m_textEditor)
        m_textEditor->grid()->undo();
}

void MainWindow::onCut()
{
    if (m_textEditor)
        m_textEditor->grid()->cut();
}

void MainWindow::onCopy()
{
    if (m_textEditor)
        m_textEditor->grid()->copy();
}

void MainWindow::onPaste()
{
    if (m_textEditor)
        m_textEditor->grid()->paste();
}

void MainWindow::onClear()
{
    if (m_textEditor && m_textEditor->grid()->hasSelection())
        m_textEditor->grid()->deleteSelection();
}

void MainWindow::onSelectAll()
{
    if (m_textEditor)
        m_textEditor->grid()->selectAll();
}

void MainWindow::onAbout()
{
    QFont font;
    const QString family = appleFontFamily();
    if (!family.isEmpty())
        font = QFont(family, 10);
    const QString text = QStringLiteral(
                             "<p style=\"font-size:14pt; font-weight:bold;\">morvo</p>"
                             "<p>Apple II DHGR / HGR picture viewer and editor</p>"
                             "<p style=\"font-size:9pt; color: #888;\">&copy; %1 kestrand</p>")
                             .arg(QDate::currentDate().year());
    QMessageBox box(this);
    box.setWindowTitle(tr("About morvo"));
    box.setTextFormat(Qt::RichText);
    box.setText(text);
    box.setFont(font);
    // Rich text leaves the box's own background behind it: the whole box
    // is painted black, like the screen the text would be on.
    box.setStyleSheet(QStringLiteral("QMessageBox { background-color: black; } QLabel { color: white; }"));
    box.exec();
}

void MainWindow::quitApplication()
{
    if (closeTextEditor())
        QCoreApplication::quit();
}

void MainWindow::ensureTextEditor()
{
    if (m_textEditor)
        return;
    m_textEditor = new TextScreenEditor();
    m_textEditor->setSaveHandler([this] { return m_files->saveTextScreen(); });
    connect(m_textEditor, &TextScreenEditor::textChanged, this, &MainWindow::onTextScreenChanged);
    connect(m_textEditor, &TextScreenEditor::editorClosed, this, &MainWindow::onTextEditorClosed);
    connect(m_textEditor, &TextScreenEditor::modeChanged, this, &MainWindow::onTextModeChanged);
}

void MainWindow::openInTextEditor(const QString &text, const QString &path)
{
    ensureTextEditor();
    m_textEditor->loadScreen(text);
    m_textEditor->setFilePath(path);
    m_textEditor->setModified(false);
    m_textEditor->updateTitle();
    m_textEditor->show();
    m_textEditor->raise();
    m_textEditor->activateWindow();
    m_textEditor->grid()->setFocus();
    m_textMode = true;
    m_files->forgetCurrentPicture();
    setWindowTitle(QStringLiteral("morvo"));
    updateTextActions();
}

bool MainWindow::closeTextEditor()
{
    if (!m_textEditor || !m_textEditor->isVisible())
        return true;
    if (!m_textEditor->maybeSave())
        return false;
    // The user has answered: the window's own close must not ask again.
    m_textEditor->setModified(false);
    m_textEditor->close();
    return true;
}

bool MainWindow::mayReplaceText()
{
    return !m_textEditor || !m_textEditor->isVisible() || m_textEditor->maybeSave();
}

void MainWindow::onTextScreenChanged(const QString &text)
{
    m_pictureWidget->renderTextScreen(text, appleFontFamily());
    updateCheckedStates();
}

void MainWindow::onTextEditorClosed()
{
    m_textEditor = nullptr;
    m_textMode = false;
    m_pictureWidget->clearPicture();
    setWindowTitle(QStringLiteral("morvo"));
    updateTextActions();
    updateCheckedStates();
}

void MainWindow::onTextModeChanged(bool is80col)
{
    if (is80col && !m_pictureWidget->state().isDhgr)
        onConvertToDHGR();
}

void MainWindow::pictureShown()
{
    updateCheckedStates();
    updateTextActions();
}

void MainWindow::runStartup()
{
    if (!m_pictureWidget->state().startScreen) {
        reopenLastPicture();
        return;
    }
    m_startupSequence = new StartupSequence(m_pictureWidget, this);
    qApp->installEventFilter(this);
    connect(m_startupSequence, &StartupSequence::finished, this, [this] {
        qApp->removeEventFilter(this);
        reopenLastPicture();
    });
    m_startupSequence->start();
}

void MainWindow::reopenLastPicture()
{
    if (m_files->recentFiles().isEmpty())
        m_pictureWidget->clearPicture();
    else
        m_files->openRecentPicture(m_files->recentFiles().constFirst());
}
