#include "pictureedit.h"

#include "picturestate.h"
#include "render.h"
#include "rowbase.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kLastColumn = kDhgrDots - 1;   // 559
constexpr int kLastRow = kScanLines - 1;     // 191
constexpr int kLastCellStart = kDhgrDots - 4;  // 556

enum Outcode { Left = 1, Right = 2, Top = 4, Bottom = 8 };

int outcode(QPoint p)
{
    int code = 0;
    if (p.y() >= kScanLines)
        code |= Bottom;
    else if (p.y() < 0)
        code |= Top;
    if (p.x() >= kDhgrDots)
        code |= Right;
    else if (p.x() < 0)
        code |= Left;
    return code;
}

// Truncates toward zero. Far-off mouse positions can make a boundary
// crossing land beyond what an int holds; such a point is outside the
// picture either way, so it is kept just outside.
int truncated(float value)
{
    constexpr float kFar = 1.0e9f;
    return int(std::clamp(value, -kFar, kFar));
}

// Moves a point whose outcode is not 0 onto the picture boundary that its
// code names, along the line towards other.
void moveOntoBoundary(QPoint &p, int code, QPoint other)
{
    if (p.x() == other.x()) {
        // A vertical line: only the row moves.
        if (code & Top)
            p.setY(0);
        else if (code & Bottom)
            p.setY(kLastRow);
        return;
    }
    const float m = float(other.y() - p.y()) / float(other.x() - p.x());
    const float x = float(p.x());
    const float y = float(p.y());
    if (code & Left)
        p = QPoint(0, truncated(y - x * m));
    else if (code & Right)
        p = QPoint(kLastColumn, truncated((float(kLastColumn) - x) * m + y));
    else if (code & Top)
        p = QPoint(truncated(x - y / m), 0);
    else if (code & Bottom)
        p = QPoint(truncated((float(kLastRow) - y) / m + x), kLastRow);
}

// Far from the picture single precision loses whole dots, and the
// difference of two far-off positions may not even fit an int. Ends beyond
// this square around the picture, further out than any mouse reaches, are
// first brought onto it along the line in double precision, which holds
// every int exactly (Liang-Barsky).
constexpr double kNear = 1048576.0;

