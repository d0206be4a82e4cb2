#include "filecommands.h"

#include "filechooser.h"
#include "imagefile.h"
#include "picturecatalog.h"
#include "picturedocument.h"
#include "texteditorsession.h"
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
#include <QMessageBox>
#include <QWidget>

#include <functional>

namespace {

QString inDirectory(const QString &dir, const QString &name)
{
    return dir.isEmpty() ? name : dir + QLatin1Char('/') + name;
}

QString startDirectory(const QString &dir) { return dir.isEmpty() ? QDir::homePath() : dir; }

} // namespace

template <typename... Args, typename Command>
std::function<void(Args...)> FileCommands::entryCommand(Command run)
{
    return [document = m_document, run](Args... args) {
        document->endBootScreens();
        run(args...);
    };
}

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

FileCommands::FileCommands(QWidget *window, PictureDocument *document, MorvoWidget *picture, TextEditorSession *text)
    : QObject(window)
    , m_window(window)
    , m_document(document)
    , m_picture(picture)
    , m_text(text)
    , m_chooser(std::make_unique<FileChooser>())
{
    m_text->setSaveHandler([this] { return saveTextScreen(); });
}

const QString &FileCommands::currentPicturePath() const { return m_document->filePath(); }

bool FileCommands::mayReplacePicture()
{
    if (!m_document->isModified())
        return true;
    QMessageBox box(QMessageBox::Question, tr("morvo"), tr("Save changes to the picture?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_window);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return onSaveAs();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
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
    if (!m_text->close() || !mayReplacePicture())
        return;
    const QString path = m_chooser->openFileName(m_window, tr("Open Apple II Picture"),
                                                 startDirectory(m_lastOpenDir), tr("All Files (*)"));
    if (path.isEmpty())
        return;
    m_lastOpenDir = QFileInfo(path).absolutePath();
    SettingsStore::writeString(SettingsStore::kLastOpenDir, m_lastOpenDir);
    openPictureFile(path);
}

void FileCommands::onOpenFolder()
{
    const QString path = m_chooser->folderName(m_window, tr("Open Folder of Pictures"), startDirectory(m_lastOpenDir));
    if (path.isEmpty())
        return;
    m_lastOpenDir = path;
    SettingsStore::writeString(SettingsStore::kLastOpenDir, m_lastOpenDir);
    openCollection(path);
}

void FileCommands::onImportImage()
{
    const QString path = m_chooser->openFileName(
        m_window, tr("Import Image"), startDirectory(m_lastOpenDir),
        tr("Images (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.tif *.tiff);;All Files (*)"));
    if (path.isEmpty())
        return;
    m_lastOpenDir = QFileInfo(path).absolutePath();
    SettingsStore::writeString(SettingsStore::kLastOpenDir, m_lastOpenDir);
    importImageFile(path);
}

void FileCommands::importImageFile(const QString &path)
{
    QImage image;
    QString error;
    if (!readImageFile(path, image, error)) {
        Q_EMIT statusMessage(tr("Not imported: %1").arg(error));
        return;
    }
    Q_EMIT imageToImport(image, QFileInfo(path).fileName());
}

void FileCommands::openCollection(const QString &path, const PictureLocation &select)
{
    addRecentPicture(path);
    Q_EMIT collectionOpened(path, select);
}

void FileCommands::openLocation(const PictureLocation &location)
{
    if (!m_text->close() || !mayReplacePicture())
        return;
    showLocation(location, location.isInsideImage());
}

void FileCommands::openRecentPicture(QString path)
{
    const PictureLocation location = PictureLocation::fromString(path);
    if (!QFileInfo::exists(location.path)) {
        m_recentFiles = withRecentRemoved(m_recentFiles, path);
        rebuildRecentPictureMenu();
        SettingsStore::writeStringList(SettingsStore::kRecentFiles, m_recentFiles, false);
        Q_EMIT statusMessage(tr("File not found: %1").arg(location.fullName()));
        return;
    }
    // A disk image or folder opens its list; a picture inside an image is
    // chosen in the image's list as it opens.
    if (!location.isInsideImage() && PictureCatalog::isCollection(location.path)) {
        openCollection(location.path);
        return;
    }
    if (location.isInsideImage())
        Q_EMIT collectionOpened(location.path, location);
    if (!m_text->close() || !mayReplacePicture())
        return;
    // A file that is there but does not load stays listed: it may be on a
    // disk that comes back.
    showLocation(location, true);
}

bool FileCommands::openPictureFile(QString path, bool remember)
{
    if (PictureCatalog::isCollection(path)) {
        openCollection(path);
        return true;
    }
    return showLocation({path, QString()}, remember);
}

bool FileCommands::showLocation(const PictureLocation &location, bool remember)
{
    const PictureFile file = loadPictureLocation(location);
    if (!file.loaded()) {
        Q_EMIT statusMessage(tr("Not loaded: %1").arg(file.error));
        return false;
    }
    // Save As proposes the picture's own name, also for one in an image.
    const QString name = location.isInsideImage() ? location.innerPath.section(QLatin1Char('/'), -1) : location.path;
    m_document->open({file.auxMemory, file.mainMemory, file.isDhgr()}, name, location.title());
    QString message = tr("Loaded: %1").arg(location.isInsideImage() ? location.fullName() : location.path);
    if (!file.source.isEmpty() || file.displayHint >= 0)
        message += QStringLiteral(" (%1)").arg(file.describe());
    Q_EMIT statusMessage(message);
    if (remember)
        addRecentPicture(location.toString());
    return true;
}

void FileCommands::showPicture(QString path)
{
    if (PictureCatalog::isCollection(path)) {
        openCollection(path);
        return;
    }
    if (!m_text->close() || !mayReplacePicture())
        return;
    openPictureFile(path, false);
}

void FileCommands::openDroppedFile(const QString &path)
{
    static const QStringList images{QStringLiteral("png"), QStringLiteral("jpg"),  QStringLiteral("jpeg"),
                                    QStringLiteral("bmp"), QStringLiteral("gif"),  QStringLiteral("webp"),
                                    QStringLiteral("tif"), QStringLiteral("tiff")};
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("txt"))
        openTextFile(path, true);
    else if (images.contains(suffix))
        importImageFile(path);
    else
        showPicture(path);
}

void FileCommands::removeRecentPicture(QString path)
{
    m_recentFiles = withRecentRemoved(m_recentFiles, path);
    rebuildRecentPictureMenu();
    SettingsStore::writeStringList(SettingsStore::kRecentFiles, m_recentFiles);
    Q_EMIT statusMessage(tr("Removed: %1").arg(PictureLocation::fromString(path).title()));
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
        entryCommand<const QString &>([this](const QString &path) { openRecentPicture(path); }),
        entryCommand<const QString &>([this](const QString &path) { removeRecentPicture(path); }));
}

