#include "render.h"

#include "palettes.h"
#include "picturestate.h"
#include "rowbase.h"
#include "viewoptions.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <utility>

// Every pass works a scan line at a time on bit rows (bit i = column i, least
// significant first) and table look-ups, so that a whole frame costs a few
// times what it takes to fill it. The rules are those of the Apple II video
// circuits as the view options describe them; the tests check them pixel by
// pixel and whole frames by checksum. The colour tables that depend on the
// palette are kept for the last colours used, one set per thread, so that
// pictures may be rendered on several threads at once.

namespace {

// The table engines' colour for a five-column window, [variant][phase][w]:
// variant 0 "Jex: Venderoft", 1 "Jex: Double", 2 "Jex: Sharp". Entries of
// 128 and more (variant 2 only) are resolved by looking one column further
// out on each side.
constexpr uchar jexWindowTable[3][4][32] = {
    {
        /* variant 0 phase 0 */ {0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15, 2, 2, 6, 6, 10, 10, 14, 14, 3, 3, 7, 7, 11, 11, 15, 15},
        /* variant 0 phase 1 */ {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 1, 1, 3, 3, 5, 5, 7, 7, 9, 9, 11, 11, 13, 13, 15, 15},
        /* variant 0 phase 2 */ {0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15, 15},
        /* variant 0 phase 3 */ {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 4, 12, 12, 5, 5, 13, 13, 6, 6, 14, 14, 7, 7, 15, 15},
    },
    {
        /* variant 1 phase 0 */ {0, 0, 20, 22, 8, 10, 12, 14, 17, 19, 5, 23, 9, 11, 13, 15, 0, 18, 22, 22, 10, 10, 14, 14, 19, 19, 23, 23, 11, 11, 15, 15},
        /* variant 1 phase 1 */ {0, 0, 18, 19, 4, 5, 6, 7, 24, 25, 10, 27, 12, 13, 14, 15, 0, 17, 19, 19, 5, 5, 7, 7, 25, 25, 27, 27, 13, 13, 15, 15},
        /* variant 1 phase 2 */ {0, 0, 17, 25, 2, 10, 3, 11, 20, 28, 5, 29, 6, 14, 7, 15, 0, 24, 25, 25, 10, 10, 11, 11, 28, 28, 29, 29, 14, 14, 15, 15},
        /* variant 1 phase 3 */ {0, 0, 24, 28, 1, 5, 9, 13, 18, 22, 10, 30, 3, 7, 11, 15, 0, 20, 28, 28, 5, 5, 13, 13, 22, 22, 30, 30, 7, 7, 15, 15},
    },
    {
        /* variant 2 phase 0 */ {0, 0, 132, 134, 8, 10, 12, 142, 129, 3, 5, 7, 9, 11, 13, 15, 0, 130, 6, 6, 10, 10, 14, 14, 131, 3, 7, 7, 139, 11, 15, 15},
        /* variant 2 phase 1 */ {0, 0, 130, 131, 4, 5, 6, 135, 136, 9, 10, 11, 12, 13, 14, 15, 0, 129, 3, 3, 5, 5, 7, 7, 137, 9, 11, 11, 141, 13, 15, 15},
        /* variant 2 phase 2 */ {0, 0, 129, 137, 2, 10, 3, 139, 132, 12, 5, 13, 6, 14, 7, 15, 0, 136, 9, 9, 10, 10, 11, 11, 140, 12, 13, 13, 142, 14, 15, 15},
        /* variant 2 phase 3 */ {0, 0, 136, 140, 1, 5, 9, 141, 130, 6, 10, 14, 3, 7, 11, 15, 0, 132, 12, 12, 5, 5, 13, 13, 134, 6, 14, 14, 135, 7, 15, 15},
    },
};



// The columns of a scan line, one bit each, least significant first, with a
// word of unlit columns on either side so that windows reaching past an
// edge read unlit columns. Word 1 holds columns 0 to 63, and byte m of the
// monochrome bitmap matches columns 8m to 8m + 7.
class BitRow {
public:
    static constexpr int kPad = 64;
    static constexpr int kWords = 12;  // columns -64 .. 703

    void clear() { m_words.fill(0); }

    bool test(int column) const { return (m_words[index(column)] >> shift(column)) & 1; }
    void set(int column) { m_words[index(column)] |= quint64(1) << shift(column); }
    void reset(int column) { m_words[index(column)] &= ~(quint64(1) << shift(column)); }

