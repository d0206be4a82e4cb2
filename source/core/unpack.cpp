#include "unpack.h"

#include "picturetypes.h"

#include <QCoreApplication>

#include <cstring>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Unpack", text);
}

// A reader that refuses to step past the end of the packed bytes.
class Input {
public:
    explicit Input(const QByteArray &bytes)
        : m_data(reinterpret_cast<const uchar *>(bytes.constData())), m_size(bytes.size())
    {
    }

    bool atEnd() const { return m_at >= m_size; }
    bool has(qsizetype n) const { return m_size - m_at >= n; }
    uchar next() { return m_data[m_at++]; }
    const uchar *take(qsizetype n)
    {
        const uchar *p = m_data + m_at;
        m_at += n;
        return p;
    }

private:
    const uchar *m_data;
    qsizetype m_size;
    qsizetype m_at = 0;
};

constexpr uchar kLz4fhMagic = 0x66;
// After a match length nibble of 15, the next byte is added to it, except
// these two marks.
constexpr uchar kLz4fhNoMatch = 253;
constexpr uchar kLz4fhEnd = 254;
constexpr int kLz4fhLongNibble = 15;
constexpr int kLz4fhShortestMatch = 4;

QString pastTheEnd(qsizetype size)
{
    return tr("a run goes past the end of the picture's %1 bytes").arg(thousands(size));
}

} // namespace

qsizetype unpackPackBytes(const QByteArray &packed, QByteArray &out, QString &error)
{
    Input in(packed);
    uchar *dst = reinterpret_cast<uchar *>(out.data());
    const qsizetype size = out.size();
    qsizetype at = 0;
    while (at < size && !in.atEnd()) {
        const uchar flag = in.next();
        const qsizetype count = (flag & 0x3F) + 1;
        const int kind = flag >> 6;
        // Literal bytes, one byte, a four-byte pattern, one byte.
        const qsizetype follows = kind == 0 ? count : kind == 2 ? 4 : 1;
        const qsizetype produces = kind == 0 || kind == 1 ? count : 4 * count;
        if (!in.has(follows)) {
            error = tr("the packed data ends inside a run, after %1 bytes").arg(thousands(at));
            return -1;
        }
        if (size - at < produces) {
            error = pastTheEnd(size);
            return -1;
        }
        const uchar *src = in.take(follows);
        if (kind == 2) {
            for (qsizetype i = 0; i < produces; ++i)
                dst[at + i] = src[i % 4];
        } else if (kind == 0) {
            std::memcpy(dst + at, src, size_t(count));
        } else {
            std::memset(dst + at, src[0], size_t(produces));
        }
        at += produces;
    }
    return at;
}

qsizetype unpackLz4fh(const QByteArray &packed, QByteArray &out, QString &error)
{
    Input in(packed);
    if (in.atEnd() || in.next() != kLz4fhMagic) {
        error = tr("not LZ4FH data (it does not start with $66)");
        return -1;
    }
    uchar *dst = reinterpret_cast<uchar *>(out.data());
    const qsizetype size = out.size();
    qsizetype at = 0;
    const auto truncated = [&] {
        error = tr("the packed data ends inside a chunk, after %1 bytes").arg(thousands(at));
        return -1;
    };
    while (!in.atEnd()) {
        const uchar token = in.next();
        qsizetype literals = token >> 4;
        if (literals == kLz4fhLongNibble) {
            if (in.atEnd())
                return truncated();
            literals += in.next();
        }
        if (!in.has(literals))
            return truncated();
        if (size - at < literals) {
            error = pastTheEnd(size);
            return -1;
        }
        std::memcpy(dst + at, in.take(literals), size_t(literals));
        at += literals;

        qsizetype length = token & 0x0F;
        if (length == kLz4fhLongNibble) {
            if (in.atEnd())
                return truncated();
            const uchar extra = in.next();
            if (extra == kLz4fhEnd)
                return at;
            if (extra == kLz4fhNoMatch)
                continue;
            length += extra;
        }
        length += kLz4fhShortestMatch;
        if (!in.has(2))
            return truncated();
        const uchar *offsetBytes = in.take(2);
        qsizetype from = offsetBytes[0] | (offsetBytes[1] << 8);
        if (from >= at) {
            error = tr("a match refers to byte %1, which is not unpacked yet").arg(thousands(from));
            return -1;
        }
        if (size - at < length) {
            error = pastTheEnd(size);
            return -1;
        }
        // One byte at a time: a match may overlap the bytes it writes,
        // which repeats a pattern.
        for (qsizetype i = 0; i < length; ++i)
            dst[at++] = dst[from++];
    }
    return at;
}
