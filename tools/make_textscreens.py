#!/usr/bin/env python3
"""Writes the five built-in text screens of morvo into source/resources/textscreens.

A screen is 24 rows of 40 or 80 cells. Inverse characters are U+F000 plus
(c - 0x20); MouseText characters are the code points that Mac OS Roman gives
the bytes 0x80 to 0x9F; the apples are U+E000 (solid) and U+E001 (open).
A file holds the rows joined by line feeds, "80" in front of an 80-column
screen, no line feed after the last row. It is Mac OS Roman when every
character has a byte there (the apples as 0x11 and 0x12), UTF-8 otherwise,
exactly as the program itself saves a screen.

Run: python3 tools/make_textscreens.py [output directory]
"""

import os
import sys

# MouseText by the name of its drawing, in the order of its bytes 0x80 to 0x9F.
MOUSETEXT_NAMES = [
    "closed-apple", "open-apple", "pointer", "hourglass",
    "checkmark", "checkmark-inverse", "running-man", "running-man-stride",
    "arrow-left", "ellipsis", "arrow-down", "arrow-up",
    "line-top", "return", "block", "scroll-left",
    "scroll-right", "scroll-down", "scroll-up", "line-middle",
    "corner-bottom-left", "arrow-right", "checkerboard", "checkerboard-shifted",
    "folder-left", "folder-right", "line-right", "diamond",
    "lines-top-bottom", "cross", "corner-top-left", "line-left",
]
MOUSETEXT_CHARS = bytes(range(0x80, 0xA0)).decode("mac_roman")
M = dict(zip(MOUSETEXT_NAMES, MOUSETEXT_CHARS))
SOLID_APPLE = "\ue000"
OPEN_APPLE = "\ue001"


def inv(text):
    """The inverse form of printable ASCII text."""
    return "".join(chr(0xF000 + ord(c) - 0x20) for c in text)


