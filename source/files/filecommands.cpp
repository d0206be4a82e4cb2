#include "filecommands.h"

#include "filechooser.h"
#include "morvowidget.h"
#include "pictureloader.h"
#include "recentlist.h"
#include "settingsstore.h"
#include "builtinscreens.h"
#include "textcodec.h"
#include "textscreeneditor.h"
#include "textscreenfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QWidget>

#include <functional>

namespace {

QString inDirectory(const QString &dir, const QString &name)
{
    return dir.isEmpty() ? name : dir + QLatin1Char('/') + name;
}

QString startDirectory(const QString &dir) { return dir.isEmpty() ? QDir::homePath() : dir; }

// A recent entry's command, run once the window has heard of it (the boot
// screens end first).
template <typename... Args, typename Command>
std::function<void(Args...)> entryCommand(FileCommandsHost *host, Command run)
{
    return [host, run](Args... args) {
        host->commandStarts();
        run(args...);
    };
}

} // namespace

FileCommandsHost::~FileCommandsHost() = default;

QString proposedPicturePath(const QString &currentPicturePath, const QString &lastSaveDir)
{
    if (currentPicturePath.isEmpty())
        return lastSaveDir;
    return inDirectory(lastSaveDir, QFileInfo(currentPicturePath).baseName());
}

QString proposedPngPath(const QString &currentPicturePath, const QString &lastSaveDir)
{
    const QString name = currentPicturePath.isEmpty()
                             ? QStringLiteral("untitled.png")
                             : QFileInfo(currentPicturePath).baseName() + QStringLiteral(".png");
    return inDirectory(lastSaveDir, name);
}

FileCommands::FileCommands(QWidget *window, MorvoWidget *picture, FileCommandsHost *host)
    : QObject(window)
    , m_window(window)
    , m_picture(picture)
    , m_host(host)
    , m_chooser(std::make_unique<FileChooser>())
{
}

FileCommands::~FileCommands() = default;

void FileCommands::setChooser(std::unique_ptr<FileChooser> chooser) { m_chooser = std::move(chooser); }

void FileCommands::setMenus(QMenu *recentGraphicMenu, QMenu *recentTextMenu)
{
    m_recentGraphicMenu = recentGraphicMenu;
    m_recentTextMenu = recentTextMenu;
    rebuildRecentPictureMenu();
    rebuildRecentTextMenu();
}

void FileCommands::loadSettings()
{
    const SettingsStore::Directories dirs = SettingsStore::readDirectories();
    m_lastOpenDir = dirs.open;
    m_lastSaveDir = dirs.save;
    m_lastTextDir = dirs.text;
    m_recentFiles = SettingsStore::readStringList(SettingsStore::kRecentFiles);
    m_recentTextScreens = SettingsStore::readStringList(SettingsStore::kRecentTextScreens);
    rebuildRecentPictureMenu();
    rebuildRecentTextMenu();
}

void FileCommands::onOpenGraphic()
{
    if (!m_host->closeTextEditor())
        return;
    const QString path = m_chooser->openFileName(m_window, tr("Open Apple II Picture"),
                                                 startDirectory(m_lastOpenDir), tr("All Files (*)"));
    if (path.isEmpty())
        return;
    m_lastOpenDir = QFileInfo(path).absolutePath();
    SettingsStore::writeString(SettingsStore::kLastOpenDir, m_lastOpenDir);
    openPictureFile(path);
    m_host->pictureShown();
}

void FileCommands::openRecentPicture(QString path)
{
    if (!m_host->closeTextEditor())
        return;
    if (!QFile::exists(path)) {
        m_recentFiles = withRecentRemoved(m_recentFiles, path);
        rebuildRecentPictureMenu();
        SettingsStore::writeStringList(SettingsStore::kRecentFiles, m_recentFiles, false);
        Q_EMIT statusMessage(tr("File not found: %1").arg(path));
        return;
    }
    // A file that is there but does not load stays listed: it may be on a
    // disk that comes back.
    openPictureFile(path);
    m_host->pictureShown();
}