bool bringNear(QPoint &a, QPoint &b)
{
    const double ax = a.x();
    const double ay = a.y();
    const double dx = double(b.x()) - ax;
    const double dy = double(b.y()) - ay;
    const double towards[] = {-dx, dx, -dy, dy};
    const double room[] = {ax + kNear, kNear - ax, ay + kNear, kNear - ay};
    double enter = 0.0;
    double leave = 1.0;
    for (int side = 0; side < 4; ++side) {
        if (towards[side] == 0.0) {
            if (room[side] < 0.0)
                return false;
            continue;
        }
        const double t = room[side] / towards[side];
        if (towards[side] < 0.0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    // Ends inside the square come back exactly as they were (t is 0 or 1).
    b = QPoint(qRound(ax + leave * dx), qRound(ay + leave * dy));
    a = QPoint(qRound(ax + enter * dx), qRound(ay + enter * dy));
    return true;
}

uchar &dhgrByte(PictureState &state, int x, int y)
{
    const DotPlace place = dhgrDotPlace(x, y);
    return (place.main ? state.mainMemory : state.auxMemory)[size_t(place.offset)];
}

// The colour cell's start moves right for colours whose dots read better
// started later in the window: what looks right differs between the
// "By the Book" cells and the table engines' sliding window.
int cellShift(int colour, bool tableEngines)
{
    if (!tableEngines)
        return colour == 3 ? 2 : 0;
    switch (colour) {
    case 3: case 9: return 2;
    case 13: case 14: return 3;
    case 11: return 1;
    default: return 0;
    }
}

// Shifts one bitmap row (set = black, most significant bit leftmost) by one
// column, a black column entering at the edge.
void shiftRowLeft(uchar *row)
{
    for (int i = 0; i < kMonoRowBytes; ++i) {
        const int next = i + 1 < kMonoRowBytes ? row[i + 1] >> 7 : 1;
        row[i] = uchar((row[i] << 1) | next);
    }
}

void shiftRowRight(uchar *row)
{
    for (int i = kMonoRowBytes - 1; i >= 0; --i) {
        const int previous = i > 0 ? row[i - 1] & 1 : 1;
        row[i] = uchar((row[i] >> 1) | (previous << 7));
    }
}

void shiftBitmap(PictureState &state, bool left, int columns)
{
    for (int row = 0; row < kScanLines; ++row) {
        uchar *bits = state.monoBitmap.data() + size_t(row) * kMonoRowBytes;
        for (int i = 0; i < columns; ++i)
            left ? shiftRowLeft(bits) : shiftRowRight(bits);
    }
}

} // namespace

DotPlace dhgrDotPlace(int x, int y)
{
    const int s = x + x / 7;
    return {(s & 8) != 0, rowBaseTable[size_t(y)] + s / 16, x % 7};
}

bool dhgrDotLit(const PictureState &state, int x, int y)
{
    if (x < 0 || x > kLastColumn || y < 0 || y > kLastRow)
        return false;
    const DotPlace place = dhgrDotPlace(x, y);
    return (place.main ? state.mainMemory : state.auxMemory)[size_t(place.offset)] & (1 << place.bit);
}

bool clipLine(QPoint &a, QPoint &b)
{
    // Each end crosses at most one vertical and one horizontal boundary on
    // its way in, so four moves clip any line. Single-precision rounding can
    // leave an end just outside again; a line still not settled after twice
    // as many moves is dropped rather than chased without end.
    constexpr int kMostMoves = 8;
    if (!bringNear(a, b))
        return false;
    int codeA = outcode(a);
    int codeB = outcode(b);
    if ((codeA | codeB) == 0)
        return true;
    for (int moves = 0; moves < kMostMoves && (codeA & codeB) == 0; ++moves) {
        if (codeA == 0) {
            std::swap(a, b);
            std::swap(codeA, codeB);
        }
        moveOntoBoundary(a, codeA, b);
        codeA = outcode(a);
        codeB = outcode(b);
        if ((codeA | codeB) == 0)
            return true;
    }
    return false;
}

void plotDot(PictureState &state, int x, int y, int colour)
{
    if (x < 0 || x > kLastColumn || y < 0 || y > kLastRow)
        return;
    uchar &byte = dhgrByte(state, x, y);
    const uchar mask = uchar(1 << (x % 7));
    if (colour & (8 >> (x % 4)))
        byte |= mask;
    else
        byte &= uchar(~mask);
}

void plotColorCell(PictureState &state, int x, int y, int colour)
{
    if (x < 0 || x > kLastColumn || y < 0 || y > kLastRow)
        return;
    const int start = std::min((x & ~3) + cellShift(colour, state.jexEngine), kLastCellStart);
    for (int d = start; d < start + 4; ++d)
        plotDot(state, d, y, colour);
}

void drawPencilLine(PictureState &state, QPoint from, QPoint to, int colour)
{
    if (!clipLine(from, to))
        return;
    const int dx = std::abs(to.x() - from.x());
    const int dy = std::abs(to.y() - from.y());
    const bool yMajor = dx < dy;
    const int major = std::max(dx, dy);
    const int minor = std::min(dx, dy);
    const int stepX = to.x() >= from.x() ? 1 : -1;
    const int stepY = to.y() >= from.y() ? 1 : -1;

    int x = from.x();
    int y = from.y();
    int error = 2 * minor - major;
    for (int i = 0; i <= major; ++i) {
        if (state.is560Mode)
            plotDot(state, x, y, colour);
        else
            plotColorCell(state, x, y, colour);
        if (error < 0) {
            if (yMajor)
                y += stepY;
            else
                x += stepX;
            error += 2 * minor;
        } else {
            x += stepX;
            y += stepY;
            error += 2 * (minor - major);
        }
    }
}

void convertToDhgr(PictureState &state)
{
    if (state.isDhgr)
        return;
    // The HGR dots as the monitor shows them, half-dot delays included:
    // dot x with high bit h lights columns 2x + h and 2x + h + 1, which
    // are DHGR dots 2x + h - 1 and 2x + h.
    renderMonoBitmap(state, true, false, 2);
    encodeMonoBitmap(state, true);
    state.isDhgr = true;
}

void shiftPicture(PictureState &state, bool left)
{
    if (state.isDhgr) {
        renderMonoBitmap(state, state.bitShifting, state.jexEngine, 1);
        shiftBitmap(state, left, 1);
        encodeMonoBitmap(state, true);
        return;
    }
    // An HGR dot is two columns wide, and a byte can only say whether all of
    // its dots are delayed by half a dot. The encoder reads the right half of
    // each dot and writes every high bit clear, so a half-dot move rounds to
    // a whole dot: one column to the left reaches the dot before, while to
    // the right it takes two columns to reach the next dot.
    renderMonoBitmap(state, state.bitShifting, state.jexEngine, 2);
    shiftBitmap(state, left, left ? 1 : 2);
    encodeMonoBitmap(state, false);
}
