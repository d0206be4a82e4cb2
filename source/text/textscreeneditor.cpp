#include "textscreeneditor.h"

#include "charpalettewidget.h"
#include "textgridwidget.h"
#include "windowfit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>

#include <algorithm>

namespace {

// The editor's settings, each read when the window opens and written when it
// closes.
const QString kGeometryKey = QStringLiteral("texteditor/geometry");
const QString kScaleKey = QStringLiteral("texteditor/scale");
const QString kColumnsKey = QStringLiteral("texteditor/80col");
const QString kInverseKey = QStringLiteral("texteditor/inverseChars");
constexpr int kDefaultScale = 2;

const QString kTitle = QStringLiteral("morvo — Text Editor");

// Nothing worth a question: no character but spaces and line feeds in a
// 40-column screen, or an empty 80-column one.
bool isBlankScreen(const QString &text)
{
    if (text == QLatin1String("80"))
        return true;
    return std::all_of(text.begin(), text.end(),
                       [](QChar ch) { return ch == QLatin1Char(' ') || ch == QLatin1Char('\n'); });
}

} // namespace

TextScreenEditor::TextScreenEditor()
    : QMainWindow(nullptr)
{
    setWindowFlags(windowFlags() | Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kTitle);

    m_grid = new TextGridWidget;
    auto *scrollArea = new QScrollArea(this);
    scrollArea->setWidgetResizable(false);
    scrollArea->setAlignment(Qt::AlignCenter);
    scrollArea->setStyleSheet(QStringLiteral("QScrollArea { background: #404040; }"));
    scrollArea->viewport()->setStyleSheet(QStringLiteral("background: #404040;"));
    scrollArea->setWidget(m_grid);
    setCentralWidget(scrollArea);

    m_palette = new CharPaletteWidget;
    m_paletteDock = new QDockWidget(tr("MouseText"), this);
    m_paletteDock->setWidget(m_palette);
    m_paletteDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_paletteDock->setStyleSheet(QStringLiteral("QDockWidget { border: 1px solid #555; }"));
    addDockWidget(Qt::RightDockWidgetArea, m_paletteDock);
    connect(m_paletteDock, &QDockWidget::topLevelChanged, this, &TextScreenEditor::onDockFloatingChanged);
    connect(m_palette, &CharPaletteWidget::characterClicked, m_grid, &TextGridWidget::insertChar);

    m_modeLabel = new QLabel(this);
    m_scaleButton = new QPushButton(QStringLiteral("1×"), this);
    m_scaleButton->setFixedWidth(36);
    m_scaleButton->setToolTip(QStringLiteral("Toggle 1× / 2× view"));
    connect(m_scaleButton, &QPushButton::clicked, this, &TextScreenEditor::onScaleClicked);
    m_columnsCheck = new QCheckBox(QStringLiteral("80 Columns"), this);
    connect(m_columnsCheck, &QCheckBox::toggled, this, &TextScreenEditor::onColumnsToggled);
    m_inverseCheck = new QCheckBox(QStringLiteral("Inverse"), this);
    connect(m_inverseCheck, &QCheckBox::toggled, m_grid, &TextGridWidget::setInverseChars);

    // A click on these leaves the focus in the grid, so typing goes on where
    // it was (Inverse on, then type); Tab still reaches them.
    for (QWidget *control : {static_cast<QWidget *>(m_inverseCheck), static_cast<QWidget *>(m_columnsCheck),
                             static_cast<QWidget *>(m_scaleButton)})
        control->setFocusPolicy(Qt::TabFocus);
    statusBar()->addWidget(m_modeLabel, 1);
    statusBar()->addPermanentWidget(m_inverseCheck);
    statusBar()->addPermanentWidget(m_columnsCheck);
    statusBar()->addPermanentWidget(m_scaleButton);

    connect(m_grid, &TextGridWidget::contentChanged, this, &TextScreenEditor::onContentChanged);

    restoreSettings();
    updateModeControls();
}

