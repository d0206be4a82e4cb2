#include "picturetools.h"

#include "pictureedit.h"
#include "picturestate.h"
#include "rowbase.h"

#include <QtGlobal>

#include <algorithm>
#include <vector>

namespace {

constexpr int kCellDots = 4;

const std::array<ToolInfo, 6> kTools = {{
    {Tool::Pencil, "pencil", QT_TRANSLATE_NOOP("Tool", "Pencil"), 'P', QT_TRANSLATE_NOOP("Tool", "Stroke")},
    {Tool::Line, "line", QT_TRANSLATE_NOOP("Tool", "Line"), 'N', QT_TRANSLATE_NOOP("Tool", "Line")},
    {Tool::Rectangle, "rectangle", QT_TRANSLATE_NOOP("Tool", "Rectangle"), 'R', QT_TRANSLATE_NOOP("Tool", "Rectangle")},
    {Tool::FilledRectangle, "filledRectangle", QT_TRANSLATE_NOOP("Tool", "Filled Rectangle"), 'F',
     QT_TRANSLATE_NOOP("Tool", "Filled Rectangle")},
    {Tool::Fill, "fill", QT_TRANSLATE_NOOP("Tool", "Fill"), 'G', QT_TRANSLATE_NOOP("Tool", "Fill")},
    {Tool::Eyedropper, "eyedropper", QT_TRANSLATE_NOOP("Tool", "Eyedropper"), 'I', nullptr},
}};

bool onPicture(int x, int y) { return x >= 0 && x < kDhgrDots && y >= 0 && y < kScanLines; }

bool hgrDotLit(const PictureState &state, int h, int y)
{
    return state.mainMemory[size_t(rowBaseTable[size_t(y)] + h / 7)] & (1 << (h % 7));
}

bool hgrDelayed(const PictureState &state, int h, int y)
{
    return state.mainMemory[size_t(rowBaseTable[size_t(y)] + h / 7)] & 0x80;
}

// Whether DHGR dot x looks lit, on either kind of picture.
bool litAsSeen(const PictureState &state, int x, int y)
{
    if (state.isDhgr)
        return dhgrDotLit(state, x, y);
    const int h = hgrDotShowing(state, x, y);
    return h >= 0 && hgrDotLit(state, h, y);
}

// The colour of a cell: dot d lit is the colour's bit 8 >> (d mod 4).
int cellColor(const PictureState &state, int cell, int y)
{
    int colour = 0;
    for (int d = kCellDots * cell; d < kCellDots * (cell + 1); ++d)
        if (litAsSeen(state, d, y))
            colour |= 8 >> (d % kCellDots);
    return colour;
}

// The units the fill compares, read once before it starts: cells in colour,
// dots in 560 Mode. A unit taken into the area is marked with a look no unit
// has; painting need not change what a unit looks like (a colour lights only
// the dots of its own phases), so the mark, not the look, keeps the fill
// from coming back.
class FillGrid {
public:
    static constexpr qint8 kTaken = -1;

    FillGrid(const PictureState &state, bool dots)
        : m_dots(dots)
        , m_width(dots ? kDhgrDots : kDhgrDots / kCellDots)
        , m_looks(size_t(m_width) * kScanLines)
    {
        for (int y = 0; y < kScanLines; ++y)
            readRow(state, y);
    }

    int width() const { return m_width; }
    bool dots() const { return m_dots; }
    qint8 &look(int u, int y) { return m_looks[size_t(y * m_width + u)]; }

private:
    // Aux and main bytes take turns every seven dots along the row.
    void readRow(const PictureState &state, int y)
    {
        std::array<qint8, kDhgrDots> lit;
        const size_t base = rowBaseTable[size_t(y)];
        for (int k = 0; k < kBytesPerLine; ++k) {
            const uchar aux = state.auxMemory[base + size_t(k)];
            const uchar main = state.mainMemory[base + size_t(k)];
            for (int bit = 0; bit < 7; ++bit) {
                lit[size_t(14 * k + bit)] = qint8((aux >> bit) & 1);
                lit[size_t(14 * k + 7 + bit)] = qint8((main >> bit) & 1);
            }
        }
        for (int u = 0; u < m_width; ++u) {
            if (m_dots) {
                look(u, y) = lit[size_t(u)];
                continue;
            }
            const qint8 *cell = lit.data() + kCellDots * u;
            look(u, y) = qint8((cell[0] << 3) | (cell[1] << 2) | (cell[2] << 1) | cell[3]);
        }
    }

