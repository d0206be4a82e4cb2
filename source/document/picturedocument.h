#pragma once

#include "picturesnapshot.h"
#include "picturestate.h"
#include "picturetools.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <optional>

// The open picture: its memory and view options, the file it came from,
// whether it holds changes not yet saved, its history, the pencil's colour
// and tool, and whether the boot screens are showing over it. The window,
// the file commands, the boot screens and the text editor all go through it
// and listen to it; it knows none of them.
class PictureDocument : public QObject {
    Q_OBJECT

public:
    explicit PictureDocument(QObject *parent = nullptr);
    ~PictureDocument() override;

    PictureState &state() { return m_state; }
    const PictureState &state() const { return m_state; }

    // Where the picture came from, empty for one that was never saved, and
    // the name the title shows for it.
    const QString &filePath() const { return m_filePath; }
    const QString &displayName() const { return m_displayName; }
    // "morvo", or "morvo — NAME", with " •" while there are unsaved changes.
    QString windowTitle() const;
    bool isModified() const { return !m_history.isClean(); }

    QUndoStack *history() { return &m_history; }

    // A picture from a file (or shown under a name) replaces this one: its
    // history starts anew and it holds no changes.
    void open(const PictureSnapshot &picture, const QString &path, const QString &displayName);
    // Forgets the file: the picture stays, untitled.
    void forgetFile();
    // The picture as it is was written whole: no changes left. The file
    // the picture came from stays its name.
    void markSaved();

    // One undoable step: the edit runs on the picture and what it changed
    // becomes a step of the history under the name given. Ends the boot
    // screens first.
    void change(const QString &stepName, const std::function<void(PictureState &)> &edit);
    // A text screen drawn into the picture; the redraws that follow while
    // the same screen is edited join the one step.
    void drawTextScreen(const std::function<void(PictureState &)> &draw);
    // A step made by the view's tools in several moves: the picture as it
    // was when the step began, and the step once it is over.
    void beginStep();
    void endStep(const QString &stepName);

    // A replacement without history: the picture a closed text editor
    // leaves, the blank one of a new start.
    void reset();

    // The pencil's colour index (0 to 15, the main-table entry of a
    // palette). Each of its four bits belongs to one dot phase of the
    // 560-dot grid: dot d is lit by the pencil exactly when bit
    // (8 >> (d mod 4)) is set. The swatches choose it; white to begin with.
    int pencilColor() const { return m_pencilColor; }
    void setPencilColor(int colour);
    Tool tool() const { return m_tool; }
    void setTool(Tool tool);

    // The boot screens borrow the picture and give it back as it was; while
    // they show, the first command ends them before it acts.
    bool bootScreensShowing() const { return m_bootScreens; }
    void setBootScreensShowing(bool showing);
    // Asks the boot screens to end; true when they were showing.
    bool endBootScreens();

Q_SIGNALS:
    // The picture's bytes changed (an edit, an undo, a new picture): the
    // view draws it again.
    void pictureChanged();
    void titleChanged(const QString &title);
    void modifiedChanged(bool modified);
    void pencilColorChanged(int colour);
    void toolChanged(Tool tool);
    void bootScreensEndRequested();

private:
    void push(const PictureSnapshot &before, const QString &stepName, int mergeId);
    void setFile(const QString &path, const QString &displayName);

    PictureState m_state;
    QUndoStack m_history;
    QString m_filePath;
    QString m_displayName;
    std::optional<PictureSnapshot> m_stepStart;
    int m_pencilColor = 15;
    Tool m_tool = Tool::Pencil;
    bool m_bootScreens = false;
};