bool FileCommands::openPictureFile(QString path, bool remember)
{
    if (!m_picture->loadPicture(path))
        return false;
    m_currentPicturePath = path;
    if (remember)
        addRecentPicture(path);
    m_window->setWindowTitle(tr("morvo — %1").arg(QFileInfo(path).fileName()));
    return true;
}

void FileCommands::showPicture(QString path)
{
    if (!m_host->closeTextEditor())
        return;
    openPictureFile(path, false);
    m_host->pictureShown();
}

void FileCommands::openDroppedFile(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
        openTextFile(path, true);
    else
        showPicture(path);
}

void FileCommands::removeRecentPicture(QString path)
{
    m_recentFiles = withRecentRemoved(m_recentFiles, path);
    rebuildRecentPictureMenu();
    SettingsStore::writeStringList(SettingsStore::kRecentFiles, m_recentFiles);
    Q_EMIT statusMessage(tr("Removed: %1").arg(QFileInfo(path).fileName()));
}

void FileCommands::addRecentPicture(QString path)
{
    m_recentFiles = withRecentAdded(m_recentFiles, path, kRecentPictures);
    rebuildRecentPictureMenu();
    SettingsStore::writeStringList(SettingsStore::kRecentFiles, m_recentFiles);
}

void FileCommands::rebuildRecentPictureMenu()
{
    fillRecentPictureMenu(
        m_recentGraphicMenu, m_recentFiles,
        entryCommand<const QString &>(m_host, [this](const QString &path) { openRecentPicture(path); }),
        entryCommand<const QString &>(m_host, [this](const QString &path) { removeRecentPicture(path); }));
}

void FileCommands::onSaveAs()
{
    const bool dhgr = m_picture->state().isDhgr;
    const QString path = m_chooser->saveFileName(m_window, tr("Save As D/HGR"),
                                                 proposedPicturePath(m_currentPicturePath, m_lastSaveDir),
                                                 dhgr ? tr("DHGR (*.dgr)") : tr("HGR (*.hgr)"));
    if (path.isEmpty())
        return;
    rememberSaveDir(path);
    writeFile(path, pictureFileBytes(m_picture->state()), tr("Saved: %1").arg(path));
}

void FileCommands::exportPng()
{
    const QString path = m_chooser->saveFileName(m_window, tr("Save as PNG"),
                                                 proposedPngPath(m_currentPicturePath, m_lastSaveDir),
                                                 tr("PNG (*.png)"));
    if (path.isEmpty())
        return;
    rememberSaveDir(path);
    // Every scan line twice, whatever size and aspect the view shows.
    const QImage frame = m_picture->image().scaled(562, 384, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!frame.save(&buffer, "PNG")) {
        Q_EMIT statusMessage(tr("Not saved: %1 — %2").arg(path, tr("the picture could not be made into a PNG")));
        return;
    }
    writeFile(path, png, tr("Saved: %1").arg(path));
}

void FileCommands::rememberSaveDir(const QString &path)
{
    m_lastSaveDir = QFileInfo(path).absolutePath();
    SettingsStore::writeString(SettingsStore::kLastSaveDir, m_lastSaveDir);
}

bool FileCommands::writeFile(const QString &path, const QByteArray &bytes, const QString &savedMessage)
{
    QString error;
    if (!writeFileSafely(bytes, path, error)) {
        Q_EMIT statusMessage(tr("Not saved: %1 — %2").arg(path, error));
        return false;
    }
    Q_EMIT statusMessage(savedMessage);
    return true;
}

void FileCommands::onOpenText()
{
    const QString path = m_chooser->openFileName(m_window, tr("Open Text Screen"), startDirectory(m_lastTextDir),
                                                 tr("Text Files (*.txt);;All Files (*)"));
    if (path.isEmpty())
        return;
    m_lastTextDir = QFileInfo(path).absolutePath();
    SettingsStore::writeString(SettingsStore::kLastTextDir, m_lastTextDir);
    openTextFile(path, true);
}