void TextScreenEditor::restoreSettings()
{
    QSettings settings;
    const bool placed = restoreGeometry(settings.value(kGeometryKey).toByteArray());
    m_grid->setScale(settings.value(kScaleKey, kDefaultScale).toInt());
    const bool eightyColumns = settings.value(kColumnsKey, false).toBool();
    {
        const QSignalBlocker blocker(m_columnsCheck);
        m_columnsCheck->setChecked(eightyColumns);
    }
    // The grid is still blank: loading a blank 80-column screen switches it
    // without counting as an edit, which would mark the screen loaded next
    // as modified.
    if (eightyColumns)
        m_grid->setScreenText(QStringLiteral("80"));
    const bool inverse = settings.value(kInverseKey, false).toBool();
    {
        const QSignalBlocker blocker(m_inverseCheck);
        m_inverseCheck->setChecked(inverse);
    }
    m_grid->setInverseChars(inverse);
    m_palette->setScale(m_grid->scale());
    if (!placed)
        fitWindowToContent(this, qobject_cast<QScrollArea *>(centralWidget()));
}

void TextScreenEditor::saveSettings() const
{
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kScaleKey, m_grid->scale());
    settings.setValue(kColumnsKey, m_grid->columnCount() == 80);
    settings.setValue(kInverseKey, m_grid->inverseChars());
}

void TextScreenEditor::loadScreen(const QString &text)
{
    m_grid->setScreenText(text);
    m_modified = false;
    updateTitle();
    updateModeControls();
    Q_EMIT textChanged(m_grid->screenText());
}

void TextScreenEditor::setFilePath(const QString &path)
{
    m_filePath = path;
    updateTitle();
}

QString TextScreenEditor::screenText() const
{
    return m_grid->screenText();
}

void TextScreenEditor::setModified(bool modified)
{
    m_modified = modified;
    updateTitle();
}

void TextScreenEditor::updateTitle()
{
    QString title = m_filePath.isEmpty() ? kTitle : QStringLiteral("morvo — ") + QFileInfo(m_filePath).fileName();
    if (m_modified)
        title += QStringLiteral(" •");
    setWindowTitle(title);
}

void TextScreenEditor::updateModeControls()
{
    // A loaded screen or an undo can bring the other column mode.
    const bool eighty = m_grid->columnCount() == 80;
    {
        const QSignalBlocker blocker(m_columnsCheck);
        m_columnsCheck->setChecked(eighty);
    }
    m_modeLabel->setText(eighty ? QStringLiteral("80 Columns") : QStringLiteral("40 col"));
    m_scaleButton->setText(m_grid->scale() == 2 ? QStringLiteral("1×") : QStringLiteral("2×"));
}

void TextScreenEditor::onColumnsToggled(bool on)
{
    m_grid->setColumnCount(on ? 80 : 40);
    updateModeControls();
    Q_EMIT modeChanged(on);
}

void TextScreenEditor::onScaleClicked()
{
    m_grid->setScale(m_grid->scale() == 2 ? 4 : 2);
    m_palette->setScale(m_grid->scale());
    updateModeControls();
}

void TextScreenEditor::onContentChanged()
{
    m_modified = true;
    updateTitle();
    updateModeControls();
    Q_EMIT textChanged(m_grid->screenText());
}

void TextScreenEditor::onDockFloatingChanged(bool floating)
{
    // A floating palette stays above the editor and the picture; changing
    // the flags hides the dock, so it is shown again either way.
    if (floating)
        m_paletteDock->setWindowFlags(m_paletteDock->windowFlags() | Qt::WindowStaysOnTopHint);
    m_paletteDock->show();
}

bool TextScreenEditor::maybeSave()
{
    if (!m_modified || isBlankScreen(m_grid->screenText()))
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, tr("Save changes?"), tr("The text screen has unsaved changes."),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard) {
        setModified(false);
        return true;
    }
    if (answer != QMessageBox::Save || !m_saveHandler || !m_saveHandler())
        return false;
    setModified(false);
    return true;
}

void TextScreenEditor::closeEvent(QCloseEvent *event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    saveSettings();
    Q_EMIT editorClosed();
    QMainWindow::closeEvent(event);
}