    // count (at most 56) bits from column on.
    quint64 window(int column, int count) const
    {
        const int b = column + kPad;
        const int s = b & 63;
        const quint64 v = (m_words[size_t(b >> 6)] >> s) | ((m_words[size_t(b >> 6) + 1] << 1) << (63 - s));
        return v & ((quint64(1) << count) - 1);
    }

    // 64 columns from column on.
    quint64 window64(int column) const
    {
        const int b = column + kPad;
        const int s = b & 63;
        return (m_words[size_t(b >> 6)] >> s) | ((m_words[size_t(b >> 6) + 1] << 1) << (63 - s));
    }

    // Widens every lit column into a run of 1 + extra columns, cut off at
    // the frame's right edge (plotted runs never pass it either).
    void widen(int extra)
    {
        for (int i = 0; i < std::min(extra, kFrameWidth); ++i) {
            for (int n = kWords - 1; n > 0; --n)
                m_words[size_t(n)] |= (m_words[size_t(n)] << 1) | (m_words[size_t(n) - 1] >> 63);
        }
        for (int x = kFrameWidth; x < (kWords - 1) * 64; ++x)
            reset(x);
    }

    // Unlights every column from column on.
    void clearFrom(int column)
    {
        const size_t n = index(column);
        m_words[n] &= (quint64(1) << shift(column)) - 1;
        for (size_t i = n + 1; i < kWords; ++i)
            m_words[i] = 0;
    }

    quint64 &word(int n) { return m_words[size_t(n)]; }
    quint64 word(int n) const { return m_words[size_t(n)]; }

private:
    static size_t index(int column) { return size_t((column + kPad) >> 6); }
    static int shift(int column) { return (column + kPad) & 63; }

    std::array<quint64, kWords> m_words{};
};

// Appends runs of bits to a row from column 0 on, a word at a time.
class BitWriter {
public:
    explicit BitWriter(BitRow &row) : m_row(row) { m_row.clear(); }
    ~BitWriter() { m_row.word(m_word) = m_acc; }

    void append(quint64 bits, int count)
    {
        m_acc |= bits << m_used;
        m_used += count;
        if (m_used >= 64) {
            m_row.word(m_word++) = m_acc;
            m_used -= 64;
            m_acc = m_used ? bits >> (count - m_used) : 0;
        }
    }

private:
    BitRow &m_row;
    quint64 m_acc = 0;
    int m_used = 0;
    int m_word = 1;
};

// The bitmap keeps its leftmost column in the most significant bit of each
// byte; a bit row keeps it in the least significant.
quint64 reverseBitsInBytes(quint64 v)
{
    v = ((v >> 1) & 0x5555555555555555ULL) | ((v & 0x5555555555555555ULL) << 1);
    v = ((v >> 2) & 0x3333333333333333ULL) | ((v & 0x3333333333333333ULL) << 2);
    v = ((v >> 4) & 0x0F0F0F0F0F0F0F0FULL) | ((v & 0x0F0F0F0F0F0F0F0FULL) << 4);
    return v;
}

// Eight picture bytes (bit 0 the leftmost dot) to their 56 dots in a row,
// high bits dropped.
quint64 packDots(quint64 v)
{
    v &= 0x7F7F7F7F7F7F7F7FULL;
    v = (v & 0x007F007F007F007FULL) | ((v & 0x7F007F007F007F00ULL) >> 1);
    v = (v & 0x00003FFF00003FFFULL) | ((v & 0x3FFF00003FFF0000ULL) >> 2);
    return (v & 0x000000000FFFFFFFULL) | ((v & 0x0FFFFFFF00000000ULL) >> 4);
}

// Four aux and four main bytes interleaved as a DHGR line lays them out.
quint64 interleave(quint32 aux, quint32 main)
{
    const auto spread = [](quint64 x) {
        x = (x | (x << 16)) & 0x0000FFFF0000FFFFULL;
        return (x | (x << 8)) & 0x00FF00FF00FF00FFULL;
    };
    return spread(aux) | (spread(main) << 8);
}

quint32 loadQuad(const uchar *p)
{
    quint32 v;
    std::memcpy(&v, p, 4);
    return qFromLittleEndian(v);
}

quint64 loadOctet(const uchar *p)
{
    quint64 v;
    std::memcpy(&v, p, 8);
    return qFromLittleEndian(v);
}

// A DHGR line's 560 dots into a row, continuing where the writer stands.
void appendDhgrDots(const PictureState &s, BitWriter &out)
{
    const uchar *aux = s.auxMemory.data() + s.rowBase;
    const uchar *main = s.mainMemory.data() + s.rowBase;
    for (int k = 0; k < kBytesPerLine; k += 4)
        out.append(packDots(interleave(loadQuad(aux + k), loadQuad(main + k))), 56);
}

using Rgba = std::array<uchar, 4>;
using Quad = std::array<uchar, 16>;  // four pixels
using Octet = std::array<uchar, 32>;  // eight pixels

// Copies sizeof...(J) quads, quad j picked by the Width bits of bits from bit
// Step * j on. Spelled out, so that every shift is a constant: loops like
// this one write most of every frame.
template <int Step, int Width, size_t... J>
void copyQuads(uchar *out, const Quad *table, quint64 bits, std::index_sequence<J...>)
{
    constexpr quint64 mask = (quint64(1) << Width) - 1;
    (std::memcpy(out + 16 * J, table[(bits >> (Step * J)) & mask].data(), 16), ...);
}

template <size_t... J>
void copyOctets(uchar *out, const Octet *table, quint64 bits, std::index_sequence<J...>)
{
    (std::memcpy(out + 32 * J, table[(bits >> (8 * J)) & 255].data(), 32), ...);
}

// Eight pixels for every byte of a row of bits (bit 0 leftmost), made from
// the quads that each half of the byte stands for. Kept for the last quads.
struct OctetTable {
    std::array<Quad, 16> quads{};
    bool built = false;
    std::array<Octet, 256> octets{};