void FileCommands::openTextFile(const QString &path, bool addToRecent)
{
    QString text, error;
    if (!readTextScreenFile(path, text, error)) {
        Q_EMIT statusMessage(QFile::exists(path) ? tr("Not loaded: %1").arg(error) : tr("File not found: %1").arg(path));
        return;
    }
    if (!m_host->mayReplaceText())
        return;
    if (addToRecent)
        addRecentTextScreen(path);
    m_host->openInTextEditor(text, path);
    Q_EMIT statusMessage(tr("Opened: %1").arg(path));
}

bool FileCommands::saveTextScreen(const QString &path)
{
    TextScreenEditor *editor = m_host->textEditor();
    if (!editor)
        return false;
    QString target = path.isEmpty() ? editor->filePath() : path;
    if (target.isEmpty())
        target = askTextScreenPath();
    if (target.isEmpty())
        return false;
    m_lastTextDir = QFileInfo(target).absolutePath();
    SettingsStore::writeString(SettingsStore::kLastTextDir, m_lastTextDir);
    bool macRoman = false;
    const QByteArray bytes = encodeTextScreen(editor->screenText(), &macRoman);
    const QString saved = macRoman
                              ? tr("Saved (Mac OS Roman): %1 — In TextEdit/VS Code, reopen as \"Western (Mac OS "
                                   "Roman)\" if the Apple II font looks wrong.")
                                    .arg(target)
                              : tr("Saved (UTF-8): %1").arg(target);
    if (!writeFile(target, bytes, saved))
        return false;
    editor->setFilePath(target);
    editor->setModified(false);
    editor->updateTitle();
    addRecentTextScreen(target);
    return true;
}

QString FileCommands::askTextScreenPath()
{
    return m_chooser->saveFileName(m_window, tr("Save Text Screen"), startDirectory(m_lastTextDir),
                                   tr("Text Files (*.txt)"));
}

bool FileCommands::saveTextScreenAs()
{
    if (!m_host->textEditor())
        return false;
    const QString target = askTextScreenPath();
    return !target.isEmpty() && saveTextScreen(target);
}

void FileCommands::addRecentTextScreen(const QString &path)
{
    m_recentTextScreens = withRecentAdded(m_recentTextScreens, path, kRecentTextScreens);
    rebuildRecentTextMenu();
    SettingsStore::writeStringList(SettingsStore::kRecentTextScreens, m_recentTextScreens);
}

void FileCommands::rebuildRecentTextMenu()
{
    if (!m_recentTextMenu)
        return;
    clearMenuLater(m_recentTextMenu);
    for (const BuiltInTextScreen &screen : builtInTextScreens()) {
        const QString relativePath = screen.path;
        connect(m_recentTextMenu->addAction(screen.name), &QAction::triggered, this,
                entryCommand(m_host, [this, relativePath] { openBuiltInTextScreen(relativePath); }));
    }
    if (m_recentTextScreens.isEmpty())
        return;
    m_recentTextMenu->addSeparator();
    for (const QString &path : m_recentTextScreens)
        connect(m_recentTextMenu->addAction(QFileInfo(path).fileName()), &QAction::triggered, this,
                entryCommand(m_host, [this, path] { openTextFileEntry(path); }));
}

void FileCommands::openTextFileEntry(const QString &path) { openTextFile(path, false); }

void FileCommands::openBuiltInTextScreen(const QString &relativePath)
{
    const QString text = readResourceText(relativePath);
    if (text.isEmpty()) {
        Q_EMIT statusMessage(tr("Missing bundled text screen: %1").arg(relativePath));
        return;
    }
    if (!m_host->mayReplaceText())
        return;
    m_host->openInTextEditor(text, QString());
    for (const BuiltInTextScreen &screen : builtInTextScreens())
        if (screen.path == relativePath)
            Q_EMIT statusMessage(tr("Opened: %1").arg(screen.name));
}