class Screen:
    """24 rows of cells, written into by column and row."""

    def __init__(self, columns):
        self.columns = columns
        self.rows = [[" "] * columns for _ in range(24)]

    def put(self, row, col, text):
        for i, ch in enumerate(text):
            if not 0 <= col + i < self.columns:
                raise ValueError(f"row {row}: {text!r} runs past column {self.columns}")
            self.rows[row][col + i] = ch

    def center(self, row, text):
        self.put(row, (self.columns - len(text)) // 2, text)

    def window(self, top, left, bottom, right, title="", status=""):
        """A MouseText window: a banded title row, a banded bottom row and
        bars on both sides. The inside runs from top + 1 to bottom - 1 and
        from left + 1 to right - 1."""
        band = M["lines-top-bottom"] * (right - left - 1)
        for row in range(top, bottom + 1):
            self.put(row, left, M["line-right"])
            self.put(row, right, M["line-left"])
        self.put(top, left + 1, band)
        self.put(bottom, left + 1, band)
        if title:
            self.put(top, left + 1 + (right - left - 1 - len(title) - 2) // 2, " " + title + " ")
        if status:
            self.put(bottom, left + 1, " " + status + " ")

    def text(self):
        lines = ["".join(r).rstrip(" ") for r in self.rows]
        while lines and not lines[-1]:
            lines.pop()
        return ("80" if self.columns == 80 else "") + "\n".join(lines)


def apple_iic():
    s = Screen(40)
    s.center(0, "Apple //c")
    s.put(23, 0, "Starting up from the internal drive...")
    return s


def prodos():
    s = Screen(40)
    s.center(9, "PRODOS 8 V2.6           128K")
    s.center(11, "MORVO SYSTEM DISK  /MORVO")
    s.center(13, "LOADING MORVO.SYSTEM")
    return s


def welcome():
    s = Screen(40)
    s.put(0, 0, inv(" " * 40))
    s.center(0, inv(" WELCOME TO MORVO "))
    s.put(0, 1, SOLID_APPLE)
    s.put(0, 38, OPEN_APPLE)
    s.window(2, 1, 19, 38, "morvo")
    s.put(4, 4, "Apple II pictures and text screens")
    s.put(6, 4, M["diamond"] + " View HGR and DHGR pictures in")
    s.put(7, 6, "four engines and eight palettes")
    s.put(9, 4, M["diamond"] + " Paint in the sixteen DHGR")
    s.put(10, 6, "colours, dot by dot")
    s.put(12, 4, M["diamond"] + " Write 40 and 80 column text")
    s.put(13, 6, "screens with inverse letters,")
    s.put(14, 6, "MouseText and the apples " + SOLID_APPLE + " " + OPEN_APPLE)
    s.put(16, 4, M["folder-left"] + M["folder-right"] + " Open a picture from the File")
    s.put(17, 7, "menu, or drop one here")
    s.put(21, 2, M["pointer"] + " Press any key or click to begin " + M["return"])
    return s


def text_screen_info():
    s = Screen(40)
    s.put(0, 0, inv(" " * 40))
    s.center(0, inv(" TEXT SCREEN INFO "))
    s.put(2, 0, "One Apple II text screen: 24 rows of")
    s.put(3, 0, "40 or 80 columns. A file that starts")
    s.put(4, 0, "with 80 holds an 80 column screen.")
    s.put(6, 0, inv(" INVERSE "))
    s.put(6, 11, "Turn on Inverse and type,")
    s.put(7, 11, "or pick letters in the")
    s.put(8, 11, "character palette.")
    s.put(10, 0, inv(" MOUSETEXT "))
    s.put(10, 12, MOUSETEXT_CHARS[:16])
    s.put(11, 12, MOUSETEXT_CHARS[16:])
    s.put(13, 0, inv(" APPLES "))
    s.put(13, 11, SOLID_APPLE + " solid    " + OPEN_APPLE + " open")
    s.put(15, 0, inv(" FILES "))
    s.put(15, 11, "Plain text in one of two")
    s.put(16, 11, "encodings:")
    s.put(17, 0, M["diamond"] + " Mac OS Roman: one byte a character;")
    s.put(18, 2, "MouseText is $80-$9F, the apples are")
    s.put(19, 2, "the control bytes $11 and $12.")
    s.put(20, 0, M["diamond"] + " UTF-8 when the screen holds what")
    s.put(21, 2, "Mac OS Roman cannot: inverse text.")
    s.put(23, 0, "CR, LF and CR LF line ends all read.")
    return s


def sample_text_screen():
    s = Screen(80)
    # A menu bar.
    s.put(0, 0, inv(" " * 80))
    s.put(0, 1, SOLID_APPLE)
    s.put(0, 3, inv(" File  Edit  View  Special "))
    s.put(0, 67, inv("12:00 PM"))
    s.put(0, 77, M["hourglass"])

    # A window of files with a vertical and a horizontal scroll bar.
    s.window(2, 1, 16, 42, "PICTURES", "6 files  84K free")
    rows = [
        (M["folder-left"] + M["folder-right"], "SCREENS", "", M["checkmark"]),
        (M["folder-left"] + M["folder-right"], "SAMPLES", "", ""),
        ("  ", "MONARCH.DHGR", "16384", M["checkmark"]),
        ("  ", "CATFACE.DHGR", "16384", ""),
        ("  ", "WERNER.HGR", "8184", ""),
        ("  ", "WINSTON.HGR", "8184", ""),
    ]
    for i, (icon, name, size, mark) in enumerate(rows):
        row = 4 + i + (1 if i >= 2 else 0)
        entry = f" {name:<14}{size:>6} "
        s.put(row, 3, (mark or " ") + " " + icon + (inv(entry) if i == 2 else entry))
    s.put(3, 41, M["scroll-up"])
    for row in range(4, 14):
        s.put(row, 41, M["checkerboard"])
    s.put(5, 41, M["block"])
    s.put(14, 41, M["scroll-down"])
    s.put(15, 2, M["scroll-left"] + M["checkerboard"] * 36 + M["scroll-right"])
    s.put(15, 8, M["block"] * 3)

    # A dialog.
    s.window(3, 46, 12, 77, "Save")
    s.put(5, 49, M["hourglass"] + " Save the text screen")
    s.put(6, 51, "before you quit?")
    s.put(8, 49, M["diamond"] + " Mac OS Roman")
    s.put(9, 49, M["diamond"] + " UTF-8 " + M["arrow-left"] + " inverse")
    s.put(11, 52, inv(" Save ") + "  " + inv(" Cancel ") + " " + M["return"])

    # The character sets.
    s.put(18, 1, "NORMAL  " + "".join(chr(c) for c in range(0x21, 0x4F)))
    s.put(19, 9, "".join(chr(c) for c in range(0x4F, 0x7F)))
    s.put(20, 1, "INVERSE " + inv("".join(chr(c) for c in range(0x21, 0x4F))))
    s.put(21, 9, inv("".join(chr(c) for c in range(0x4F, 0x7F))))
    s.put(22, 1, "MOUSE   " + MOUSETEXT_CHARS + "  APPLES " + SOLID_APPLE + " " + OPEN_APPLE)
    s.put(23, 1, M["running-man"] + M["running-man-stride"] + " " + M["arrow-left"] + M["arrow-up"]
          + M["arrow-down"] + M["arrow-right"] + "  " + M["checkerboard-shifted"] * 10
          + "  " + M["ellipsis"] + " " + M["cross"] + " " + M["checkmark-inverse"])
    return s


SCREENS = {
    "Apple_IIc.txt": apple_iic,
    "ProDOS.txt": prodos,
    "Welcome.txt": welcome,
    "Text_Screen_Info.txt": text_screen_info,
    "Sample_Text_Screen.txt": sample_text_screen,
}


def encode(text):
    """Mac OS Roman when every character has a byte (and the bytes would not
    read back as UTF-8), else UTF-8."""
    out = bytearray()
    for ch in text:
        if ch == SOLID_APPLE:
            out.append(0x11)
        elif ch == OPEN_APPLE:
            out.append(0x12)
        elif ch in "\t\n" or " " <= ch <= "\x7f" or ch in MOUSETEXT_CHARS:
            out += ch.encode("mac_roman")
        else:
            return text.encode("utf-8")
    try:
        bytes(out).decode("utf-8")
        if any(b >= 0x80 for b in out):
            return text.encode("utf-8")
    except UnicodeDecodeError:
        pass
    return bytes(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "source", "resources", "textscreens")
    os.makedirs(out_dir, exist_ok=True)
    for name, make in SCREENS.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(encode(make().text()))


if __name__ == "__main__":
    main()
