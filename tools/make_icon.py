#!/usr/bin/env python3
"""Draws the morvo icon into source/resources/morvo-icon.png, and the
256 x 256 and 512 x 512 desktop icons, scaled down from it, into
packaging/icons/.

A beige Apple II style monitor whose screen shows a hi-res picture: a prompt
with the program's name, a sun, violet mountains and green hills in chunky
hi-res pixels with dark scan lines between them. The artwork fills the middle
of a transparent 1024 x 1024 square; the program zooms the icon by 1.38, which
cuts the transparent margin of about 14% on each side away.

Run: python3 tools/make_icon.py [output file]
(with an output file, only the 1024 x 1024 icon is written there)
"""

import math
import os
import struct
import sys
import zlib

SIZE = 1024
MARGIN = 144          # 1024 / 1.38 leaves 742 pixels; the artwork keeps to 736
ART = SIZE - 2 * MARGIN

CASE = (216, 203, 168)
CASE_SHADE = (176, 164, 134)
CASE_DARK = (120, 110, 88)
SCREEN_GLASS = (18, 20, 18)
LED = (60, 220, 60)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREEN = (56, 208, 48)
VIOLET = (200, 64, 240)
ORANGE = (240, 120, 24)
BLUE = (40, 144, 240)

# Screen rectangle in artwork coordinates and the size of one hi-res pixel.
SCREEN = (56, 48, 680, 552)
CELL = 8

# Just the letters the prompt needs, 5 x 7 dots.
LETTERS = {
    "]": ["01110", "00010", "00010", "00010", "00010", "00010", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    " ": ["00000"] * 7,
}


def rounded_rect_distance(x, y, left, top, right, bottom, radius):
    """Signed distance from (x, y) to a rounded rectangle's edge, negative
    inside."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0) - radius


def coverage(distance):
    return min(1.0, max(0.0, 0.5 - distance))


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def screen_picture():
    """The hi-res picture on the screen, one colour per cell."""
    cols = (SCREEN[2] - SCREEN[0]) // CELL
    rows = (SCREEN[3] - SCREEN[1]) // CELL
    pic = [[BLACK] * cols for _ in range(rows)]

    def text(row, col, s):
        for i, ch in enumerate(s):
            for y, bits in enumerate(LETTERS[ch]):
                for x, bit in enumerate(bits):
                    if bit == "1":
                        pic[row + y][col + i * 6 + x] = WHITE

    text(3, 4, "]RUN MORVO")
    for y in range(3, 10):            # the cursor
        for x in range(64, 69):
            pic[y][x] = WHITE

    horizon = 46
    for y in range(14, rows):         # sky, thickening towards the horizon
        for x in range(cols):
            if y >= 30 or (y >= 22 and (x + y) % 2 == 0) or (y % 2 == 0 and (x + y) % 4 == 0):
                pic[y][x] = BLUE
    sun_x, sun_y, sun_r = 56, 27, 8.5
    for y in range(rows):
        for x in range(cols):
            if math.hypot(x - sun_x, y - sun_y) < sun_r:
                pic[y][x] = ORANGE
    for x in range(cols):
        # Violet mountains with snow on their tops.
        height = max(21 - abs(x - 20), 15 - abs(x - 45) * 0.9, 4 - abs(x - 66) * 0.3, 0)
        for y in range(int(horizon - height), rows):
            pic[y][x] = WHITE if y < horizon - height + 4 and height > 12 else VIOLET
        # A dotted green hill behind a solid one.
        back = int(horizon - 1 - 3 * math.sin(x / 7.0))
        for y in range(back, rows):
            pic[y][x] = GREEN if (x + y) % 2 == 0 else BLACK
        front = int(horizon + 6 - 4 * math.sin(x / 10.0 + 2))
        for y in range(front, rows):
            pic[y][x] = GREEN
    return pic


def art_pixel(x, y, pic):
    """Colour and alpha of one artwork pixel (x, y are pixel centres)."""
    body = rounded_rect_distance(x, y, 0, 0, ART, ART, 64)
    alpha = coverage(body)
    if alpha <= 0.0:
        return BLACK, 0.0
    # The case, lighter at the top, with a darker rim.
    colour = blend(CASE, CASE_SHADE, y / ART)
    if body > -10:
        colour = blend(colour, CASE_DARK, 0.6)
    # The screen in its recess.
    recess = rounded_rect_distance(x, y, SCREEN[0] - 14, SCREEN[1] - 14, SCREEN[2] + 14, SCREEN[3] + 14, 40)
    colour = blend(colour, CASE_DARK, coverage(recess) * 0.8)
    glass = rounded_rect_distance(x, y, SCREEN[0], SCREEN[1], SCREEN[2], SCREEN[3], 28)
    if glass < 1.0:
        cx, cy = int((x - SCREEN[0]) // CELL), int((y - SCREEN[1]) // CELL)
        inner = SCREEN_GLASS
        if 0 <= cy < len(pic) and 0 <= cx < len(pic[0]):
            inner = pic[cy][cx]
            if (y - SCREEN[1]) % CELL >= CELL - 2:   # scan line gap
                inner = blend(inner, BLACK, 0.45)
            inner = blend(inner, SCREEN_GLASS, 0.08)
        colour = blend(colour, inner, coverage(glass))
    # Power light and speaker slots below the screen.
    if math.hypot(x - 620, y - 640) < 14:
        colour = blend(colour, LED, coverage(math.hypot(x - 620, y - 640) - 13))
    for i in range(6):
        slot = rounded_rect_distance(x, y, 80 + i * 44, 620, 108 + i * 44, 660, 10)
        colour = blend(colour, CASE_DARK, coverage(slot))
    return colour, alpha


def render():
    pic = screen_picture()
    rows = []
    for py in range(SIZE):
        row = bytearray()
        for px in range(SIZE):
            x, y = px - MARGIN + 0.5, py - MARGIN + 0.5
            if 0 <= x < ART and 0 <= y < ART:
                colour, alpha = art_pixel(x, y, pic)
            else:
                colour, alpha = BLACK, 0.0
            row += bytes(colour) + bytes([round(alpha * 255)])
        rows.append(bytes(row))
    return rows


def downscaled(rows, factor):
    """The icon shrunk by a whole factor: each pixel the average of a
    factor x factor block, colours weighted by their alpha so that the
    transparent black around the artwork does not darken its edge."""
    side = len(rows) // factor
    out = []
    for oy in range(side):
        block_rows = rows[oy * factor:(oy + 1) * factor]
        row = bytearray()
        for ox in range(side):
            r = g = b = a = 0
            for src in block_rows:
                for i in range(4 * ox * factor, 4 * (ox + 1) * factor, 4):
                    alpha = src[i + 3]
                    r += src[i] * alpha
                    g += src[i + 1] * alpha
                    b += src[i + 2] * alpha
                    a += alpha
            if a:
                row += bytes((round(r / a), round(g / a), round(b / a), round(a / (factor * factor))))
            else:
                row += bytes(4)
        out.append(bytes(row))
    return out


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\x00" + r for r in rows)
    header = struct.pack(">IIBBBBB", len(rows), len(rows), 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def write(path, rows):
    with open(path, "wb") as f:
        f.write(png(rows))


def main():
    rows = render()
    if len(sys.argv) > 1:
        write(sys.argv[1], rows)
        return
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    write(os.path.join(top, "source", "resources", "morvo-icon.png"), rows)
    for side in (256, 512):
        write(os.path.join(top, "packaging", "icons", "morvo-%d.png" % side), downscaled(rows, SIZE // side))


if __name__ == "__main__":
    main()
