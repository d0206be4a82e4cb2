#!/usr/bin/env python3
"""Writes morvo's sample pictures: an HGR and a DHGR colour test card.

The pictures are Apple II memory images made dot by dot here, so that they
can be shipped with the program and used by its tests:

  samples/testcard.dgr  DHGR, 16,384 bytes (aux then main): bars of all 16
                        colours, a dithered ramp, and white line art.
  samples/testcard.hgr  HGR, 8,192 bytes: the six HGR colours with both high-bit
                        groups, and white line art.

Usage: make_samples.py [OUTPUT_DIR]   (default: samples/ beside tools/)
"""
import math
import os
import sys


def row_base(y):
    return 1024 * (y % 8) + 128 * ((y // 8) % 8) + 40 * (y // 64)


class Dhgr:
    def __init__(self):
        self.aux = bytearray(8192)
        self.main = bytearray(8192)

    def dot(self, d, y, lit=True):
        if not (0 <= d < 560 and 0 <= y < 192):
            return
        group = d // 7
        memory = self.aux if group % 2 == 0 else self.main
        offset = row_base(y) + group // 2
        mask = 1 << (d % 7)
        if lit:
            memory[offset] |= mask
        else:
            memory[offset] &= ~mask & 0xFF

    def cell(self, c, y, colour):
        # A four-dot cell: its leftmost dot carries bit 3 of the colour.
        for j in range(4):
            self.dot(4 * c + j, y, bool(colour & (8 >> j)))

    def data(self):
        return bytes(self.aux + self.main)


class Hgr:
    def __init__(self):
        self.main = bytearray(8192)

    def dot(self, x, y, lit=True):
        if not (0 <= x < 280 and 0 <= y < 192):
            return
        offset = row_base(y) + x // 7
        mask = 1 << (x % 7)
        if lit:
            self.main[offset] |= mask
        else:
            self.main[offset] &= ~mask & 0xFF

    def high_bit(self, k, y, on):
        offset = row_base(y) + k
        self.main[offset] = (self.main[offset] | 0x80) if on else (self.main[offset] & 0x7F)

    def data(self):
        return bytes(self.main)


def line(plot, x0, y0, x1, y1):
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        plot(x0, y0)
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def ellipse(plot, cx, cy, rx, ry):
    steps = int(2 * math.pi * max(rx, ry) * 2)
    for i in range(steps):
        a = 2 * math.pi * i / steps
        plot(round(cx + rx * math.cos(a)), round(cy + ry * math.sin(a)))


def dhgr_card():
    pic = Dhgr()
    # Rows 0-95: sixteen bars of 8 cells (32 dots) each, colour 0 to 15,
    # between six-cell white margins.
    for y in range(0, 96):
        for c in range(140):
            if c < 6 or c >= 134:
                colour = 15 if 8 <= y < 88 else 0
            else:
                colour = (c - 6) // 8
            if y < 8 or y >= 88:
                colour = 0
            pic.cell(c, y, colour)
    # Rows 100-115: a ramp that dithers each colour against its neighbour.
    for y in range(100, 116):
        for c in range(140):
            a = (c * 16) // 140
            b = min(a + 1, 15)
            pic.cell(c, y, b if (c + y) % 2 and (c * 16) % 140 >= 70 else a)
    # Rows 120-191: white single-dot line art on black.
    plot = lambda x, y: pic.dot(x, y)
    for x0 in range(0, 560, 40):
        line(plot, x0, 191, 279, 122)
    ellipse(plot, 279, 156, 120, 32)
    ellipse(plot, 279, 156, 60, 16)
    line(plot, 0, 120, 559, 120)
    return pic.data()


def hgr_card():
    pic = Hgr()
    # Six bands of 40 dots: black, violet, green (high bit off), blue,
    # orange (high bit on), white; each band in rows 8-87.
    bands = [
        ("black", lambda x: False, False),
        ("violet", lambda x: x % 2 == 0, False),
        ("green", lambda x: x % 2 == 1, False),
        ("blue", lambda x: x % 2 == 0, True),
        ("orange", lambda x: x % 2 == 1, True),
        ("white", lambda x: True, False),
    ]
    for y in range(8, 88):
        for k in range(40):
            band = bands[min(k * 6 // 40, 5)]
            pic.high_bit(k, y, band[2])
            for i in range(7):
                x = 7 * k + i
                pic.dot(x, y, band[1](x))
    # Rows 92-111: both high-bit groups side by side for every byte, so the
    # half-dot shift and the group boundaries show.
    for y in range(92, 112):
        for k in range(40):
            pic.high_bit(k, y, (k // 2) % 2 == 1)
            for i in range(7):
                x = 7 * k + i
                pic.dot(x, y, (x + y) % 2 == 0)
    # Rows 118-191: white line art (pairs of dots read as white).
    def plot(x, y):
        pic.dot(x, y)
        pic.dot(x + 1, y)
    for x0 in range(0, 280, 20):
        line(plot, x0, 191, 139, 122)
    ellipse(plot, 139, 156, 60, 32)
    line(plot, 0, 118, 278, 118)
    return pic.data()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "samples")
    os.makedirs(out, exist_ok=True)
    for name, data in (("testcard.dgr", dhgr_card()), ("testcard.hgr", hgr_card())):
        path = os.path.join(out, name)
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(data)
        os.replace(tmp, path)
        print(f"{path}: {len(data)} bytes")


if __name__ == "__main__":
    main()
