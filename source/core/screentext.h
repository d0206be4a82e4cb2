#pragma once

#include <QChar>
#include <QStringView>

// The screen text: the one string form of an Apple II text screen, as the
// editor, its files and the picture's text drawing share it. An 80-column
// screen begins with "80"; rows follow, joined by line feeds.

// The inverse form of a character c from U+0020 to U+007E is the private-use
// code U+F000 + (c - 0x20): black on a white cell. An inverse space is a
// plain white cell.
constexpr char16_t kInverseFirst = 0xF000;
constexpr char16_t kInverseLast = 0xF05E;

inline bool isInverseChar(QChar ch) { return ch.unicode() >= kInverseFirst && ch.unicode() <= kInverseLast; }
// The normal character that an inverse one shows.
inline QChar inverseBase(QChar ch) { return QChar(char16_t(ch.unicode() - kInverseFirst + 0x20)); }
// The inverse form of a normal character; others stay as they are.
inline QChar inverseOf(QChar ch)
{
    return ch.unicode() >= 0x20 && ch.unicode() <= 0x7E ? QChar(char16_t(kInverseFirst + ch.unicode() - 0x20)) : ch;
}

// The solid and the open apple, stored in Mac OS Roman files as the control
// bytes 0x11 and 0x12.
constexpr char16_t kSolidApple = 0xE000;
constexpr char16_t kOpenApple = 0xE001;

// A 40-column screen has no mark, but one whose rows begin with "8" would
// read as an 80-column screen (the editor takes a lone "8" for the mark too),
// so it is written with the mark "40". True when the rows of a 40-column
// screen need it: they begin with "8" after any number of "40"s, which
// keeps a screen that itself begins with "408" intact as well.
inline bool needsFortyMark(QStringView rows)
{
    while (rows.startsWith(u"40"))
        rows = rows.mid(2);
    return rows.startsWith(u'8');
}

// The columns a screen text's mark gives and the mark's length: "80", or
// "40" where the writer puts it; anything else is a 40-column screen without
// a mark.
struct ColumnMark {
    int columns;
    int length;
};

inline ColumnMark readColumnMark(QStringView text)
{
    if (text.startsWith(u"80"))
        return {80, 2};
    if (text.startsWith(u"40") && needsFortyMark(text.mid(2)))
        return {40, 2};
    return {40, 0};
}