    const Octet *use(const std::array<Quad, 16> &wanted)
    {
        if (!built || wanted != quads) {
            quads = wanted;
            built = true;
            for (size_t v = 0; v < 256; ++v) {
                std::memcpy(octets[v].data(), quads[v & 15].data(), 16);
                std::memcpy(octets[v].data() + 16, quads[v >> 4].data(), 16);
            }
        }
        return octets.data();
    }
};

Rgba rgbaOf(QRgb c)
{
    return {uchar(qRed(c)), uchar(qGreen(c)), uchar(qBlue(c)), 255};
}

constexpr Rgba kBackground = {0, 0, 0, 255};

Rgba entryRgba(const PictureState &s, int colour)
{
    return rgbaOf(paletteColor(s, s.paletteType, colour));
}

uchar *targetRow(const PictureState &s, int row)
{
    return s.targetPixels + size_t(row) * s.targetRowBytes;
}

// The lit columns of a scan line from the monochrome bitmap (set = black).
void loadBitmapRow(const PictureState &s, int row, BitRow &lit)
{
    uchar bytes[72];
    std::memcpy(bytes, s.monoBitmap.data() + size_t(row) * kMonoRowBytes, kMonoRowBytes);
    bytes[71] = 0xFF;  // past the row: black, never lit
    lit.word(0) = 0;
    for (int n = 0; n < 9; ++n) {
        quint64 v;
        std::memcpy(&v, bytes + 8 * n, 8);
        lit.word(n + 1) = reverseBitsInBytes(~qFromLittleEndian(v));
    }
    lit.word(10) = 0;
}

void storeBitmapRow(PictureState &s, int row, const BitRow &lit)
{
    uchar bytes[72];
    for (int n = 0; n < 9; ++n) {
        const quint64 v = qToLittleEndian(~reverseBitsInBytes(lit.word(n + 1)));
        std::memcpy(bytes + 8 * n, &v, 8);
    }
    std::memcpy(targetRow(s, row), bytes, kMonoRowBytes);
}

// HGR monochrome, a byte at a time: byte k covers columns 14k to 14k + 13,
// each dot two columns wide (one when the caller asks for single columns).
// With the half-dot delay a byte whose high bit is set moves its dots one
// column right; its first column then shows dot 6 of the byte before (the
// gap is closed), and an undelayed byte cuts that dot's second half off.
// So each byte's columns depend on the byte and bit 6 of the one before.
struct HgrMonoSegments {
    std::array<quint16, 256> plain[2];           // [double width][byte]
    std::array<std::array<quint16, 2>, 256> delayed;  // [byte][bit 6 before]

