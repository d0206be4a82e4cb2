#include "plaindither.h"

#include "colourspace.h"
#include "palettes.h"
#include "viewoptions.h"

#include <algorithm>
#include <cmath>

namespace {

struct Candidate {
    LinearRgb colour;
    std::array<float, 3> lab;
    int pattern;  // the unit's dots, first dot in bit 0
};

Candidate candidate(const LinearRgb &colour, int pattern)
{
    return {colour, labOf(colour), pattern};
}

float distance(const std::array<float, 3> &a, const std::array<float, 3> &b)
{
    const float d0 = a[0] - b[0], d1 = a[1] - b[1], d2 = a[2] - b[2];
    return d0 * d0 + d1 * d1 + d2 * d2;
}

struct Spread {
    int dx, dy;
    float share;
};

std::vector<Spread> kernelOf(ImportDither dither)
{
    switch (dither) {
    case ImportDither::FloydSteinberg:
        return {{1, 0, 7 / 16.0f}, {-1, 1, 3 / 16.0f}, {0, 1, 5 / 16.0f}, {1, 1, 1 / 16.0f}};
    case ImportDither::Atkinson:
        return {{1, 0, 0.125f}, {2, 0, 0.125f}, {-1, 1, 0.125f}, {0, 1, 0.125f}, {1, 1, 0.125f}, {0, 2, 0.125f}};
    case ImportDither::None:
    case ImportDither::LookAhead:
        break;
    }
    return {};
}

// The grid of places: units across each line, each covering width columns
// of the screen image, with the error carried between them.
class Diffuser {
public:
    Diffuser(const LinearImage &screen, int units, ImportDither dither)
        : m_screen(screen), m_units(units), m_width(screen.width / units), m_kernel(kernelOf(dither))
        , m_error(size_t(units) * 3 * 3, LinearRgb{0, 0, 0})
    {
    }

    // What unit u of row y should show: its columns' average and the error
    // that reached it, kept within what a screen can show.
    LinearRgb wanted(int u, int y) const
    {
        LinearRgb sum{0, 0, 0};
        for (int c = 0; c < m_width; ++c)
            for (int k = 0; k < 3; ++k)
                sum[size_t(k)] += m_screen.at(u * m_width + c, y)[size_t(k)];
        const LinearRgb &e = error(u, y);
        for (int k = 0; k < 3; ++k)
            sum[size_t(k)] = std::clamp(sum[size_t(k)] / float(m_width) + e[size_t(k)], 0.0f, 1.0f);
        return sum;
    }

    void settle(int u, int y, const LinearRgb &wanted, const LinearRgb &shown)
    {
        for (const Spread &s : m_kernel) {
            const int x = u + s.dx;
            if (x < 0 || x >= m_units || y + s.dy >= kScanLines)
                continue;
            LinearRgb &e = error(x, y + s.dy);
            for (int k = 0; k < 3; ++k)
                e[size_t(k)] += (wanted[size_t(k)] - shown[size_t(k)]) * s.share;
        }
    }

    // Rows y + 1 and y + 2 move up; row y + 3 starts clean.
    void nextRow(int y)
    {
        for (int u = 0; u < m_units; ++u) {
            error(u, y) = error(u, y + 1);
            error(u, y + 1) = error(u, y + 2);
            error(u, y + 2) = LinearRgb{0, 0, 0};
        }
    }

private:
    LinearRgb &error(int u, int y) { return m_error[size_t(y % 3) * size_t(m_units) + size_t(u)]; }
    const LinearRgb &error(int u, int y) const { return m_error[size_t(y % 3) * size_t(m_units) + size_t(u)]; }

