#pragma once

#include <QByteArray>
#include <QString>

// Text screen files are plain text: Mac OS Roman (one byte per character,
// enough for ASCII, MouseText and the two apple characters) or UTF-8 when the
// screen holds a character that Mac OS Roman cannot carry, such as an inverse
// character.

// File bytes to screen text. Drops a UTF-8 byte-order mark, turns CR LF and
// lone CR into LF, reads well-formed UTF-8 as UTF-8 and anything else as
// Mac OS Roman, and maps the apple control bytes to their characters.
QString decodeTextScreen(const QByteArray &bytes);

// Screen text to file bytes: Mac OS Roman when every character has a byte
// there (apples as 0x11 and 0x12) and those bytes read back as the same text,
// otherwise the whole text as UTF-8, with no byte-order mark but for a text
// that begins with one. *isMacRoman, when given, tells which one was written.
QByteArray encodeTextScreen(const QString &text, bool *isMacRoman = nullptr);

// Well-formed UTF-8 as RFC 3629 defines it: no overlong forms, no
// surrogates, nothing above U+10FFFF, no sequence cut off at the end.
bool isValidUtf8(const QByteArray &bytes);

// U+0011 and U+0012, the bytes that stand for the apples in Mac OS Roman
// files, become the apple characters U+E000 and U+E001.
QString mapAppleControls(const QString &text);

// The character of a Mac OS Roman byte from 0x80 on (0xBD is the ohm sign).
QChar macRomanChar(unsigned char byte);