    HgrMonoSegments()
    {
        for (int b = 0; b < 256; ++b) {
            int spread = 0;
            for (int i = 0; i < 7; ++i)
                if (b & (1 << i))
                    spread |= 1 << (2 * i);
            plain[0][size_t(b)] = quint16(spread);
            plain[1][size_t(b)] = quint16(spread | (spread << 1));
            for (int before = 0; before < 2; ++before) {
                const int doubled = spread | (spread << 1);
                int seg = (b & 0x80) ? ((doubled << 1) | before) : doubled;
                delayed[size_t(b)][size_t(before)] = quint16(seg & 0x3FFF);
            }
        }
    }
};

const HgrMonoSegments &hgrMonoSegments()
{
    static const HgrMonoSegments segments;
    return segments;
}

void hgrMonoBits(const PictureState &s, BitRow &lit)
{
    const uchar *line = s.mainMemory.data() + s.rowBase;
    const HgrMonoSegments &seg = hgrMonoSegments();
    // Four bytes, 56 columns, to each append.
    if (s.bitShifting || s.jexEngine) {
        BitWriter out(lit);
        int before = 0;
        for (int k = 0; k < kBytesPerLine; k += 4) {
            quint64 columns = 0;
            for (int j = 0; j < 4; ++j) {
                columns |= quint64(seg.delayed[line[k + j]][size_t(before)]) << (14 * j);
                before = (line[k + j] >> 6) & 1;
            }
            out.append(columns, 56);
        }
        // Column 560 holds the second half of a delayed last dot.
        const uchar last = line[kBytesPerLine - 1];
        out.append((last >> 7) & (last >> 6) & 1, 1);
        return;
    }
    {
        BitWriter out(lit);
        const auto &plain = seg.plain[s.dotWidth == 2 ? 1 : 0];
        for (int k = 0; k < kBytesPerLine && s.dotWidth > 0; k += 4)
            out.append(quint64(plain[line[k]]) | (quint64(plain[line[k + 1]]) << 14)
                           | (quint64(plain[line[k + 2]]) << 28) | (quint64(plain[line[k + 3]]) << 42),
                       56);
    }
    if (s.dotWidth > 2)
        lit.widen(int(s.dotWidth) - 1);
}

// DHGR monochrome: dot d lights column d + 1 (and dotWidth - 1 more).
void dhgrMonoBits(const PictureState &s, BitRow &lit)
{
    {
        BitWriter out(lit);
        out.append(0, 1);
        if (s.dotWidth > 0)
            appendDhgrDots(s, out);
    }
    if (s.dotWidth > 1)
        lit.widen(int(s.dotWidth) - 1);
}

void monoBits(const PictureState &s, bool dhgr, BitRow &lit)
{
    if (dhgr)
        dhgrMonoBits(s, lit);
    else
        hgrMonoBits(s, lit);
}

void monoLine(PictureState &s, int row, bool dhgr)
{
    BitRow lit;
    monoBits(s, dhgr, lit);
    storeBitmapRow(s, row, lit);
}

// "By the Book" HGR colour. Columns 2x and 2x + 1 end up with a colour that
// depends only on dots x - 2 to x + 1, the parity of x, the high bit of the
// byte holding x (which delays dot x - 1), the delay of dot x itself and
// whether x is the last dot of its byte. The table holds, for each of those
// 256 cases, the pair of column codes: 0 to 15 a palette entry, 16 the
// untouched black background.
constexpr uchar kUntouched = 16;

int hgrColour(int prev, int cur, int next, bool even, int h)
{
    if (cur)
        return (prev || next) ? 15 : (even ? (h ? 12 : 9) : (h ? 3 : 6));
    if (prev && next)
        return even ? (h ? 3 : 6) : (h ? 12 : 9);
    return 0;
}

struct HgrColourTable {
    static std::array<uchar, 2> columnsFor(bool shifting, int i)
    {
        const int d2 = i & 1, d1 = (i >> 1) & 1, d0 = (i >> 2) & 1, n1 = (i >> 3) & 1;
        const bool even = (i >> 4) & 1;
        const int byteHigh = (i >> 5) & 1;   // delays dot x - 1
        const int h = (i >> 6) & 1;          // delays dot x
        const bool lastOfByte = (i >> 7) & 1;
        const int before = hgrColour(d2, d1, d0, !even, byteHigh);
        const int here = hgrColour(d1, d0, n1, even, h);

        uchar left = kUntouched, right = kUntouched;
        if (shifting && byteHigh && before != 0)
            left = uchar(before);              // second half of a delayed dot x - 1
        if (shifting && lastOfByte) {
            if (h == 0)
                left = 0;
            else if (d1 && byteHigh == 0)
                left = 15;
        }
        if (here != 0) {
            if (!shifting || h == 0)
                left = uchar(here);
            right = uchar(here);
        }
        return {left, right};
    }
};

// Two dots, four columns, at a time: an even dot x and the odd dot after it
// depend on dots x - 2 to x + 2, the high bits of the bytes holding x, x + 1
// and x + 2, and whether x or x + 1 is the last dot of its byte. Index bits
// 0 to 4 are those dots, 5 to 7 the high bits, 8 and 9 the two byte ends.
// Two such pairs side by side make an octet: where both lie inside one byte
// only that byte's high bit matters (index bit 7), and the pair that ends
// byte A of a byte pair reads the high bits a and b (bits 7 and 8). The
// tables are kept until bit shifting or the colours change.
struct HgrPairQuads {
    int shifting = -1;
    std::array<Rgba, 16> colours{};
    std::array<Quad, 1024> quads{};
    std::array<Octet, 256> inByte{};
    std::array<Octet, 512> acrossByte{};

