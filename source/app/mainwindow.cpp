#include "mainwindow.h"

#include "importdialog.h"
#include "menubuilder.h"
#include "picturebrowser.h"
#include "morvowidget.h"
#include "picturedocument.h"
#include "pictureedit.h"
#include "pictureview.h"
#include "resourcepath.h"
#include "settingsstore.h"
#include "startupsequence.h"
#include "swatchpanel.h"
#include "textgridwidget.h"
#include "textscreen.h"
#include "texteditorsession.h"
#include "textscreeneditor.h"
#include "windowfit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

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
    m_document = new PictureDocument(this);
    m_text = new TextEditorSession(this);
    m_pictureWidget = new MorvoWidget(m_document->state(), this);
    m_files = new FileCommands(this, m_document, m_pictureWidget, m_text);
    setWindowTitle(m_document->windowTitle());
    createCentralArea();
    createColorsDock();
    m_readout = new QLabel(this);
    statusBar()->addPermanentWidget(m_readout);
    statusBar()->showMessage(tr("Ready"));
    connectDocument();
    connect(m_files, &FileCommands::statusMessage, statusBar(),
            [this](const QString &message) { statusBar()->showMessage(message); });
    connect(m_files, &FileCommands::collectionOpened, this, &MainWindow::showCollection);
    connect(m_files, &FileCommands::imageToImport, this, &MainWindow::importImage);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &MainWindow::updateEditActions);
    connect(m_text, &TextEditorSession::textChanged, this, &MainWindow::onTextScreenChanged);
    connect(m_text, &TextEditorSession::closed, this, &MainWindow::onTextEditorClosed);
    connect(m_text, &TextEditorSession::modeChanged, this, &MainWindow::onTextModeChanged);
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::updateEditActions);
    buildMenus();
    loadSettings();

    m_geometryTimer = new QTimer(this);
    m_geometryTimer->setSingleShot(true);
    m_geometryTimer->setInterval(300);
    connect(m_geometryTimer, &QTimer::timeout, this, &MainWindow::saveWindowGeometry);
    if (SettingsStore::contains(SettingsStore::kMainWindowGeometry))
        restoreGeometry(SettingsStore::readBytes(SettingsStore::kMainWindowGeometry));
    else
        fitWindowToContent(this, m_view);
    createShortcuts();
    reportMissingData();
}

MainWindow::~MainWindow()
{
    // The view shows the document's picture: it goes first, and nothing the
    // document says on its way out reaches this half-gone window.
    m_document->disconnect(this);
    m_document->history()->disconnect(this);
    delete m_view;
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
    m_view = new PictureView(m_pictureWidget, this);
    paintDark(m_view);
    paintDark(m_view->viewport());
    setCentralWidget(m_view);
}

void MainWindow::createColorsDock()
{
    m_swatchPanel = new SwatchPanel(this, &m_document->state());
    auto *dock = new QDockWidget(tr("Colors"), this);
    dock->setWidget(m_swatchPanel);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    dock->setStyleSheet(QStringLiteral("QDockWidget { border: 1px solid #555; }"));
    addDockWidget(Qt::RightDockWidgetArea, dock);
    connect(dock, &QDockWidget::topLevelChanged, m_swatchPanel, &SwatchPanel::setFloating);
}

// The document owns the picture; the view, the swatches, the title and the
// Edit menu follow what it says.
void MainWindow::connectDocument()
{
    PictureDocument *doc = m_document;
    connect(doc, &PictureDocument::pictureChanged, m_pictureWidget, &MorvoWidget::refresh);
    connect(doc, &PictureDocument::pictureChanged, this, &MainWindow::updateCheckedStates);
    connect(doc, &PictureDocument::titleChanged, this, &QWidget::setWindowTitle);
    connect(doc, &PictureDocument::pencilColorChanged, m_pictureWidget, &MorvoWidget::setPencilColor);
    connect(doc, &PictureDocument::pencilColorChanged, m_swatchPanel, &SwatchPanel::setSelectedIndex);
    connect(doc, &PictureDocument::toolChanged, m_pictureWidget, &MorvoWidget::setTool);
    connect(doc->history(), &QUndoStack::indexChanged, this, &MainWindow::updateEditActions);
    connect(m_swatchPanel, &SwatchPanel::colorSelected, doc, [doc](int colour) { doc->setPencilColor(colour); });
    connect(m_pictureWidget, &MorvoWidget::changeStarting, doc, &PictureDocument::beginStep);
    connect(m_pictureWidget, &MorvoWidget::changeFinished, doc, &PictureDocument::endStep);
    connect(m_pictureWidget, &MorvoWidget::colorPicked, doc, &PictureDocument::setPencilColor);
    connect(m_pictureWidget, &MorvoWidget::statusMessage, statusBar(),
            [this](const QString &message) { statusBar()->showMessage(message); });
    connect(m_pictureWidget, &MorvoWidget::pointerReadout, m_readout, &QLabel::setText);
    connect(m_pictureWidget, &MorvoWidget::overlayClicked, doc, &PictureDocument::endBootScreens);
    connect(m_pictureWidget, &MorvoWidget::fileDropped, m_files, &FileCommands::openDroppedFile);
    connect(m_pictureWidget, &MorvoWidget::zoomChanged, this, [](double zoom) { SettingsStore::writeZoom(zoom); });
}

