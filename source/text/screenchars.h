#pragma once

#include <QChar>

// The characters of an Apple II text screen beyond plain ASCII, as the editor
// and its files carry them.

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
