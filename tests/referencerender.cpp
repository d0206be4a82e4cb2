// A plain transcription of the Apple II colour rules, one plotted run at a
// time into a grid of colour codes, kept beside the tests as the oracle for
// the optimised renderer.
#include "referencerender.h"

#include "palettes.h"
#include "picturestate.h"
#include "render.h"
#include "rowbase.h"
#include "viewoptions.h"

#include <vector>

namespace reference {
namespace {

constexpr int kBlack = -1;  // untouched background, or a black bitmap column

// One frame: a palette entry per column, or in monochrome 1 for lit and
// kBlack for black. Bitmap rows are 568 columns, as their 71 bytes hold.
struct Grid {
    int width = 568;
    std::vector<int> cells = std::vector<int>(size_t(568 * 192), kBlack);
    int &at(int x, int y) { return cells[size_t(y * width + x)]; }
};

struct Renderer {
    PictureState &s;
    Grid grid;
    bool mono = true;
    int dotWidth = 1;

    void plot(int column, int row, int colour)
    {
        for (int x = std::max(column, 0); x < std::min(column + dotWidth, 562); ++x)
            grid.at(x, row) = mono ? (colour ? 1 : kBlack) : colour;
    }

    int hgrDot(const uchar *line, int x) { return (x < 0 || x > 279) ? 0 : (line[x / 7] >> (x % 7)) & 1; }

    void hgrMono(int row, const uchar *line)
    {
        const bool delays = s.bitShifting || s.jexEngine;
        int h = 0;
        bool previousBit6 = false;
        for (int k = 0; k < 40; ++k) {
            const uchar b = line[k];
            if (delays) {
                dotWidth = 1;
                h = b >> 7;
                if (h == 0)
                    plot(14 * k, row, 0);
                else if (previousBit6)
                    plot(14 * k, row, 15);
                dotWidth = 2;
                previousBit6 = false;
            }
            for (int i = 0; i < 7; ++i)
                if (b & (1 << i)) {
                    plot(h + 2 * (7 * k + i), row, 15);
                    previousBit6 = previousBit6 || i == 6;
                }
        }
    }

    void hgrColour(int row, const uchar *line)
    {
        for (int x = 0; x < 280; ++x) {
            const int cur = hgrDot(line, x), prev = hgrDot(line, x - 1), next = hgrDot(line, x + 1);
            const int h = line[std::min(x + 1, 279) / 7] >> 7;
            const bool even = x % 2 == 0;
            int c = 0;
            if (cur)
                c = (prev || next) ? 15 : (even ? (h ? 12 : 9) : (h ? 3 : 6));
            else if (prev && next)
                c = even ? (h ? 3 : 6) : (h ? 12 : 9);
            if (s.bitShifting && x % 7 == 6) {
                dotWidth = 1;
                if (h == 0)
                    plot(2 * x, row, 0);
                else if (prev && (line[x / 7] & 0x80) == 0)
                    plot(2 * x, row, 15);
            }
            dotWidth = 2;
            if (c)
                plot(2 * x + (s.bitShifting ? h : 0), row, c);
        }
    }

    int dhgrDot(int base, int d)
    {
        const int g = d / 7;
        return ((g % 2 ? s.mainMemory : s.auxMemory)[size_t(base + g / 2)] >> (d % 7)) & 1;
    }

    void renderRows(int mode)
    {
        for (int row = 0; row < 192; ++row) {
            const int base = rowBaseTable[size_t(row)];
            if (mode == HgrMono)
                hgrMono(row, s.mainMemory.data() + base);
            else if (mode == HgrColor)
                hgrColour(row, s.mainMemory.data() + base);
            for (int d = 0; d < 560 && mode == DhgrMono; ++d)
                if (dhgrDot(base, d))
                    plot(d + 1, row, 15);
            for (int c = 0; c < 140 && mode == DhgrColor; ++c) {
                const int colour = 8 * dhgrDot(base, 4 * c) + 4 * dhgrDot(base, 4 * c + 1)
                    + 2 * dhgrDot(base, 4 * c + 2) + dhgrDot(base, 4 * c + 3);
                if (colour)
                    plot(4 * c + s.dhgrColumnOffset, row, colour);
            }
        }
    }

    int lit(int x, int y) { return (x >= 0 && x <= 560 && grid.at(x, y) == 1) ? 1 : 0; }