    void build()
    {
        Rgba codes[kUntouched + 1];
        std::copy(colours.begin(), colours.end(), codes);
        codes[kUntouched] = kBackground;
        for (int index = 0; index < 1024; ++index) {
            const int dots = index & 31, h0 = (index >> 5) & 1, h1 = (index >> 6) & 1, h2 = (index >> 7) & 1;
            const int even = (dots & 15) | (1 << 4) | (h0 << 5) | (h1 << 6) | (((index >> 8) & 1) << 7);
            const int odd = ((dots >> 1) & 15) | (h1 << 5) | (h2 << 6) | (((index >> 9) & 1) << 7);
            const auto first = HgrColourTable::columnsFor(shifting, even);
            const auto second = HgrColourTable::columnsFor(shifting, odd);
            const uchar codesOfQuad[4] = {first[0], first[1], second[0], second[1]};
            for (int j = 0; j < 4; ++j)
                std::memcpy(quads[size_t(index)].data() + 4 * j, codes[codesOfQuad[j]].data(), 4);
        }
        const auto join = [this](Octet &octet, size_t left, size_t right) {
            std::memcpy(octet.data(), quads[left].data(), 16);
            std::memcpy(octet.data() + 16, quads[right].data(), 16);
        };
        for (size_t index = 0; index < 512; ++index) {
            const size_t dots = index & 127, a = (index >> 7) & 1, b = index >> 8;
            if (index < 256)
                join(inByte[index], (dots & 31) | (a * 0xE0), (dots >> 2) | (a * 0xE0));
            join(acrossByte[index], (dots & 31) | (a * 0xE0), (dots >> 2) | (a << 5) | (b * 0xC0) | 0x100);
        }
    }
};

const HgrPairQuads &hgrPairQuads(const PictureState &s)
{
    thread_local HgrPairQuads cache;
    std::array<Rgba, 16> colours;
    for (int c = 0; c < 16; ++c)
        colours[size_t(c)] = entryRgba(s, c);
    const int shifting = s.bitShifting ? 1 : 0;
    if (cache.shifting != shifting || cache.colours != colours) {
        cache.shifting = shifting;
        cache.colours = colours;
        cache.build();
    }
    return cache;
}

void hgrColorLine(PictureState &s, int row, const HgrPairQuads &table)
{
    const uchar *line = s.mainMemory.data() + s.rowBase;
    BitRow dots;
    {
        BitWriter out(dots);
        for (int k = 0; k < kBytesPerLine; k += 8)
            out.append(packDots(loadOctet(line + k)), 56);
    }
    // Two bytes, seven pairs of dots, at a time, in three octets and a quad:
    // the high bits are a of the first byte, b of the second and c of the
    // byte after them (past the line, the last byte's high bit, which the
    // last dot keeps).
    const Quad *quads = table.quads.data();
    uchar *out = targetRow(s, row);
    for (int m = 0; m < kBytesPerLine / 2; ++m) {
        const size_t a = line[2 * m] >> 7, b = line[2 * m + 1] >> 7;
        const size_t c = line[std::min(2 * m + 2, kBytesPerLine - 1)] >> 7;
        const quint64 w = dots.window64(14 * m - 2);
        uchar *p = out + 112 * m;
        std::memcpy(p, table.inByte[(w & 127) | (a << 7)].data(), 32);
        std::memcpy(p + 32, table.acrossByte[((w >> 4) & 127) | (a << 7) | (b << 8)].data(), 32);
        std::memcpy(p + 64, table.inByte[((w >> 8) & 127) | (b << 7)].data(), 32);
        std::memcpy(p + 96, quads[((w >> 12) & 31) | (b * 0x60) | (c << 7) | 0x200].data(), 16);
    }
    // Dot 280 does not exist; its place, columns 560 and 561, only shows the
    // delayed second half of dot 279.
    const size_t h = line[kBytesPerLine - 1] >> 7;
    std::memcpy(out + 8 * kHgrDots, quads[dots.window(kHgrDots - 2, 5) | (h * 0xE0)].data(), 8);
}

// Columns 0 to 559 of a bit row, eight to a look-up.
void copyOctetRow(uchar *out, const Octet *octets, const BitRow &bits)
{
    for (int n = 0; n < 8; ++n)
        copyOctets(out + 256 * n, octets, bits.word(1 + n), std::make_index_sequence<8>());
    copyOctets(out + 256 * 8, octets, bits.word(9), std::make_index_sequence<6>());
}

// Two cells of four dots to each look-up: four aux and four main bytes make
// 56 dots, fourteen cells.
void dhgrColorLine(PictureState &s, int row, const Octet *cellOctets)
{
    const uchar *aux = s.auxMemory.data() + s.rowBase;
    const uchar *main = s.mainMemory.data() + s.rowBase;
    uchar *line = targetRow(s, row);
    // The cells cover 560 of the 562 columns; the two others stay black.
    const int offset = s.dhgrColumnOffset;
    std::memcpy(line + 4 * (offset == 0 ? kDhgrDots : 0), kBackground.data(), 4);
    std::memcpy(line + 4 * (kFrameWidth - 1), kBackground.data(), 4);
    uchar *out = line + 4 * offset;
    for (int k = 0; k < kBytesPerLine; k += 4, out += 4 * 56)
        copyOctets(out, cellOctets, packDots(interleave(loadQuad(aux + k), loadQuad(main + k))),
                   std::make_index_sequence<7>());
}

// A cell's colour reads its four dots left to right as bits 3 to 0; the
// quad is indexed by the dots as they lie in a bit row (leftmost lowest).
const Octet *cellOctets(const PictureState &s)
{
    thread_local OctetTable table;
    std::array<Quad, 16> quads;
    for (int raw = 0; raw < 16; ++raw) {
        const int colour = ((raw & 1) << 3) | ((raw & 2) << 1) | ((raw & 4) >> 1) | ((raw & 8) >> 3);
        const Rgba px = colour ? entryRgba(s, colour) : kBackground;
        for (int j = 0; j < 4; ++j)
            std::memcpy(quads[size_t(raw)].data() + 4 * j, px.data(), 4);
    }
    return table.use(quads);
}

// Monochrome onto the frame: lit columns in the colour on, the others black.
// With cuts, the columns that the HGR delay rules blacken on purpose (the
// first column of an undelayed byte whose dot 0 is unlit) show palette
// entry 0 instead.
void monoFrame(PictureState &s, const Rgba &on, bool cuts)
{
    thread_local OctetTable table;
    std::array<Quad, 16> quads;
    for (int v = 0; v < 16; ++v)
        for (int i = 0; i < 4; ++i)
            std::memcpy(quads[size_t(v)].data() + 4 * i, ((v >> i) & 1) ? on.data() : kBackground.data(), 4);
    const Octet *octets = table.use(quads);
    const Rgba off = entryRgba(s, 0);
    BitRow lit;
    for (int row = 0; row < kFrameHeight; ++row) {
        s.currentRow = quint32(row);
        s.rowBase = rowBaseTable[size_t(row)];
        monoBits(s, s.isDhgr, lit);
        uchar *out = targetRow(s, row);
        copyOctetRow(out, octets, lit);
        std::memcpy(out + 4 * kDhgrDots, octets[lit.window(kDhgrDots, 2)].data(), 8);
        if (!cuts)
            continue;
        const uchar *line = s.mainMemory.data() + s.rowBase;
        for (int k = 0; k < kBytesPerLine; ++k)
            if ((line[k] & 0x81) == 0 && !lit.test(14 * k))
                std::memcpy(out + 56 * k, off.data(), 4);
    }
}

void bitmapToDhgrLine(PictureState &s, int row)
{
    BitRow lit;
    loadBitmapRow(s, row, lit);
    for (int k = 0; k < kBytesPerLine; ++k) {
        s.auxMemory[s.rowBase + k] = uchar(lit.window(14 * k + 1, 7));
        s.mainMemory[s.rowBase + k] = uchar(lit.window(14 * k + 8, 7));
    }
}

void bitmapToHgrLine(PictureState &s, int row)
{
    // Only the odd columns are read: the second half of each undelayed dot.
    BitRow lit;
    loadBitmapRow(s, row, lit);
    for (int k = 0; k < kBytesPerLine; ++k) {
        const quint64 w = lit.window(14 * k + 1, 14);
        uchar byte = 0;
        for (int i = 0; i < 7; ++i)
            byte |= uchar(((w >> (2 * i)) & 1) << i);
        s.mainMemory[s.rowBase + k] = byte;
    }
}

// Variant 2 marks windows whose colour depends on one more column on each
// side: A is the column three to the left, L three to the right.
int resolveSharp(int colour, int w, bool a, bool l)
{
    const int kept = colour - 128;
    switch (w) {
    case 2: case 3:
        return a ? kept : 0;
    case 8: case 24:
        return l ? kept : 0;
    case 7:
        return !l ? kept : 15;
    case 28:
        return !a ? kept : 15;
    case 17:
        return (!a || !l) ? kept : 0;
    default:
        return kept;
    }
}

// The table engines colour four columns (phases 0 to 3) at a time from the
// ten columns around them: bit m of the index is column x0 - 3 + m. The
// table depends on the variant and the slot's colours, and is kept until
// either changes.
struct JexQuads {
    int variant = -1;
    std::array<Rgba, kPaletteEntries> colours{};
    std::array<std::array<uchar, 16>, 1024> quads{};