    bool m_dots;
    int m_width;
    std::vector<qint8> m_looks;
};

} // namespace

const std::array<ToolInfo, 6> &toolTable() { return kTools; }

const ToolInfo &toolInfo(Tool tool)
{
    return *std::find_if(kTools.begin(), kTools.end(), [tool](const ToolInfo &info) { return info.tool == tool; });
}

void drawRectangle(PictureState &state, QPoint a, QPoint b, int colour)
{
    const QPoint c(b.x(), a.y());
    const QPoint d(a.x(), b.y());
    drawPencilLine(state, a, c, colour);
    drawPencilLine(state, c, b, colour);
    drawPencilLine(state, b, d, colour);
    drawPencilLine(state, d, a, colour);
}

void fillRectangle(PictureState &state, QPoint a, QPoint b, int colour)
{
    const int top = std::max(std::min(a.y(), b.y()), 0);
    const int bottom = std::min(std::max(a.y(), b.y()), kScanLines - 1);
    for (int y = top; y <= bottom; ++y)
        drawPencilLine(state, QPoint(a.x(), y), QPoint(b.x(), y), colour);
}

ShapeDrawing shapeDrawing(Tool tool)
{
    switch (tool) {
    case Tool::Line: return drawPencilLine;
    case Tool::Rectangle: return drawRectangle;
    case Tool::FilledRectangle: return fillRectangle;
    default: return nullptr;
    }
}

void floodFill(PictureState &state, QPoint seed, int colour)
{
    if (!onPicture(seed.x(), seed.y()))
        return;
    FillGrid grid(state, state.is560Mode);
    const int width = grid.width();
    const int u0 = grid.dots() ? seed.x() : seed.x() / kCellDots;
    const qint8 target = grid.look(u0, seed.y());
    const auto free = [&](int u, int y) { return grid.look(u, y) == target; };
    // A cell is painted on its own four dots, so that the area ends where
    // the cells compared end.
    const int unitDots = grid.dots() ? 1 : kCellDots;
    std::vector<QPoint> pending{QPoint(u0, seed.y())};
    while (!pending.empty()) {
        const QPoint p = pending.back();
        pending.pop_back();
        const int y = p.y();
        if (!free(p.x(), y))
            continue;
        int left = p.x();
        int right = p.x();
        while (left > 0 && free(left - 1, y))
            --left;
        while (right < width - 1 && free(right + 1, y))
            ++right;
        for (int u = left; u <= right; ++u)
            grid.look(u, y) = FillGrid::kTaken;
        for (int d = left * unitDots; d < (right + 1) * unitDots; ++d)
            plotDot(state, d, y, colour);
        // One pending start for each run of the rows above and below.
        for (const int ny : {y - 1, y + 1}) {
            if (ny < 0 || ny >= kScanLines)
                continue;
            bool inRun = false;
            for (int u = left; u <= right; ++u) {
                const bool open = free(u, ny);
                if (open && !inRun)
                    pending.emplace_back(u, ny);
                inRun = open;
            }
        }
    }
}

int colorSeenAt(const PictureState &state, QPoint dot)
{
    const int x = dot.x();
    const int y = dot.y();
    if (!onPicture(x, y))
        return -1;
    if (state.bmFinalDepth <= 1)
        return litAsSeen(state, x, y) ? 15 : 0;
    return cellColor(state, x / kCellDots, y);
}

int hgrDotShowing(const PictureState &state, int x, int y)
{
    if (!onPicture(x, y))
        return -1;
    // Undelayed, HGR dot h is DHGR dots 2h - 1 and 2h; delayed, 2h and
    // 2h + 1. An undelayed byte after a delayed one cuts the last half-dot
    // of the delayed byte; the last dot before a delayed byte holds on
    // through the half-dot gap, up to where the delayed byte's first dot
    // begins.
    const int early = (x + 1) / 2;
    const int late = x / 2;
    if (early == kHgrDots)
        return hgrDelayed(state, late, y) ? late : -1;
    return hgrDelayed(state, early, y) ? late : early;
}
