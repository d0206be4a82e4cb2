#include "picturechange.h"

#include "picturesnapshot.h"

#include <algorithm>

namespace {

constexpr int kMemoryBytes = 2 * kPictureBytes;

// Unchanged bytes between two runs are kept in one run when that costs less
// than a second run's header: each such byte is stored twice.
constexpr int kLongestJoin = int(sizeof(quint16) + sizeof(quint16) + sizeof(quint32)) / 2;

uchar byteAt(const PictureSnapshot &picture, int offset)
{
    return offset < kPictureBytes ? picture.auxMemory[size_t(offset)]
                                  : picture.mainMemory[size_t(offset - kPictureBytes)];
}

uchar &byteAt(PictureState &picture, int offset)
{
    return offset < kPictureBytes ? picture.auxMemory[size_t(offset)]
                                  : picture.mainMemory[size_t(offset - kPictureBytes)];
}

} // namespace

PictureChangeCommand::PictureChangeCommand(PictureState &picture, const PictureSnapshot &before,
                                           const PictureSnapshot &after, const QString &name,
                                           std::function<void()> applied, QUndoCommand *parent)
    : QUndoCommand(name, parent)
    , m_picture(picture)
    , m_dhgrBefore(before.isDhgr)
    , m_dhgrAfter(after.isDhgr)
    , m_applied(std::move(applied))
{
    int offset = 0;
    while (offset < kMemoryBytes) {
        if (byteAt(before, offset) == byteAt(after, offset)) {
            ++offset;
            continue;
        }
        // A run ends where more than kLongestJoin bytes in a row are the same.
        int end = offset + 1;
        int same = 0;
        for (int i = end; i < kMemoryBytes && same <= kLongestJoin; ++i) {
            if (byteAt(before, i) == byteAt(after, i)) {
                ++same;
            } else {
                same = 0;
                end = i + 1;
            }
        }
        const int length = end - offset;
        m_spans.push_back({quint16(offset), quint16(length), quint32(m_bytes.size())});
        for (int i = offset; i < end; ++i)
            m_bytes.push_back(byteAt(before, i));
        for (int i = offset; i < end; ++i)
            m_bytes.push_back(byteAt(after, i));
        offset = end;
    }
    m_spans.shrink_to_fit();
    m_bytes.shrink_to_fit();
    setObsolete(m_spans.empty() && m_dhgrBefore == m_dhgrAfter);
}

void PictureChangeCommand::undo() { apply(false); }

void PictureChangeCommand::redo() { apply(true); }

size_t PictureChangeCommand::storedBytes() const
{
    return sizeof *this + m_spans.capacity() * sizeof(Span) + m_bytes.capacity()
        + size_t(text().size()) * sizeof(QChar);
}

void PictureChangeCommand::apply(bool after)
{
    for (const Span &span : m_spans) {
        const uchar *bytes = m_bytes.data() + span.data + (after ? span.length : 0);
        for (int i = 0; i < span.length; ++i)
            byteAt(m_picture, span.offset + i) = bytes[i];
    }
    m_picture.isDhgr = after ? m_dhgrAfter : m_dhgrBefore;
    if (m_applied)
        m_applied();
}