    const LinearImage &m_screen;
    int m_units;
    int m_width;
    std::vector<Spread> m_kernel;
    std::vector<LinearRgb> m_error;
};

const Candidate &nearest(const std::vector<Candidate> &choices, const LinearRgb &wanted)
{
    const auto lab = labOf(wanted);
    return *std::min_element(choices.begin(), choices.end(), [&lab](const Candidate &a, const Candidate &b) {
        return distance(a.lab, lab) < distance(b.lab, lab);
    });
}

// A DHGR cell's colour reads its four dots, first to last, as bits 3 to 0.
void ditherDhgrColour(Diffuser &diffuser, const PictureState &palette, PictureDots &dots)
{
    std::vector<Candidate> choices;
    for (int colour = 0; colour < 16; ++colour) {
        const int pattern = ((colour >> 3) & 1) | ((colour >> 1) & 2) | ((colour << 1) & 4) | ((colour << 3) & 8);
        choices.push_back(candidate(linearOf(paletteColor(palette, palette.paletteType, colour)), pattern));
    }
    for (int y = 0; y < kScanLines; ++y) {
        uchar *d = dots.dots(y);
        for (int u = 0; u < kDhgrDots / 4; ++u) {
            const LinearRgb want = diffuser.wanted(u, y);
            const Candidate &c = nearest(choices, want);
            for (int j = 0; j < 4; ++j)
                d[4 * u + j] = (c.pattern >> j) & 1;
            diffuser.settle(u, y, want, c.colour);
        }
        diffuser.nextRow(y);
    }
}

// An HGR dot lit alone shows violet (even dots) or green (odd dots) with
// the palette bit clear, blue or orange with it set; two lit side by side
// are white.
void ditherHgrColour(Diffuser &diffuser, const PictureState &palette, PictureDots &dots)
{
    const auto entry = [&palette](int colour) { return linearOf(paletteColor(palette, palette.paletteType, colour)); };
    std::vector<Candidate> choices[2];
    for (int h = 0; h < 2; ++h)
        choices[h] = {candidate(entry(0), 0), candidate(entry(15), 3), candidate(entry(h ? 12 : 9), 1),
                      candidate(entry(h ? 3 : 6), 2)};
    for (int y = 0; y < kScanLines; ++y) {
        uchar *d = dots.dots(y);
        for (int u = 0; u < kHgrDots / 2; ++u) {
            // A byte's palette bit is settled at its first dot: the bit
            // whose colours come nearest over the byte's pairs.
            for (int x = 2 * u; x < 2 * u + 2; ++x) {
                if (x % 7 != 0)
                    continue;
                float cost[2] = {0, 0};
                for (int h = 0; h < 2; ++h)
                    for (int p = x / 2; p <= (x + 6) / 2; ++p) {
                        const auto lab = labOf(diffuser.wanted(p, y));
                        float best = distance(choices[h][0].lab, lab);
                        for (const Candidate &c : choices[h])
                            best = std::min(best, distance(c.lab, lab));
                        cost[h] += best;
                    }
                dots.setHighBit(y, x / 7, cost[1] < cost[0] ? 1 : 0);
            }
            // Each dot lit alone takes the bit of its own byte.
            std::vector<Candidate> mixed = {choices[0][0], choices[0][1], choices[dots.high(y)[2 * u]][2],
                                            choices[dots.high(y)[2 * u + 1]][3]};
            const LinearRgb want = diffuser.wanted(u, y);
            const Candidate &c = nearest(mixed, want);
            d[2 * u] = c.pattern & 1;
            d[2 * u + 1] = (c.pattern >> 1) & 1;
            diffuser.settle(u, y, want, c.colour);
        }
        diffuser.nextRow(y);
    }
}

void ditherMono(Diffuser &diffuser, const LinearRgb &tint, PictureDots &dots)
{
    const std::vector<Candidate> choices = {candidate({0, 0, 0}, 0), candidate(tint, 1)};
    for (int y = 0; y < kScanLines; ++y) {
        uchar *d = dots.dots(y);
        for (int u = 0; u < dots.dotCount(); ++u) {
            const LinearRgb want = diffuser.wanted(u, y);
            const Candidate &c = nearest(choices, want);
            d[u] = uchar(c.pattern);
            diffuser.settle(u, y, want, c.colour);
        }
        diffuser.nextRow(y);
    }
}

} // namespace

PictureDots ditherPlain(const LinearImage &screen, ImportTarget target, ImportDither dither, const ViewOptions &view)
{
    PictureState palette;
    palette.viewOptions() = view;
    clampViewOptions(palette);
    const bool dhgr = target == ImportTarget::DhgrColour || target == ImportTarget::DhgrMono;
    PictureDots dots(dhgr);
    switch (target) {
    case ImportTarget::DhgrColour: {
        Diffuser diffuser(screen, kDhgrDots / 4, dither);
        ditherDhgrColour(diffuser, palette, dots);
        break;
    }
    case ImportTarget::HgrColour: {
        Diffuser diffuser(screen, kHgrDots / 2, dither);
        ditherHgrColour(diffuser, palette, dots);
        break;
    }
    case ImportTarget::DhgrMono:
    case ImportTarget::HgrMono: {
        Diffuser diffuser(screen, dots.dotCount(), dither);
        ditherMono(diffuser, linearOf(monoTint(palette, palette.paletteType, palette.oneBitPalette)), dots);
        break;
    }
    }
    return dots;
}