void MainWindow::buildMenus()
{
    MenuBindings bindings;
    bindings.operations = {
        {QStringLiteral("onNewText"), [this] { onNewText(); }},
        {QStringLiteral("onOpenText"), [this] { m_files->onOpenText(); }},
        {QStringLiteral("onUndo"), [this] { onUndo(); }},
        {QStringLiteral("onRedo"), [this] { onRedo(); }},
        {QStringLiteral("onCut"), [this] { onCut(); }},
        {QStringLiteral("onCopy"), [this] { onCopy(); }},
        {QStringLiteral("onPaste"), [this] { onPaste(); }},
        {QStringLiteral("onClear"), [this] { onClear(); }},
        {QStringLiteral("onSelectAll"), [this] { onSelectAll(); }},
        {QStringLiteral("onNewGraphic"), [this] { onNewGraphic(); }},
        {QStringLiteral("onOpenGraphic"), [this] { m_files->onOpenGraphic(); }},
        {QStringLiteral("onOpenFolder"), [this] { m_files->onOpenFolder(); }},
        {QStringLiteral("onImportImage"), [this] { m_files->onImportImage(); }},
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
        {QStringLiteral("zoomIn"), [this] { m_view->zoomIn(); }},
        {QStringLiteral("zoomOut"), [this] { m_view->zoomOut(); }},
        {QStringLiteral("actualSize"), [this] { m_view->actualSize(); }},
        {QStringLiteral("fitToWindow"), [this] { m_view->fitToWindow(); }},
        {QStringLiteral("toggleDotGrid"), [this] { toggleDotGrid(); }},
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
        operation = [doc = m_document, run = operation] { doc->endBootScreens(); run(); };
    for (auto &handler : bindings.radioGroups)
        handler = [doc = m_document, run = handler](QAction *a) { doc->endBootScreens(); run(a); };
    // The File and Edit commands serve the text editor window too, which has
    // no menus of its own: their keys work there as well.
    bindings.applicationWide = {QStringLiteral("onNewText"),    QStringLiteral("onOpenText"),
                                QStringLiteral("onNewGraphic"), QStringLiteral("onOpenGraphic"),
                                QStringLiteral("onSave"),       QStringLiteral("onSaveAs"),
                                QStringLiteral("quit"),         QStringLiteral("onUndo"),
                                QStringLiteral("onRedo"),       QStringLiteral("onCut"),
                                QStringLiteral("onCopy"),       QStringLiteral("onPaste"),
                                QStringLiteral("onSelectAll")};
    const BuiltMenus built = MenuBuilder(menuBar(), this, bindings).build(menuDefinition());
    m_actionsById = built.actionsById;
    m_tagged = built.taggedActions;
    if (QAction *redo = m_tagged.value(QStringLiteral("redo")))
        redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    m_dotGridAction = m_tagged.value(QStringLiteral("dotGrid"));
    if (QMenu *tools = built.menusById.value(QStringLiteral("tools")))
        createToolActions(tools);
    m_files->setMenus(built.recentGraphicMenu, built.recentTextMenu);
    updateCheckedStates();
    updateEditActions();
}

// The tools, in a menu and a tool bar, each with its single key.
void MainWindow::createToolActions(QMenu *menu)
{
    auto *bar = new QToolBar(tr("Tools"), this);
    bar->setObjectName(QStringLiteral("tools"));
    bar->setFocusPolicy(Qt::NoFocus);
    addToolBar(Qt::TopToolBarArea, bar);
    m_toolGroup = new QActionGroup(this);
    for (const ToolInfo &info : toolTable()) {
        const QString name = QCoreApplication::translate("Tool", info.name);
        QAction *a = menu->addAction(QStringLiteral("%1\t%2").arg(name, QChar(info.key)));
        a->setCheckable(true);
        a->setChecked(info.tool == m_document->tool());
        a->setToolTip(QStringLiteral("%1 (%2)").arg(name, QChar(info.key)));
        a->setIconText(name);
        m_toolGroup->addAction(a);
        bar->addAction(a);
        const Tool tool = info.tool;
        connect(a, &QAction::triggered, m_document, [this, tool] {
            m_document->endBootScreens();
            m_document->setTool(tool);
        });
    }
    connect(m_document, &PictureDocument::toolChanged, this, [this](Tool tool) {
        for (QAction *a : m_toolGroup->actions())
            a->setChecked(a->iconText() == QCoreApplication::translate("Tool", toolInfo(tool).name));
    });
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
    for (const ToolInfo &info : toolTable()) {
        const Tool tool = info.tool;
        addShortcut(Qt::Key(Qt::Key_A + (info.key - 'A')), [this, tool] { m_document->setTool(tool); });
    }
    // With a disk image or a folder listed, the next and previous picture.
    addShortcut(Qt::Key_PageDown, [this] {
        if (m_browser && m_browserDock->isVisible())
            m_browser->next();
    });
    addShortcut(Qt::Key_PageUp, [this] {
        if (m_browser && m_browserDock->isVisible())
            m_browser->previous();
    });
}

void MainWindow::showCollection(const QString &path, const PictureLocation &select)
{
    if (!m_browser) {
        m_browser = new PictureBrowser(this);
        m_browserDock = new QDockWidget(tr("Pictures"), this);
        m_browserDock->setObjectName(QStringLiteral("pictures"));
        m_browserDock->setWidget(m_browser);
        addDockWidget(Qt::LeftDockWidgetArea, m_browserDock);
        // The list comes beside the picture, not out of its room.
        QSize wider(width() + m_browserDock->sizeHint().width(), height());
        if (const QScreen *screen = this->screen())
            wider = wider.boundedTo(screen->availableGeometry().size());
        resize(wider);
        m_browser->setViewOptions(m_document->state().viewOptions());
        connect(m_browser, &PictureBrowser::pictureActivated, m_files, &FileCommands::openLocation);
        connect(m_browser, &PictureBrowser::statusMessage, statusBar(),
                [this](const QString &message) { statusBar()->showMessage(message); });
    }
    if (!m_browser->catalog().isOpen() || m_browser->catalog().path() != path) {
        if (m_browser->open(path))
            statusBar()->showMessage(tr("%1: %n picture(s), %2", nullptr, m_browser->catalog().count())
                                         .arg(QFileInfo(path).fileName(), m_browser->catalog().description()));
    }
    if (select.isInsideImage())
        m_browser->select(select);
    m_browserDock->show();
    m_browserDock->raise();
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
    if (m_document->endBootScreens())
        return false;
    return !textEditorActive();
}

TextScreenEditor *MainWindow::textEditor() const { return m_text->editor(); }

bool MainWindow::textMode() const { return m_text->editor() != nullptr; }

bool MainWindow::textEditorActive() const { return m_text->isActive(); }

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
        && static_cast<QWidget *>(watched)->window() == this && m_document->endBootScreens())
        return true;
    if (event->type() == QEvent::Drop && watched == m_pictureWidget)
        m_document->endBootScreens();
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

