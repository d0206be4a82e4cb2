#include "textcodec.h"

#include "screentext.h"

#include <algorithm>
#include <array>

namespace {

// Apple's Mac OS Roman, bytes 0x80 to 0xFF, in its current form (0xDB is the
// euro sign, 0xF0 the Apple logo in the private use area), except that 0xBD
// is U+2126 OHM SIGN rather than U+03A9 GREEK CAPITAL LETTER OMEGA. Bytes
// 0x80 to 0x9F are the characters the Apple II font draws as MouseText.
constexpr std::array<char16_t, 128> kMacRoman = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, // 0x80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, // 0x88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, // 0x90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, // 0x98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, // 0xA0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, // 0xA8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, // 0xB0
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x2126, 0x00E6, 0x00F8, // 0xB8
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, // 0xC0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, // 0xC8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, // 0xD0
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, // 0xD8
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, // 0xE0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, // 0xE8
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, // 0xF0
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7, // 0xF8
};

constexpr char kSolidAppleByte = 0x11;
constexpr char kOpenAppleByte = 0x12;
constexpr char16_t kByteOrderMark = 0xFEFF;
const QByteArray kUtf8ByteOrderMark("\xEF\xBB\xBF");

struct ReverseEntry {
    char16_t unit;
    unsigned char byte;
};

// The same 128 pairs ordered by character, for the encoder's binary search.
const std::array<ReverseEntry, 128> &reverseTable()
{
    static const std::array<ReverseEntry, 128> table = [] {
        std::array<ReverseEntry, 128> t{};
        for (int i = 0; i < 128; ++i)
            t[i] = {kMacRoman[i], static_cast<unsigned char>(0x80 + i)};
        std::sort(t.begin(), t.end(),
                  [](const ReverseEntry &a, const ReverseEntry &b) { return a.unit < b.unit; });
        return t;
    }();
    return table;
}

// The Mac OS Roman byte of one UTF-16 code unit, or -1 when it has none.
int macRomanByte(char16_t unit)
{
    if (unit == u'\n' || unit == u'\t')
        return unit;
    if (unit < 0x20)
        return -1;
    if (unit < 0x80)
        return unit;
    if (unit == kSolidApple)
        return kSolidAppleByte;
    if (unit == kOpenApple)
        return kOpenAppleByte;
    if (isInverseChar(QChar(unit)))
        return -1;
    const auto &table = reverseTable();
    const auto it = std::lower_bound(table.begin(), table.end(), unit,
                                     [](const ReverseEntry &e, char16_t u) { return e.unit < u; });
    if (it == table.end() || it->unit != unit)
        return -1;
    return it->byte;
}

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Old Mac files end lines with CR, Windows files with CR LF: both become LF.
QByteArray unifyLineEndings(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            out.append('\n');
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            out.append(bytes[i]);
        }
    }
    return out;
}

QString decodeMacRoman(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = macRomanChar(static_cast<unsigned char>(bytes[i]));
    return text;
}

} // namespace

QChar macRomanChar(unsigned char byte)
{
    return byte < 0x80 ? QChar(byte) : QChar(kMacRoman[byte - 0x80]);
}

bool isValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The first continuation byte's range is narrowed after the leads
        // where overlong forms (E0, F0), surrogates (ED) or code points past
        // U+10FFFF (F4) would otherwise slip through.
        int trail;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (n - i - 1 < trail)
            return false;
        if (p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k <= trail; ++k)
            if (!isContinuation(p[i + k]))
                return false;
        i += trail + 1;
    }
    return true;
}

QString mapAppleControls(const QString &text)
{
    QString out = text;
    out.replace(QChar(kSolidAppleByte), QChar(kSolidApple));
    out.replace(QChar(kOpenAppleByte), QChar(kOpenApple));
    return out;
}

QString decodeTextScreen(const QByteArray &bytes)
{
    const QByteArray data = unifyLineEndings(bytes.startsWith(kUtf8ByteOrderMark) ? bytes.mid(3) : bytes);
    const QString text = isValidUtf8(data) ? QString::fromUtf8(data) : decodeMacRoman(data);
    return mapAppleControls(text);
}

QByteArray encodeTextScreen(const QString &text, bool *isMacRoman)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool fits = true;
    for (const QChar ch : text) {
        const int byte = macRomanByte(ch.unicode());
        if (byte < 0) {
            fits = false;
            break;
        }
        bytes.append(static_cast<char>(byte));
    }
    // Mac OS Roman bytes can read back as something else: "¬" then a
    // MouseText character is C2 80, well-formed UTF-8 for U+0080, and "Ôªø"
    // is EF BB BF, a byte-order mark that the reader drops. Such a screen is
    // written as UTF-8 instead.
    if (fits && decodeTextScreen(bytes) != text)
        fits = false;
    if (isMacRoman)
        *isMacRoman = fits;
    if (fits)
        return bytes;
    const QByteArray utf8 = text.toUtf8();
    if (!text.startsWith(QChar(kByteOrderMark)))
        return utf8;
    // A screen can begin with a byte-order mark (it comes in by paste). The
    // reader drops a leading one, and Qt's UTF-8 decoder may drop the next:
    // the writer puts in as many more as it takes to read back the same.
    QByteArray marked = kUtf8ByteOrderMark + utf8;
    if (decodeTextScreen(marked) != text)
        marked.prepend(kUtf8ByteOrderMark);
    return marked;
}