    void build()
    {
        for (int index = 0; index < 1024; ++index) {
            for (int phase = 0; phase < 4; ++phase) {
                const auto p = [index, phase](int offset) { return (index >> (phase + 3 + offset)) & 1; };
                const int w = 16 * p(-2) + 8 * p(-1) + 4 * p(0) + 2 * p(1) + p(2);
                int colour = jexWindowTable[variant][phase][w];
                if (colour >= 128)
                    colour = resolveSharp(colour, w, p(-3), p(3));
                std::memcpy(quads[size_t(index)].data() + 4 * phase, colours[size_t(colour)].data(), 4);
            }
        }
    }
};

const JexQuads &jexQuads(const PictureState &s, int variant)
{
    thread_local JexQuads cache;
    std::array<Rgba, kPaletteEntries> colours;
    for (int c = 0; c < kPaletteEntries; ++c)
        colours[size_t(c)] = entryRgba(s, c);
    if (cache.variant != variant || cache.colours != colours) {
        cache.variant = variant;
        cache.colours = colours;
        cache.build();
    }
    return cache;
}

} // namespace

void plotRun(PictureState &s, int column, int row, int colour)
{
    if (row < 0 || row >= kFrameHeight || s.targetPixels == nullptr)
        return;
    const int end = std::min(column + int(s.dotWidth), kFrameWidth);
    const int start = std::max(column, 0);
    if (start >= end)
        return;
    if (s.targetDepth == 1) {
        uchar *bits = targetRow(s, row);
        for (int x = start; x < end; ++x) {
            const uchar mask = uchar(0x80 >> (x & 7));
            if (colour == 0)
                bits[x >> 3] |= mask;
            else
                bits[x >> 3] &= uchar(~mask);
        }
        return;
    }
    const Rgba px = entryRgba(s, colour & 31);
    uchar *p = targetRow(s, row) + size_t(start) * 4;
    for (int x = start; x < end; ++x, p += 4)
        std::memcpy(p, px.data(), 4);
}

