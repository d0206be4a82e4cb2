#!/usr/bin/python3
"""Builds morvo's Apple II TrueType font from its dot drawings.

Usage: build_font.py glyphs.txt out.ttf

Every glyph is a 7 x 8 cell of dots. One dot is 256 font units and the 8-row
cell is the em (2048 units): 7 rows above the baseline, 1 below. At a pixel
size of 8 one dot is one screen pixel, at 32 it is a 4 x 4 block, and because
every outline edge lies on the dot grid the rasteriser lights exactly the
drawn dots, with or without hinting.

The output is the same bytes on every run: the timestamps are fixed and
nothing depends on the clock or the machine.
"""

import os
import re
import sys
import tempfile

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import newTable
from fontTools.ttLib.tables import ttProgram

FAMILY = "Morvo Apple Two"
STYLE = "Regular"
VERSION = "1.000"

CELL_WIDTH = 7
CELL_HEIGHT = 8
DOT = 256
UNITS_PER_EM = CELL_HEIGHT * DOT
ASCENT_ROWS = 7
ASCENT = ASCENT_ROWS * DOT
DESCENT = (CELL_HEIGHT - ASCENT_ROWS) * DOT
ADVANCE = CELL_WIDTH * DOT

# 2024-01-01 00:00:00 UTC in seconds since 1904-01-01, the TrueType epoch.
FIXED_TIMESTAMP = 3786912000

# The glyph for characters the font lacks: an empty box.
NOTDEF_ROWS = [
    ".......",
    ".#####.",
    ".#...#.",
    ".#...#.",
    ".#...#.",
    ".#...#.",
    ".#####.",
    ".......",
]

HEADER = re.compile(r"^U\+([0-9A-F]{4,6})(?: (\S.*))?$")


class GlyphSourceError(Exception):
    pass


def parse_glyphs(text, source_name):
    """Returns [(code point, rows)] in file order.

    The 8 lines after a header are rows even when they start with "#";
    comments and blank lines are only allowed between glyphs.
    """
    lines = text.splitlines()
    glyphs = []
    seen = {}
    index = 0

    def fail(line_index, message):
        raise GlyphSourceError(f"{source_name}:{line_index + 1}: {message}")

    while index < len(lines):
        line = lines[index].rstrip("\r")
        if line.strip() == "" or line.startswith("#"):
            index += 1
            continue
        match = HEADER.match(line)
        if not match:
            fail(index, f"expected a glyph header such as 'U+0041 A', found {line!r}")
        code_point = int(match.group(1), 16)
        if code_point > 0x10FFFF or 0xD800 <= code_point <= 0xDFFF:
            fail(index, f"U+{code_point:04X} is not a Unicode scalar value")
        if code_point in seen:
            fail(index, f"U+{code_point:04X} is drawn twice (first at line {seen[code_point] + 1})")
        seen[code_point] = index
        rows = []
        for row_index in range(index + 1, index + 1 + CELL_HEIGHT):
            if row_index >= len(lines):
                fail(row_index, f"U+{code_point:04X} ends after {len(rows)} of {CELL_HEIGHT} rows")
            row = lines[row_index].rstrip("\r")
            if len(row) != CELL_WIDTH or any(c not in "#." for c in row):
                fail(row_index, f"row {len(rows)} of U+{code_point:04X} must be {CELL_WIDTH} "
                                f"characters of '#' and '.', found {row!r}")
            rows.append(row)
        index += 1 + CELL_HEIGHT
        if index < len(lines) and lines[index].strip() != "":
            fail(index, f"U+{code_point:04X} has more than {CELL_HEIGHT} rows; "
                        "leave a blank line after each glyph")
        glyphs.append((code_point, rows))
    if not glyphs:
        raise GlyphSourceError(f"{source_name}: no glyphs")
    return glyphs


def dot_runs(rows):
    """Horizontal runs of lit dots as (row, first column, last column + 1)."""
    for row_index, row in enumerate(rows):
        column = 0
        while column < CELL_WIDTH:
            if row[column] == "#":
                start = column
                while column < CELL_WIDTH and row[column] == "#":
                    column += 1
                yield row_index, start, column
            else:
                column += 1


