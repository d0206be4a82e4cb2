#pragma once

#include <QUndoCommand>

#include <functional>
#include <vector>

struct PictureSnapshot;
struct PictureState;

// One step of the picture's history: a stroke, one use of a tool, a
// conversion, a shift. It keeps only the bytes the step changed (before and
// after, in runs) and the kind of picture on either side, and writes them
// into the picture on undo and redo; then it calls back, so that the owner
// of the picture can show it again.
//
// A step that changed nothing is obsolete from the start: QUndoStack::push
// deletes it instead of keeping it.
class PictureChangeCommand : public QUndoCommand {
public:
    PictureChangeCommand(PictureState &picture, const PictureSnapshot &before, const PictureSnapshot &after,
                         const QString &name, std::function<void()> applied = {}, QUndoCommand *parent = nullptr);

    void undo() override;
    void redo() override;

    // What the step holds in memory, itself included.
    size_t storedBytes() const;

private:
    // A run of changed bytes in the 16 KiB of aux memory followed by main
    // memory; its bytes before the step and then after it lie in m_bytes
    // from data on.
    struct Span {
        quint16 offset;
        quint16 length;
        quint32 data;
    };

    void apply(bool after);

    PictureState &m_picture;
    std::vector<Span> m_spans;
    std::vector<uchar> m_bytes;
    bool m_dhgrBefore;
    bool m_dhgrAfter;
    std::function<void()> m_applied;
};
