#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

#include <memory>

#include "picturelocation.h"

class FileChooser;
class QImage;
class MorvoWidget;
class PictureDocument;
class QMenu;
class QWidget;
class TextEditorSession;

// The picture and text screen file commands, the recent lists and the
// dialog directories.
// Nothing is recorded for a file that did not load, and nothing is reported
// as saved before it is on disk whole. A picture with unsaved changes is
// never replaced without asking, nor a text screen.
class FileCommands : public QObject {
    Q_OBJECT

public:
    FileCommands(QWidget *window, PictureDocument *document, MorvoWidget *picture, TextEditorSession *text);
    ~FileCommands() override;

    void setChooser(std::unique_ptr<FileChooser> chooser);
    void setMenus(QMenu *recentGraphicMenu, QMenu *recentTextMenu);
    // The directories and lists as stored; the menus are rebuilt.
    void loadSettings();

    const QStringList &recentFiles() const { return m_recentFiles; }
    const QStringList &recentTextScreens() const { return m_recentTextScreens; }
    const QString &currentPicturePath() const;
    const QString &lastOpenDir() const { return m_lastOpenDir; }
    const QString &lastSaveDir() const { return m_lastSaveDir; }
    const QString &lastTextDir() const { return m_lastTextDir; }

    // Asks "Save changes to the picture?" when it has unsaved changes; true
    // when it may be replaced: nothing to save, Discard, or Save and the
    // file was written whole.
    bool mayReplacePicture();

    void onOpenGraphic();
    // Asks for a folder and lists its pictures.
    void onOpenFolder();
    // Asks for an image file (a photograph, a drawing) to make a picture of.
    void onImportImage();
    // Shows a picture where it lives, asking first about unsaved changes; a
    // picture inside a disk image joins the recent list too.
    void openLocation(const PictureLocation &location);
    // Writes the picture memory; true once the file is written whole.
    bool onSaveAs();
    void exportPng();
    // These replace the recent list, so they take their path by value: a
    // caller may hand in one of the list's own entries.
    void openRecentPicture(QString path);
    void removeRecentPicture(QString path);
    void addRecentPicture(QString path);
    void rebuildRecentPictureMenu();
    // Shows a picture named on the command line or dropped: it becomes the
    // current picture, titled, without joining the recent list.
    void showPicture(QString path);
    // A dropped file: a ".txt" opens in the text editor as Open Text does,
    // an image (PNG, JPEG, ...) is imported, anything else is shown as a
    // picture.
    void openDroppedFile(const QString &path);

    void newTextScreen();
    void onOpenText();
    // Writes the editor's screen to the path, its own file when empty, or
    // one asked for; true only once the file is written.
    bool saveTextScreen(const QString &path = QString());
    // Asks for a new name, then writes the editor's screen there.
    bool saveTextScreenAs();
    void addRecentTextScreen(const QString &path);
    void rebuildRecentTextMenu();
    void openTextFileEntry(const QString &path);
    void openBuiltInTextScreen(const QString &relativePath);

Q_SIGNALS:
    void statusMessage(const QString &message);
    // A disk image or a folder was opened: its pictures are to be listed,
    // with the one at select chosen when it names one.
    void collectionOpened(const QString &path, const PictureLocation &select);
    // An image was read to be made into a picture; name says where from.
    void imageToImport(const QImage &image, const QString &name);

private:
    // Loads a picture and, when it loaded, makes it the current one: its
    // name in the title, its path at the head of the recent list.
    bool openPictureFile(QString path, bool remember = true);
    bool showLocation(const PictureLocation &location, bool remember);
    void importImageFile(const QString &path);
    // A disk image or a folder: listed, remembered, nothing replaced.
    void openCollection(const QString &path, const PictureLocation &select = {});
    // Reads a text screen file into the editor, asking about unsaved text;
    // says what it did.
    void openTextFile(const QString &path, bool addToRecent);
    QString askTextScreenPath();
    // Before a screen is shown in the editor: the question about unsaved
    // text, or, when the editor is not open yet, about the picture.
    bool mayOpenTextScreen();
    void rememberSaveDir(const QString &path);
    // Writes and reports; false when the file could not be written.
    bool writeFile(const QString &path, const QByteArray &bytes, const QString &savedMessage);

    // A recent entry's command: the boot screens end before it runs.
    template <typename... Args, typename Command>
    std::function<void(Args...)> entryCommand(Command run);

    QWidget *m_window;
    PictureDocument *m_document;
    MorvoWidget *m_picture;
    TextEditorSession *m_text;
    std::unique_ptr<FileChooser> m_chooser;
    QMenu *m_recentGraphicMenu = nullptr;
    QMenu *m_recentTextMenu = nullptr;
    QStringList m_recentFiles;
    QStringList m_recentTextScreens;
    QString m_lastOpenDir;
    QString m_lastSaveDir;
    QString m_lastTextDir;
};

// The names the save dialogs propose: the picture's base name (up to its
// first dot) in the last save directory; Save As adds no extension.
QString proposedPicturePath(const QString &currentPicturePath, const QString &lastSaveDir);
QString proposedPngPath(const QString &currentPicturePath, const QString &lastSaveDir);