def draw_glyph(rows):
    """One clockwise rectangle per horizontal run. Runs never overlap: those
    of one row are apart and those of different rows at most share an edge,
    so every lit dot is covered exactly once."""
    pen = TTGlyphPen(None)
    for row_index, first, end in dot_runs(rows):
        top = (ASCENT_ROWS - row_index) * DOT
        bottom = top - DOT
        left = first * DOT
        right = end * DOT
        pen.moveTo((left, bottom))
        pen.lineTo((left, top))
        pen.lineTo((right, top))
        pen.lineTo((right, bottom))
        pen.closePath()
    return pen.glyph()


def left_side_bearing(rows):
    columns = [row.index("#") for row in rows if "#" in row]
    return min(columns) * DOT if columns else 0


def build_font(glyphs):
    order = [".notdef"] + [f"uni{cp:04X}" if cp <= 0xFFFF else f"u{cp:05X}" for cp, _ in glyphs]
    drawings = {".notdef": NOTDEF_ROWS}
    cmap = {}
    for name, (code_point, rows) in zip(order[1:], glyphs):
        drawings[name] = rows
        cmap[code_point] = name

    builder = FontBuilder(UNITS_PER_EM, isTTF=True)
    # Flags: baseline at y 0, left side bearing at x 0, integer scaling.
    builder.setupHead(unitsPerEm=UNITS_PER_EM, created=FIXED_TIMESTAMP,
                      modified=FIXED_TIMESTAMP, fontRevision=float(VERSION),
                      flags=0x000B, lowestRecPPEM=CELL_HEIGHT)
    builder.setupGlyphOrder(order)
    builder.setupCharacterMap(cmap)
    builder.setupGlyf({name: draw_glyph(rows) for name, rows in drawings.items()})
    builder.setupHorizontalMetrics(
        {name: (ADVANCE, left_side_bearing(rows)) for name, rows in drawings.items()})
    builder.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT, lineGap=0)
    builder.setupNameTable({
        "copyright": "Drawn for morvo.",
        "familyName": FAMILY,
        "styleName": STYLE,
        "uniqueFontIdentifier": f"{FAMILY} {STYLE} {VERSION}",
        "fullName": f"{FAMILY} {STYLE}",
        "version": f"Version {VERSION}",
        "psName": FAMILY.replace(" ", "") + "-" + STYLE,
        "description": "An Apple II text screen font: 7 x 8 dot cells, "
                       "letters, digits and signs, MouseText and the apple characters.",
    })
    builder.setupOS2(
        version=4,
        achVendID="MRVO",
        usWeightClass=400,
        usWidthClass=5,
        fsType=0,
        fsSelection=(1 << 6) | (1 << 7),  # regular, use the typographic metrics
        sTypoAscender=ASCENT,
        sTypoDescender=-DESCENT,
        sTypoLineGap=0,
        usWinAscent=ASCENT,
        usWinDescent=DESCENT,
        sxHeight=5 * DOT,
        sCapHeight=ASCENT_ROWS * DOT,
    )
    builder.setupPost(isFixedPitch=1, underlinePosition=-DOT // 2, underlineThickness=DOT)
    builder.setupMaxp()
    add_control_program(builder.font)
    return builder.font


def add_control_program(font):
    """FreeType runs its auto-hinter over any TrueType font without a single
    hinting program, and the auto-hinter moves dot edges of glyphs it cannot
    place in a script (the apple characters in the private use area lose
    their shape at 8 and 32 pixels). A control program that only selects the
    vertical axis makes FreeType take the font's own, empty, hinting instead,
    which leaves every outline exactly where the dot grid put it."""
    program = ttProgram.Program()
    program.fromAssembly(["SVTCA[0]"])
    prep = newTable("prep")
    prep.program = program
    font["prep"] = prep


def write_atomically(font, path):
    """Writes next to the target and renames, so a failed build never leaves
    a truncated font behind."""
    directory = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(prefix=".build_font-", suffix=".ttf", dir=directory)
    os.close(handle)
    try:
        font.save(temporary, reorderTables=True)
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def main(argv):
    if len(argv) != 3:
        print("usage: build_font.py glyphs.txt out.ttf", file=sys.stderr)
        return 2
    source, output = argv[1], argv[2]
    try:
        with open(source, encoding="utf-8") as handle:
            text = handle.read()
        glyphs = parse_glyphs(text, source)
    except (OSError, UnicodeDecodeError) as error:
        print(f"build_font.py: cannot read {source}: {error}", file=sys.stderr)
        return 1
    except GlyphSourceError as error:
        print(f"build_font.py: {error}", file=sys.stderr)
        return 1
    try:
        write_atomically(build_font(glyphs), output)
    except OSError as error:
        print(f"build_font.py: cannot write {output}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
