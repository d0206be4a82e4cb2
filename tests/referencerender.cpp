// A plain transcription of the Apple II colour rules, one plotted run at a
// time, kept beside the tests as the oracle for the optimised renderer.
#include "referencerender.h"

#include "palettes.h"
#include "picturestate.h"
#include "render.h"
#include "rowbase.h"
#include "viewoptions.h"

#include <algorithm>
#include <cstring>

namespace reference {

void plotRunRef(PictureState &s, int column, int row, int colour);

namespace {

inline bool monoBit(const uchar *row, int column)
{
    return row[column >> 3] & (0x80 >> (column & 7));
}

inline int hgrDot(const uchar *line, int x)
{
    return (line[x / 7] >> (x % 7)) & 1;
}

// The four RGBA bytes of each of the current slot's 32 entries, in memory order.
struct SlotColours {
    std::array<std::array<uchar, 4>, kPaletteEntries> rgba;

    explicit SlotColours(const PictureState &state)
    {
        for (int c = 0; c < kPaletteEntries; ++c) {
            const QRgb rgb = paletteColor(state, state.paletteType, c);
            rgba[size_t(c)] = {uchar(qRed(rgb)), uchar(qGreen(rgb)), uchar(qBlue(rgb)), 255};
        }
    }
};

void hgrMonoLine(PictureState &s, int row)
{
    const uchar *line = s.mainMemory.data() + s.rowBase;
    const bool delays = s.bitShifting || s.jexEngine;
    int h = 0;
    bool previousBit6 = false;
    for (int k = 0; k < kBytesPerLine; ++k) {
        const uchar b = line[k];
        const int x0 = 7 * k;
        if (delays) {
            s.dotWidth = 1;
            h = b >> 7;
            // An undelayed byte cuts off the second half of a delayed dot
            // before it; a delayed byte after a lit dot 6 closes the gap.
            if (h == 0)
                plotRunRef(s, 2 * x0, row, 0);
            else if (previousBit6)
                plotRunRef(s, 2 * x0, row, 15);
            s.dotWidth = 2;
            previousBit6 = false;
        }
        for (int i = 0; i < 7; ++i) {
            if (b & (1 << i)) {
                plotRunRef(s, h + 2 * (x0 + i), row, 15);
                if (i == 6)
                    previousBit6 = true;
            }
        }
    }
}

void hgrColorLine(PictureState &s, int row)
{
    const uchar *line = s.mainMemory.data() + s.rowBase;
    for (int x = 0; x < kHgrDots; ++x) {
        const int cur = hgrDot(line, x);
        const int prev = x > 0 ? hgrDot(line, x - 1) : 0;
        const int next = x < kHgrDots - 1 ? hgrDot(line, x + 1) : 0;
        // The colour group and delay of a dot follow the byte of the dot to
        // its right; the last dot of the line has no such byte and keeps
        // its own.
        const int h = line[std::min(x + 1, kHgrDots - 1) / 7] >> 7;
        const bool even = (x & 1) == 0;
        int c = 0;
        if (cur)
            c = (prev || next) ? 15 : (even ? (h ? 12 : 9) : (h ? 3 : 6));
        else if (prev && next)
            c = even ? (h ? 3 : 6) : (h ? 12 : 9);

        if (s.bitShifting && x % 7 == 6) {
            s.dotWidth = 1;
            if (h == 0)
                plotRunRef(s, 2 * x, row, 0);
            else if (prev && (line[x / 7] & 0x80) == 0)
                plotRunRef(s, 2 * x, row, 15);
            s.dotWidth = 2;
        }
        if (c != 0)
            plotRunRef(s, 2 * x + (s.bitShifting ? h : 0), row, c);
    }
}

void dhgrMonoLine(PictureState &s, int row)
{
    for (int k = 0; k < kBytesPerLine; ++k) {
        for (int m = 0; m < 2; ++m) {
            const uchar b = (m ? s.mainMemory : s.auxMemory)[s.rowBase + k];
            for (int i = 0; i < 7; ++i)
                if (b & (1 << i))
                    plotRunRef(s, 7 * (2 * k + m) + i + 1, row, 15);
        }
    }
}

// The 560 dots of a DHGR line, aux and main bytes interleaved.
void dhgrLineDots(const PictureState &s, uchar dots[kDhgrDots])
{
    for (int k = 0; k < kBytesPerLine; ++k)
        for (int m = 0; m < 2; ++m) {
            const uchar b = (m ? s.mainMemory : s.auxMemory)[s.rowBase + k];
            for (int i = 0; i < 7; ++i)
                dots[7 * (2 * k + m) + i] = (b >> i) & 1;
        }
}

void dhgrColorLine(PictureState &s, int row)
{
    uchar dots[kDhgrDots];
    dhgrLineDots(s, dots);
    for (int c = 0; c < kDhgrDots / 4; ++c) {
        const uchar *d = dots + 4 * c;
        const int colour = d[0] * 8 + d[1] * 4 + d[2] * 2 + d[3];
        if (colour != 0)
            plotRunRef(s, 4 * c + s.dhgrColumnOffset, row, colour);
    }
}

// Seven bitmap columns (set = black) make one picture byte, bit 0 leftmost.
uchar encodeByte(const uchar *bitmapRow, int firstColumn, int step)
{
    uchar byte = 0x7F;
    for (int i = 0; i < 7; ++i)
        if (monoBit(bitmapRow, firstColumn + step * i))
            byte &= uchar(~(1 << i));
    return byte;
}

void bitmapToDhgrLine(PictureState &s, int row)
{
    const uchar *bits = s.monoBitmap.data() + size_t(row) * kMonoRowBytes;
    for (int k = 0; k < kBytesPerLine; ++k) {
        s.auxMemory[s.rowBase + k] = encodeByte(bits, 7 * (2 * k) + 1, 1);
        s.mainMemory[s.rowBase + k] = encodeByte(bits, 7 * (2 * k + 1) + 1, 1);
    }
}

void bitmapToHgrLine(PictureState &s, int row)
{
    const uchar *bits = s.monoBitmap.data() + size_t(row) * kMonoRowBytes;
    for (int k = 0; k < kBytesPerLine; ++k)
        s.mainMemory[s.rowBase + k] = encodeByte(bits, 2 * 7 * k + 1, 2);
}

// Variant 2 marks windows whose colour depends on one more column on each
// side: A is the column three to the left, L three to the right.
int resolveSharp(int colour, int w, bool a, bool l)
{
    const int kept = colour - 128;
    switch (w) {
    case 2: case 3:
        return a ? kept : 0;
    case 8: case 24:
        return l ? kept : 0;
    case 7:
        return !l ? kept : 15;
    case 28:
        return !a ? kept : 15;
    case 17:
        return (!a || !l) ? kept : 0;
    default:
        return kept;
    }
}


} // namespace

void plotRunRef(PictureState &s, int column, int row, int colour)
{
    if (row < 0 || row >= kFrameHeight || s.targetPixels == nullptr)
        return;
    const int end = std::min(column + int(s.dotWidth), kFrameWidth);
    const int start = std::max(column, 0);
    if (start >= end)
        return;
    if (s.targetDepth == 1) {
        uchar *bits = s.targetPixels + size_t(row) * s.targetRowBytes;
        for (int x = start; x < end; ++x) {
            const uchar mask = uchar(0x80 >> (x & 7));
            if (colour == 0)
                bits[x >> 3] |= mask;
            else
                bits[x >> 3] &= uchar(~mask);
        }
        return;
    }
    const QRgb rgb = paletteColor(s, s.paletteType, colour & 31);
    const uchar px[4] = {uchar(qRed(rgb)), uchar(qGreen(rgb)), uchar(qBlue(rgb)), 255};
    uchar *p = s.targetPixels + size_t(row) * s.targetRowBytes + size_t(start) * 4;
    for (int x = start; x < end; ++x, p += 4)
        std::memcpy(p, px, 4);
}

void renderRowsRef(PictureState &s, int mode)
{
    if (mode < HgrMono || mode > BitmapToHgr)
        return;
    for (int row = 0; row < kScanLines; ++row) {
        s.currentRow = quint32(row);
        s.rowBase = rowBaseTable[size_t(row)];
        switch (mode) {
        case HgrMono: hgrMonoLine(s, row); break;
        case HgrColor: hgrColorLine(s, row); break;
        case DhgrMono: dhgrMonoLine(s, row); break;
        case DhgrColor: dhgrColorLine(s, row); break;
        case BitmapToDhgr: bitmapToDhgrLine(s, row); break;
        case BitmapToHgr: bitmapToHgrLine(s, row); break;
        }
    }
}

void renderJexRef(PictureState &s)
{
    const SlotColours slot(s);
    const int variant = std::min<int>(s.schemeType, 2);
    // p(col) for col = -3 .. 564, stored at col + 3; only columns 0 to 560
    // can be lit.
    uchar lit[kFrameWidth + 6];
    for (int row = 0; row < kFrameHeight; ++row) {
        const uchar *bits = s.monoBitmap.data() + size_t(row) * kMonoRowBytes;
        std::memset(lit, 0, sizeof lit);
        for (int col = 0; col <= kFrameWidth - 2; ++col)
            lit[col + 3] = monoBit(bits, col) ? 1 : 0;
        const uchar *p = lit + 3;
        uchar *out = s.targetPixels + size_t(row) * s.targetRowBytes;
        int w = 2 * p[0] + p[1];
        for (int x = 0; x < kFrameWidth; ++x, out += 4) {
            w = ((w << 1) | p[x + 2]) & 31;
            int colour = jexWindowTable[variant][(x + 3) & 3][w];
            if (colour >= 128)
                colour = resolveSharp(colour, w, p[x - 3], p[x + 3]);
            std::memcpy(out, slot.rgba[size_t(colour)].data(), 4);
        }
    }
}

void selectDotWidthRef(PictureState &s)
{
    if (s.jexEngine)
        s.dotWidth = 1;
    else if (s.isDhgr)
        s.dotWidth = s.bmFinalDepth > 1 ? 4 : 1;
    else
        s.dotWidth = 2;
}

void prepareTargetRef(PictureState &s, QImage &image)
{
    if (s.targetDepth != 1) {
        image = QImage(kFrameWidth, kFrameHeight, QImage::Format_RGBA8888);
        image.fill(Qt::black);
        s.targetPixels = image.bits();
        s.targetRowBytes = quint32(image.bytesPerLine());
        s.targetDepth = 32;
        return;
    }
    if (s.monoCapacity < quint32(kMonoBytes) || s.monoBitmap.size() < size_t(kMonoBytes)) {
        s.monoBitmap.assign(kMonoBytes, 0);
        s.monoCapacity = kMonoBytes;
    }
    std::memset(s.monoBitmap.data(), 0xFF, kMonoBytes);
    s.targetPixels = s.monoBitmap.data();
    s.targetRowBytes = kMonoRowBytes;
}

void buildMonoImageRef(PictureState &s, QImage &image, int width, int height)
{
    width = std::clamp(width, 0, kFrameWidth);
    height = std::clamp(height, 0, kFrameHeight);
    image = QImage(width, height, QImage::Format_RGBA8888);
    image.fill(Qt::black);
    const QRgb tint = monoTint(s, s.paletteType, s.oneBitPalette);
    const uchar px[4] = {uchar(qRed(tint)), uchar(qGreen(tint)), uchar(qBlue(tint)), 255};
    const int rowBytes = (width + 7) / 8;
    for (int y = 0; y < height; ++y) {
        const uchar *bits = s.monoBitmap.data() + size_t(y) * size_t(rowBytes);
        uchar *out = image.scanLine(y);
        for (int x = 0; x < width; ++x)
            if (!monoBit(bits, x))
                std::memcpy(out + 4 * x, px, 4);
    }
}

void renderPictureRef(PictureState &s, QImage &image)
{
    clampViewOptions(s);
    selectDotWidthRef(s);
    const int monoMode = s.isDhgr ? DhgrMono : HgrMono;
    if (s.jexEngine) {
        s.targetDepth = 1;
        prepareTargetRef(s, image);
        renderRowsRef(s, monoMode);
        if (s.bmFinalDepth > 1) {
            for (uchar &b : s.monoBitmap)
                b = uchar(~b);
            s.targetDepth = 32;
            prepareTargetRef(s, image);
            renderJexRef(s);
        } else {
            buildMonoImageRef(s, image, kFrameWidth, kFrameHeight);
        }
    } else if (s.bmFinalDepth != 1) {
        s.targetDepth = 32;
        prepareTargetRef(s, image);
        renderRowsRef(s, s.bmFinalDepth > 1 ? (s.isDhgr ? DhgrColor : HgrColor) : monoMode);
    } else {
        s.targetDepth = 1;
        prepareTargetRef(s, image);
        renderRowsRef(s, monoMode);
        buildMonoImageRef(s, image, kFrameWidth, kFrameHeight);
    }
    // The target points into buffers that may be replaced; never keep it.
    s.targetPixels = nullptr;
}

void renderMonoBitmapRef(PictureState &s, bool bitShifting, bool jexEngine, quint32 dotWidth)
{
    const bool savedShifting = s.bitShifting;
    const bool savedJex = s.jexEngine;
    s.bitShifting = bitShifting;
    s.jexEngine = jexEngine;
    s.dotWidth = dotWidth;
    s.targetDepth = 1;
    QImage unused;
    prepareTargetRef(s, unused);
    renderRowsRef(s, s.isDhgr ? DhgrMono : HgrMono);
    s.targetPixels = nullptr;
    s.bitShifting = savedShifting;
    s.jexEngine = savedJex;
}

void encodeMonoBitmapRef(PictureState &s, bool asDhgr)
{
    renderRowsRef(s, asDhgr ? BitmapToDhgr : BitmapToHgr);
}

} // namespace reference