    Grid tableEngine()
    {
        Grid out;
        for (int y = 0; y < 192; ++y)
            for (int x = 0; x < 562; ++x) {
                const int w = 16 * lit(x - 2, y) + 8 * lit(x - 1, y) + 4 * lit(x, y) + 2 * lit(x + 1, y) + lit(x + 2, y);
                int c = jexWindowTable[s.schemeType][(x + 3) % 4][w];
                if (c >= 128) {
                    const bool a = lit(x - 3, y), l = lit(x + 3, y);
                    const bool keep = (w == 2 || w == 3) ? a : (w == 8 || w == 24) ? l : w == 7 ? !l
                                    : w == 28 ? !a : (!a || !l);
                    c = keep ? c - 128 : ((w == 7 || w == 28) ? 15 : 0);
                }
                out.at(x, y) = c;
            }
        return out;
    }

    QImage image(const Grid &g, bool tinted)
    {
        QImage frame(562, 192, QImage::Format_RGBA8888);
        const QRgb tint = monoTint(s, s.paletteType, s.oneBitPalette);
        for (int y = 0; y < 192; ++y)
            for (int x = 0; x < 562; ++x) {
                const int c = g.cells[size_t(y * g.width + x)];
                const QRgb rgb = c == kBlack ? qRgb(0, 0, 0) : tinted ? tint : paletteColor(s, s.paletteType, c);
                frame.setPixel(x, y, rgb | 0xFF000000);
            }
        return frame;
    }

    void storeBitmap()
    {
        for (int y = 0; y < 192; ++y)
            for (int x = 0; x < 568; ++x) {
                uchar &byte = s.monoBitmap[size_t(y * 71 + x / 8)];
                byte = uchar(grid.at(x, y) == 1 ? byte & ~(0x80 >> (x % 8)) : byte | (0x80 >> (x % 8)));
            }
    }
};

} // namespace

void renderPictureRef(PictureState &s, QImage &image)
{
    clampViewOptions(s);
    Renderer r{s, {}, true, 1};
    const int monoMode = s.isDhgr ? DhgrMono : HgrMono;
    if (s.jexEngine) {
        r.dotWidth = 1;
        r.renderRows(monoMode);
        image = s.bmFinalDepth > 1 ? r.image(r.tableEngine(), false) : r.image(r.grid, true);
    } else if (s.bmFinalDepth != 1) {
        r.mono = false;
        r.dotWidth = s.isDhgr ? (s.bmFinalDepth > 1 ? 4 : 1) : 2;
        r.renderRows(s.bmFinalDepth > 1 ? (s.isDhgr ? DhgrColor : HgrColor) : monoMode);
        image = r.image(r.grid, false);
    } else {
        r.dotWidth = s.isDhgr ? 1 : 2;
        r.renderRows(monoMode);
        image = r.image(r.grid, true);
    }
}

void renderMonoBitmapRef(PictureState &s, bool bitShifting, bool jexEngine, quint32 dotWidth)
{
    const bool savedShifting = s.bitShifting, savedJex = s.jexEngine;
    s.bitShifting = bitShifting;
    s.jexEngine = jexEngine;
    Renderer r{s, {}, true, int(dotWidth)};
    r.renderRows(s.isDhgr ? DhgrMono : HgrMono);
    r.storeBitmap();
    s.bitShifting = savedShifting;
    s.jexEngine = savedJex;
}

void encodeMonoBitmapRef(PictureState &s, bool asDhgr)
{
    const auto black = [&s](int row, int x) { return s.monoBitmap[size_t(row * 71 + x / 8)] & (0x80 >> (x % 8)); };
    for (int row = 0; row < 192; ++row)
        for (int k = 0; k < 40; ++k)
            for (int m = 0; m < (asDhgr ? 2 : 1); ++m) {
                uchar byte = 0x7F;
                for (int i = 0; i < 7; ++i)
                    if (black(row, asDhgr ? 7 * (2 * k + m) + i + 1 : 2 * (7 * k + i) + 1))
                        byte &= uchar(~(1 << i));
                ((asDhgr && m == 0) ? s.auxMemory : s.mainMemory)[size_t(rowBaseTable[size_t(row)] + k)] = byte;
            }
}

} // namespace reference