bool MainWindow::mayClose()
{
    return m_text->close() && m_files->mayReplacePicture();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (mayClose())
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

void MainWindow::quitApplication()
{
    if (mayClose())
        QCoreApplication::quit();
}

void MainWindow::saveWindowGeometry()
{
    SettingsStore::writeBytes(SettingsStore::kMainWindowGeometry, saveGeometry());
}

void MainWindow::loadSettings()
{
    SettingsStore::readViewOptions(m_document->state().viewOptions());
    m_files->loadSettings();
    m_pictureWidget->refresh();
    m_pictureWidget->setZoom(SettingsStore::readZoom());
    m_pictureWidget->setDotGrid(SettingsStore::readDotGrid());
    m_swatchPanel->update();
    updateCheckedStates();
    m_lastColorPalette = m_document->state().paletteType;
    m_lastMonoPalette = m_document->state().oneBitPalette;
}

void MainWindow::saveSettings()
{
    SettingsStore::writeViewSettings(m_document->state().viewOptions(),
                                     {m_files->lastOpenDir(), m_files->lastSaveDir(), m_files->lastTextDir()});
}

void MainWindow::changeView(const std::function<bool(ViewChoice &)> &rule)
{
    ViewOptions &options = m_document->state().viewOptions();
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
    if (m_browser)
        m_browser->setViewOptions(m_document->state().viewOptions());
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
    const MenuStates states = menuStates(m_document->state().viewOptions());
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
    if (m_dotGridAction)
        m_dotGridAction->setChecked(m_pictureWidget->dotGrid());
}

void MainWindow::toggleDotGrid()
{
    m_pictureWidget->setDotGrid(!m_pictureWidget->dotGrid());
    SettingsStore::writeDotGrid(m_pictureWidget->dotGrid());
    updateCheckedStates();
}

void MainWindow::updateEditActions()
{
    const auto set = [this](const char *tag, bool enabled, const QString &text = QString()) {
        if (QAction *a = m_tagged.value(QLatin1String(tag))) {
            a->setEnabled(enabled);
            if (!text.isNull())
                a->setText(text);
        }
    };
    // Cut, Paste, Clear and Select All serve the text editor, which has no
    // menus of its own, whichever window is active.
    for (const char *tag : {"cut", "clear", "selectAll"})
        set(tag, textMode());
    const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
    set("paste", textMode() || (clipboard && clipboard->hasImage()));
    set("copy", true);
    if (textEditorActive()) {
        TextGridWidget *grid = textEditor()->grid();
        set("undo", grid->canUndo(), tr("Undo"));
        set("redo", grid->canRedo(), tr("Redo"));
        return;
    }
    const QUndoStack *history = m_document->history();
    set("undo", history->canUndo(), history->canUndo() ? tr("Undo %1").arg(history->undoText()) : tr("Undo"));
    set("redo", history->canRedo(), history->canRedo() ? tr("Redo %1").arg(history->redoText()) : tr("Redo"));
}

void MainWindow::onConvertToDHGR()
{
    m_document->change(tr("Convert to DHGR"), [](PictureState &s) { convertToDhgr(s); });
}

void MainWindow::onShiftLeft()
{
    m_document->change(tr("Shift Left"), [](PictureState &s) { shiftPicture(s, true); });
}

void MainWindow::onShiftRight()
{
    m_document->change(tr("Shift Right"), [](PictureState &s) { shiftPicture(s, false); });
}

void MainWindow::onNewGraphic()
{
    if (!m_text->close() || !m_files->mayReplacePicture())
        return;
    m_document->change(tr("New Graphic"), [](PictureState &s) { s.clearMemory(); });
    m_document->forgetFile();
    statusBar()->showMessage(tr("New picture"));
}

void MainWindow::onNewText() { m_files->newTextScreen(); }

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
    if (textEditorActive())
        textEditor()->grid()->undo();
    else
        m_document->history()->undo();
    updateEditActions();
}

