#include "filecommands.h"

#include "filechooser.h"
#include "morvowidget.h"
#include "pictureloader.h"
#include "recentlist.h"
#include "settingsstore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QWidget>

namespace {

QString inDirectory(const QString &dir, const QString &name)
{
    return dir.isEmpty() ? name : dir + QLatin1Char('/') + name;
}

QString startDirectory(const QString &dir) { return dir.isEmpty() ? QDir::homePath() : dir; }

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

void FileCommands::openRecentPicture(const QString &path)
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

bool FileCommands::openPictureFile(const QString &path)
{
    if (!m_picture->loadPicture(path))
        return false;
    m_currentPicturePath = path;
    addRecentPicture(path);
    m_window->setWindowTitle(tr("morvo — %1").arg(QFileInfo(path).fileName()));
    return true;
}

void FileCommands::removeRecentPicture(const QString &path)
{
    m_recentFiles = withRecentRemoved(m_recentFiles, path);
    rebuildRecentPictureMenu();
    SettingsStore::writeStringList(SettingsStore::kRecentFiles, m_recentFiles);
    Q_EMIT statusMessage(tr("Removed: %1").arg(QFileInfo(path).fileName()));
}

void FileCommands::addRecentPicture(const QString &path)
{
    m_recentFiles = withRecentAdded(m_recentFiles, path, kRecentPictures);
    rebuildRecentPictureMenu();
    SettingsStore::writeStringList(SettingsStore::kRecentFiles, m_recentFiles);
}

void FileCommands::rebuildRecentPictureMenu()
{
    fillRecentPictureMenu(
        m_recentGraphicMenu, m_recentFiles, [this](const QString &path) { openRecentPicture(path); },
        [this](const QString &path) { removeRecentPicture(path); });
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
    writeFile(path, pictureFileBytes(m_picture->state()));
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
    writeFile(path, png);
}

void FileCommands::rememberSaveDir(const QString &path)
{
    m_lastSaveDir = QFileInfo(path).absolutePath();
    SettingsStore::writeString(SettingsStore::kLastSaveDir, m_lastSaveDir);
}

void FileCommands::writeFile(const QString &path, const QByteArray &bytes)
{
    QString error;
    if (writeFileBytes(path, bytes, error))
        Q_EMIT statusMessage(tr("Saved: %1").arg(path));
    else
        Q_EMIT statusMessage(tr("Not saved: %1 — %2").arg(path, error));
}