void renderRows(PictureState &s, int mode)
{
    if (mode < HgrMono || mode > BitmapToHgr)
        return;
    if (mode <= DhgrColor && s.targetPixels == nullptr)
        return;
    // The monochrome passes draw into the bitmap, the colour passes into the frame.
    const bool mono = mode == HgrMono || mode == DhgrMono;
    if (mode <= DhgrColor && mono != (s.targetDepth == 1))
        return;
    const HgrPairQuads *pairQuads = mode == HgrColor ? &hgrPairQuads(s) : nullptr;
    const Octet *cells = mode == DhgrColor ? cellOctets(s) : nullptr;
    for (int row = 0; row < kScanLines; ++row) {
        s.currentRow = quint32(row);
        s.rowBase = rowBaseTable[size_t(row)];
        switch (mode) {
        case HgrMono: monoLine(s, row, false); break;
        case HgrColor: hgrColorLine(s, row, *pairQuads); break;
        case DhgrMono: monoLine(s, row, true); break;
        case DhgrColor: dhgrColorLine(s, row, cells); break;
        case BitmapToDhgr: bitmapToDhgrLine(s, row); break;
        case BitmapToHgr: bitmapToHgrLine(s, row); break;
        }
    }
    if (mode == HgrMono && (s.bitShifting || s.jexEngine))
        s.dotWidth = 2;
}