void MainWindow::onRedo()
{
    if (textEditorActive())
        textEditor()->grid()->redo();
    else
        m_document->history()->redo();
    updateEditActions();
}

void MainWindow::onCut()
{
    if (textMode())
        textEditor()->grid()->cut();
}

void MainWindow::onCopy()
{
    // From the picture window, the frame as an exported PNG holds it.
    if (textEditorActive())
        textEditor()->grid()->copy();
    else
        QGuiApplication::clipboard()->setImage(m_pictureWidget->exportImage());
}

void MainWindow::onPaste()
{
    // An image on the clipboard is imported from the picture window.
    const QImage image = QGuiApplication::clipboard()->image();
    if (textEditorActive() || (image.isNull() && textMode()))
        textEditor()->grid()->paste();
    else if (!image.isNull())
        importImage(image, tr("the clipboard"));
}

void MainWindow::importImage(const QImage &image, const QString &name)
{
    // The text editor would draw its screen over the imported picture.
    if (!m_text->close())
        return;
    ImportDialog dialog(image, m_document->state().viewOptions(), this);
    dialog.setWindowTitle(tr("Import Image — %1").arg(name));
    if (m_importSettings)
        dialog.setSettings(*m_importSettings);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_importSettings = dialog.settings();
    const PictureState &made = dialog.picture();
    m_document->change(tr("Import Image"), [&made](PictureState &s) {
        s.auxMemory = made.auxMemory;
        s.mainMemory = made.mainMemory;
        s.isDhgr = made.isDhgr;
    });
    // The picture is shown as its preview was: a monochrome one in
    // monochrome.
    changeView([&made](ViewChoice &c) {
        if (c.options == made.viewOptions())
            return false;
        c.options = made.viewOptions();
        return true;
    });
    statusBar()->showMessage(tr("Imported: %1").arg(name));
}

void MainWindow::onClear()
{
    if (textMode() && textEditor()->grid()->hasSelection())
        textEditor()->grid()->deleteSelection();
}

void MainWindow::onSelectAll()
{
    if (textMode())
        textEditor()->grid()->selectAll();
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

void MainWindow::onTextScreenChanged(const QString &text)
{
    m_document->drawTextScreen([&text](PictureState &s) { renderTextScreen(s, text, appleFontFamily()); });
    updateEditActions();
}

void MainWindow::onTextEditorClosed()
{
    // The picture was the screen the editor showed: a blank one takes its
    // place, with nothing to save.
    m_document->reset();
    updateEditActions();
}

void MainWindow::onTextModeChanged(bool is80col)
{
    if (is80col && !m_document->state().isDhgr)
        onConvertToDHGR();
}

void MainWindow::runStartup()
{
    if (!m_document->state().startScreen) {
        reopenLastPicture();
        return;
    }
    m_startupSequence = new StartupSequence(m_pictureWidget, this);
    m_startupSequence->setDocument(m_document);
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
        m_document->reset();
    else
        m_files->openRecentPicture(m_files->recentFiles().constFirst());
}
