#pragma once

// The text screen model driven as the editor drives it, one operation a
// step read from a fuzz input: loads, typing, pastes, the editing keys, the
// mouse, undo and column switches.

#include "fuzzsupport.h"
#include "textcodec.h"
#include "textscreenmodel.h"

namespace fuzz {

// A character the grid can hold: printable ASCII, its inverse form, the two
// apples and MouseText, the controls a paste may carry, one outside the
// Basic Multilingual Plane, or any 16-bit code (half a surrogate pair too).
inline char32_t textCharacter(Input &in)
{
    const quint8 kind = in.byte();
    const quint8 v = in.byte();
    switch (kind % 7) {
    case 0: return char32_t(0x20 + v % 95);
    case 1: return char32_t(0xF000 + v % 95);
    case 2: return char32_t(0xE000 + v % 2);
    case 3: return char32_t(0xE080 + v % 34);
    case 4: return char32_t("\n\r\t\x11\x12\x7f"[v % 6]);
    case 5: return char32_t(0x1F600 + v);
    default: return char32_t(v | (in.byte() << 8));
    }
}

// Text of up to maxLength characters; a 16-bit code goes in as it is, so
// that half a surrogate pair can come in as the clipboard may hand it.
inline QString text(Input &in, int maxLength)
{
    QString s;
    for (int n = in.byte() % (maxLength + 1); n > 0 && !in.done(); --n) {
        const char32_t c = textCharacter(in);
        if (c > 0xFFFF)
            s += QString::fromUcs4(&c, 1);
        else
            s += QChar(char16_t(c));
    }
    return s;
}

inline void applyTextEdit(TextScreenModel &m, Input &in)
{
    switch (in.byte() % 16) {
    // A screen loads from a file's bytes, decoded as the editor opens them.
    case 0: m.setScreenText(decodeTextScreen(text(in, 120).toUtf8())); break;
    case 1: {
        // The grid types only printable characters; the rest go on to the
        // window's shortcuts.
        const char32_t ch = textCharacter(in);
        if (QChar::isPrint(ch))
            m.typeChar(ch);
        break;
    }
    case 2: m.insertChar(char32_t(0xE080 + in.byte() % 34)); break;
    case 3: m.deleteSelection(); break;
    case 4: m.paste(text(in, 200)); break;
    case 5: m.backspace(); break;
    case 6: m.deleteForward(); break;
    case 7: m.newLine(); break;
    case 8: m.moveCursor(TextScreenModel::Move(in.byte() % 6), in.byte() & 1); break;
    case 9: m.undo(); break;
    case 10: m.setColumnCount(in.byte() & 1 ? 80 : 40); break;
    case 11: m.selectAll(); break;
    case 12: m.press(qint8(in.byte()), qint8(in.byte()), in.byte() & 1); break;
    case 13: m.dragTo(qint8(in.byte()), qint8(in.byte())); break;
    case 14: m.release(); break;
    default: m.setInverseChars(in.byte() & 1); break;
    }
}

// What a row shows: its first columns characters, a surrogate pair being
// one.
inline QStringView shownCells(const QString &row, int columns)
{
    qsizetype at = 0;
    for (int cell = 0; cell < columns && at < row.size(); ++cell)
        at += row.at(at).isHighSurrogate() && at + 1 < row.size() && row.at(at + 1).isLowSurrogate() ? 2 : 1;
    return QStringView(row).first(at);
}

// No half of a surrogate pair stands alone.
inline bool wholeCharacters(const QString &row)
{
    for (qsizetype at = 0; at < row.size(); ++at) {
        if (row.at(at).isHighSurrogate() && at + 1 < row.size() && row.at(at + 1).isLowSurrogate())
            ++at;
        else if (row.at(at).isSurrogate())
            return false;
    }
    return true;
}

} // namespace fuzz