void renderJex(PictureState &s)
{
    if (s.targetPixels == nullptr)
        return;
    const JexQuads &table = jexQuads(s, std::min<int>(s.schemeType, 2));
    BitRow lit;
    for (int row = 0; row < kFrameHeight; ++row) {
        s.currentRow = quint32(row);
        s.rowBase = rowBaseTable[size_t(row)];
        monoBits(s, s.isDhgr, lit);
        // Column 561 is never read as lit.
        lit.clearFrom(kFrameWidth - 1);
        uchar *out = targetRow(s, row);
        // Group g covers columns 4g - 3 to 4g and reads columns 4g - 6 to
        // 4g + 3. The first and the last group stick out of the frame; the
        // 140 between come fourteen to a 64-bit stretch of the row.
        std::memcpy(out, table.quads[lit.window(-6, 10)].data() + 12, 4);
        for (int block = 0; block < 10; ++block)
            copyQuads<4, 10>(out + 4 * (56 * block + 1), table.quads.data(), lit.window64(56 * block - 2),
                             std::make_index_sequence<14>());
        std::memcpy(out + 4 * (kFrameWidth - 1), table.quads[lit.window(kFrameWidth - 4, 10)].data(), 4);
    }
}

void selectDotWidth(PictureState &s)
{
    if (s.jexEngine)
        s.dotWidth = 1;
    else if (s.isDhgr)
        s.dotWidth = s.bmFinalDepth > 1 ? 4 : 1;
    else
        s.dotWidth = 2;
}

void prepareTarget(PictureState &s, QImage &image)
{
    if (s.targetDepth != 1) {
        // A frame that nobody else holds is drawn over in place; writing
        // to it gives it a new cache key all the same.
        if (image.size() != QSize(kFrameWidth, kFrameHeight) || image.format() != QImage::Format_RGBA8888
            || !image.isDetached())
            image = QImage(kFrameWidth, kFrameHeight, QImage::Format_RGBA8888);
        s.targetPixels = image.bits();
        s.targetRowBytes = quint32(image.bytesPerLine());
        s.targetDepth = 32;
        return;
    }
    if (s.monoCapacity < quint32(kMonoBytes) || s.monoBitmap.size() < size_t(kMonoBytes)) {
        s.monoBitmap.assign(kMonoBytes, 0);
        s.monoCapacity = kMonoBytes;
    }
    std::memset(s.monoBitmap.data(), 0xFF, kMonoBytes);
    s.targetPixels = s.monoBitmap.data();
    s.targetRowBytes = kMonoRowBytes;
}

void renderPicture(PictureState &s, QImage &image)
{
    clampViewOptions(s);
    selectDotWidth(s);
    // Every pass below writes every column of the frame.
    s.targetDepth = 32;
    prepareTarget(s, image);
    if (s.jexEngine && s.bmFinalDepth > 1)
        renderJex(s);
    else if (s.jexEngine || s.bmFinalDepth == 1)
        monoFrame(s, rgbaOf(monoTint(s, s.paletteType, s.oneBitPalette)), false);
    else if (s.bmFinalDepth > 1)
        renderRows(s, s.isDhgr ? DhgrColor : HgrColor);
    else
        monoFrame(s, entryRgba(s, 15), !s.isDhgr && s.bitShifting);
    // The target points into buffers that may be replaced; never keep it.
    s.targetPixels = nullptr;
}

int firstDotColumn(const PictureState &s)
{
    const bool bookColourCells = s.isDhgr && !s.jexEngine && s.bmFinalDepth > 1;
    return bookColourCells ? std::clamp<int>(s.dhgrColumnOffset, 0, 1) : 1;
}

void renderMonoBitmap(PictureState &s, bool bitShifting, bool jexEngine, quint32 dotWidth)
{
    const bool savedShifting = s.bitShifting;
    const bool savedJex = s.jexEngine;
    s.bitShifting = bitShifting;
    s.jexEngine = jexEngine;
    s.dotWidth = dotWidth;
    s.targetDepth = 1;
    QImage unused;
    prepareTarget(s, unused);
    renderRows(s, s.isDhgr ? DhgrMono : HgrMono);
    s.targetPixels = nullptr;
    s.bitShifting = savedShifting;
    s.jexEngine = savedJex;
}

void encodeMonoBitmap(PictureState &s, bool asDhgr)
{
    renderRows(s, asDhgr ? BitmapToDhgr : BitmapToHgr);
}