bool FileCommands::onSaveAs()
{
    const bool dhgr = m_document->state().isDhgr;
    const QString path = m_chooser->saveFileName(m_window, tr("Save As D/HGR"),
                                                 proposedPicturePath(currentPicturePath(), m_lastSaveDir),
                                                 dhgr ? tr("DHGR (*.dgr)") : tr("HGR (*.hgr)"));
    if (path.isEmpty())
        return false;
    rememberSaveDir(path);
    if (!writeFile(path, pictureFileBytes(m_document->state()), tr("Saved: %1").arg(path)))
        return false;
    m_document->markSaved();
    return true;
}

void FileCommands::exportPng()
{
    const QString path = m_chooser->saveFileName(m_window, tr("Save as PNG"),
                                                 proposedPngPath(currentPicturePath(), m_lastSaveDir),
                                                 tr("PNG (*.png)"));
    if (path.isEmpty())
        return;
    rememberSaveDir(path);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!m_picture->exportImage().save(&buffer, "PNG")) {
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

void FileCommands::newTextScreen()
{
    if (!mayOpenTextScreen())
        return;
    m_text->open(QString(), QString());
    Q_EMIT statusMessage(tr("New text screen"));
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
    if (!mayOpenTextScreen())
        return;
    if (addToRecent)
        addRecentTextScreen(path);
    m_text->open(text, path);
    Q_EMIT statusMessage(tr("Opened: %1").arg(path));
}

bool FileCommands::saveTextScreen(const QString &path)
{
    TextScreenEditor *editor = m_text->editor();
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

bool FileCommands::mayOpenTextScreen()
{
    // Opening the editor draws its screen over the picture; once it is open
    // the picture is the screen it shows.
    if (m_text->isOpen())
        return m_text->mayReplaceText();
    return mayReplacePicture();
}

QString FileCommands::askTextScreenPath()
{
    return m_chooser->saveFileName(m_window, tr("Save Text Screen"), startDirectory(m_lastTextDir),
                                   tr("Text Files (*.txt)"));
}

bool FileCommands::saveTextScreenAs()
{
    if (!m_text->editor())
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
                entryCommand([this, relativePath] { openBuiltInTextScreen(relativePath); }));
    }
    if (m_recentTextScreens.isEmpty())
        return;
    m_recentTextMenu->addSeparator();
    for (const QString &path : m_recentTextScreens)
        connect(m_recentTextMenu->addAction(QFileInfo(path).fileName()), &QAction::triggered, this,
                entryCommand([this, path] { openTextFileEntry(path); }));
}

void FileCommands::openTextFileEntry(const QString &path) { openTextFile(path, false); }

void FileCommands::openBuiltInTextScreen(const QString &relativePath)
{
    const QString text = readResourceText(relativePath);
    if (text.isEmpty()) {
        Q_EMIT statusMessage(tr("Missing bundled text screen: %1").arg(relativePath));
        return;
    }
    if (!mayOpenTextScreen())
        return;
    m_text->open(text, QString());
    for (const BuiltInTextScreen &screen : builtInTextScreens())
        if (screen.path == relativePath)
            Q_EMIT statusMessage(tr("Opened: %1").arg(screen.name));
}
