#include "dotrefiner.h"

#include <algorithm>
#include <cmath>

namespace {

template <size_t N>
std::array<float, N> gaussian(float sigma)
{
    std::array<float, N> g{};
    const int r = int(N / 2);
    float total = 0;
    for (int i = -r; i <= r; ++i)
        total += g[size_t(i + r)] = std::exp(-float(i * i) / (2 * sigma * sigma));
    for (float &v : g)
        v /= total;
    return g;
}

// Columns 560 and 561 are the frame's spare columns, off the picture.
constexpr int kSeen = kDhgrDots;

// Accepting a change needs it to gain more than rounding could.
constexpr float kGain = 1e-4f;

} // namespace

DotRefiner::DotRefiner(const ColumnModel &model, const LinearImage &screen, PictureDots &dots, bool paletteBits)
    : m_model(model)
    , m_dots(dots)
    , m_paletteBits(paletteBits)
    , m_gx(gaussian<2 * kRadiusX + 1>(1.5f))
    , m_gy(gaussian<2 * kRadiusY + 1>(0.9f))
    , m_metric(size_t(kSeen) * kScanLines)
    , m_error(size_t(kSeen) * kScanLines, LinearRgb{0, 0, 0})
    , m_pull(size_t(kSeen) * kScanLines, LinearRgb{0, 0, 0})
    , m_shown(size_t(kFrameWidth) * kScanLines)
    , m_dirty(size_t(kFrameWidth) * kScanLines, 1)
    , m_nextDirty(size_t(kFrameWidth) * kScanLines, 0)
{
    // Blurs the difference between the frame and the image; the image's own
    // blur sets the weights.
    const std::vector<LinearRgb> &colours = m_model.colours();
    std::vector<LinearRgb> across(size_t(kSeen) * kScanLines, LinearRgb{0, 0, 0});
    std::vector<LinearRgb> imageAcross(size_t(kSeen) * kScanLines, LinearRgb{0, 0, 0});
    for (int y = 0; y < kScanLines; ++y) {
        for (int c = 0; c < kFrameWidth; ++c)
            m_shown[size_t(y) * kFrameWidth + size_t(c)] = uchar(m_model.colourAt(m_dots, y, c));
        for (int c = 0; c < kSeen; ++c) {
            for (int i = -kRadiusX; i <= kRadiusX; ++i) {
                const int x = c + i;
                if (x < 0 || x >= kSeen)
                    continue;
                const LinearRgb &shown = colours[m_shown[size_t(y) * kFrameWidth + size_t(x)]];
                const LinearRgb &wanted = screen.at(x, y);
                for (int k = 0; k < 3; ++k) {
                    across[size_t(y) * kSeen + size_t(c)][size_t(k)] += m_gx[size_t(i + kRadiusX)] * (shown[size_t(k)] - wanted[size_t(k)]);
                    imageAcross[size_t(y) * kSeen + size_t(c)][size_t(k)] += m_gx[size_t(i + kRadiusX)] * wanted[size_t(k)];
                }
            }
        }
    }
    for (int y = 0; y < kScanLines; ++y) {
        for (int c = 0; c < kSeen; ++c) {
            LinearRgb e{0, 0, 0}, image{0, 0, 0};
            for (int j = -kRadiusY; j <= kRadiusY; ++j) {
                const int r = y + j;
                if (r < 0 || r >= kScanLines)
                    continue;
                for (int k = 0; k < 3; ++k) {
                    e[size_t(k)] += m_gy[size_t(j + kRadiusY)] * across[size_t(r) * kSeen + size_t(c)][size_t(k)];
                    image[size_t(k)] += m_gy[size_t(j + kRadiusY)] * imageAcross[size_t(r) * kSeen + size_t(c)][size_t(k)];
                }
            }
            m_error[size_t(y) * kSeen + size_t(c)] = e;
            m_metric[size_t(y) * kSeen + size_t(c)] = differenceMetricAt(image);
        }
    }
    for (float g : m_gy)
        m_gySquares += g * g;
    // The blur of W E.
    std::vector<LinearRgb> down(size_t(kSeen) * kScanLines, LinearRgb{0, 0, 0});
    for (int y = 0; y < kScanLines; ++y)
        for (int j = -kRadiusY; j <= kRadiusY; ++j) {
            const int r = y + j;
            if (r < 0 || r >= kScanLines)
                continue;
            for (int c = 0; c < kSeen; ++c) {
                const LabMetric &m = m_metric[size_t(r) * kSeen + size_t(c)];
                const LinearRgb &e = m_error[size_t(r) * kSeen + size_t(c)];
                const float g = m_gy[size_t(j + kRadiusY)];
                LinearRgb &d = down[size_t(y) * kSeen + size_t(c)];
                d[0] += g * (m[0] * e[0] + m[1] * e[1] + m[2] * e[2]);
                d[1] += g * (m[1] * e[0] + m[3] * e[1] + m[4] * e[2]);
                d[2] += g * (m[2] * e[0] + m[4] * e[1] + m[5] * e[2]);
            }
        }
    for (int y = 0; y < kScanLines; ++y)
        for (int c = 0; c < kSeen; ++c)
            for (int i = std::max(c - kRadiusX, 0); i <= std::min(c + kRadiusX, kSeen - 1); ++i)
                for (int k = 0; k < 3; ++k)
                    m_pull[size_t(y) * kSeen + size_t(c)][size_t(k)] += m_gx[size_t(i - c + kRadiusX)] * down[size_t(y) * kSeen + size_t(i)][size_t(k)];
}

double DotRefiner::cost() const
{
    double total = 0;
    for (size_t i = 0; i < m_error.size(); ++i)
        total += weighedSquare(m_metric[i], m_error[i][0], m_error[i][1], m_error[i][2]);
    return total;
}

// The cost is the sum over the picture of E' W E, E the blurred error. A
// change whose blur is d moves it by the sum of 2 d' W E + d' W d. The
// first term is the change's own columns against the blur of W E (kept in
// m_pull); the second is taken with the weights of the change's own row.
float DotRefiner::evaluate(int y, int first, int last)
{
    Pending &p = m_pending;
    p.y = y;
    p.first = first;
    p.last = last;
    const int span = last - first + 1;
    float change[kMost][3];
    int changed[kMost];
    int count = 0;
    const std::vector<LinearRgb> &colours = m_model.colours();
    const uchar *shown = &m_shown[size_t(y) * kFrameWidth];
    const LinearRgb *pull = &m_pull[size_t(y) * kSeen];
    float delta = 0;
    for (int i = 0; i < span; ++i) {
        const uchar was = shown[first + i];
        p.now[size_t(i)] = uchar(m_model.colourAt(m_dots, y, first + i));
        if (first + i >= kSeen || p.now[size_t(i)] == was)
            continue;
        for (int k = 0; k < 3; ++k) {
            change[count][k] = colours[p.now[size_t(i)]][size_t(k)] - colours[was][size_t(k)];
            delta += 2 * change[count][k] * pull[first + i][size_t(k)];
        }
        changed[count++] = first + i;
    }
    p.lo = std::max(first - kRadiusX, 0);
    p.hi = std::min(last + kRadiusX, kSeen - 1);
    for (int c = p.lo; c <= p.hi; ++c)
        p.blurred[size_t(c - p.lo)] = {0, 0, 0};
    for (int n = 0; n < count; ++n) {
        const int from = std::max(changed[n] - kRadiusX, p.lo), to = std::min(changed[n] + kRadiusX, p.hi);
        for (int c = from; c <= to; ++c) {
            const float g = m_gx[size_t(changed[n] - c + kRadiusX)];
            auto &b = p.blurred[size_t(c - p.lo)];
            for (int k = 0; k < 3; ++k)
                b[size_t(k)] += g * change[n][k];
        }
    }
    if (count == 0)
        return 0;
    const LabMetric *w = &m_metric[size_t(y) * kSeen];
    float square = 0;
    for (int c = p.lo; c <= p.hi; ++c) {
        const auto &b = p.blurred[size_t(c - p.lo)];
        square += weighedSquare(w[c], b[0], b[1], b[2]);
    }
    return delta + m_gySquares * square;
}

void DotRefiner::commit()
{
    const Pending &p = m_pending;
    uchar *shown = &m_shown[size_t(p.y) * kFrameWidth];
    for (int i = 0; i <= p.last - p.first; ++i)
        shown[p.first + i] = p.now[size_t(i)];
    if (p.hi < p.lo)
        return;
    // E, then W E, on the rows the blur reaches from row y; then the blur
    // of W E, as far again up and down, and kRadiusX further either side.
    constexpr int kRows = 2 * kRadiusY + 1;
    std::array<std::array<float, 3>, kMost + 2 * kRadiusX> weighed[kRows];
    for (int j = -kRadiusY; j <= kRadiusY; ++j) {
        const int r = p.y + j;
        for (int c = p.lo; c <= p.hi; ++c)
            weighed[j + kRadiusY][size_t(c - p.lo)] = {0, 0, 0};
        if (r < 0 || r >= kScanLines)
            continue;
        const float g = m_gy[size_t(j + kRadiusY)];
        LinearRgb *e = &m_error[size_t(r) * kSeen];
        const LabMetric *w = &m_metric[size_t(r) * kSeen];
        for (int c = p.lo; c <= p.hi; ++c) {
            const auto &b = p.blurred[size_t(c - p.lo)];
            const float d0 = g * b[0], d1 = g * b[1], d2 = g * b[2];
            e[c][0] += d0;
            e[c][1] += d1;
            e[c][2] += d2;
            const LabMetric &m = w[c];
            weighed[j + kRadiusY][size_t(c - p.lo)] = {m[0] * d0 + m[1] * d1 + m[2] * d2, m[1] * d0 + m[3] * d1 + m[4] * d2,
                                                       m[2] * d0 + m[4] * d1 + m[5] * d2};
        }
    }
    const int lo = std::max(p.lo - kRadiusX, 0), hi = std::min(p.hi + kRadiusX, kSeen - 1);
    for (int r = std::max(p.y - 2 * kRadiusY, 0); r <= std::min(p.y + 2 * kRadiusY, kScanLines - 1); ++r) {
        std::array<std::array<float, 3>, kMost + 2 * kRadiusX> down{};
        bool any = false;
        for (int j = 0; j < kRows; ++j) {
            const int source = p.y - kRadiusY + j;
            const int gap = r - source;
            if (gap < -kRadiusY || gap > kRadiusY)
                continue;
            any = true;
            const float g = m_gy[size_t(gap + kRadiusY)];
            for (int c = p.lo; c <= p.hi; ++c)
                for (int k = 0; k < 3; ++k)
                    down[size_t(c - p.lo)][size_t(k)] += g * weighed[j][size_t(c - p.lo)][size_t(k)];
        }
        if (!any)
            continue;
        LinearRgb *pull = &m_pull[size_t(r) * kSeen];
        for (int c = lo; c <= hi; ++c) {
            for (int i = std::max(c - kRadiusX, p.lo); i <= std::min(c + kRadiusX, p.hi); ++i) {
                const float g = m_gx[size_t(i - c + kRadiusX)];
                for (int k = 0; k < 3; ++k)
                    pull[c][size_t(k)] += g * down[size_t(i - p.lo)][size_t(k)];
            }
        }
    }
    markAround(p.y, p.first, p.last);
}

float DotRefiner::repick(int y, int x, int n)
{
    uchar *dots = m_dots.dots(y);
    int first = 0, last = 0, end = 0;
    m_model.columnsOfDot(x, first, end);
    m_model.columnsOfDot(x + n - 1, end, last);
    int had = 0;
    for (int i = 0; i < n; ++i)
        had |= dots[x + i] << i;
    int best = had;
    float bestDelta = -kGain;
    for (int pattern = 0; pattern < (1 << n); ++pattern) {
        if (pattern == had)
            continue;
        for (int i = 0; i < n; ++i)
            dots[x + i] = (pattern >> i) & 1;
        const float delta = evaluate(y, first, last);
        if (delta < bestDelta) {
            bestDelta = delta;
            best = pattern;
        }
    }
    for (int i = 0; i < n; ++i)
        dots[x + i] = (best >> i) & 1;
    if (best == had)
        return 0;
    const float delta = evaluate(y, first, last);
    commit();
    return delta;
}

bool DotRefiner::flipPaletteBit(int y, int k)
{
    uchar *dots = m_dots.dots(y);
    std::array<uchar, 7> before{};
    std::copy(dots + 7 * k, dots + 7 * k + 7, before.begin());
    int first = 0, last = 0;
    m_model.columnsOfByte(k, first, last);
    m_dots.setHighBit(y, k, m_dots.highBit(y, k) ^ 1);
    float total = evaluate(y, first, last);
    commit();
    // The byte's dots again, two at a time.
    for (int x = 7 * k; x < 7 * k + 7; x += 2)
        total += repick(y, x, std::min(2, 7 * k + 7 - x));
    if (total < -kGain)
        return true;
    // Worse as a whole: the byte as it was.
    m_dots.setHighBit(y, k, m_dots.highBit(y, k) ^ 1);
    std::copy(before.begin(), before.end(), dots + 7 * k);
    evaluate(y, first, last);
    commit();
    return false;
}

// A change moves the blurred error over its columns and kRadiusX either
// side, on the rows the blur reaches; a dot whose own columns lie within
// the blur's reach of those may now gain from changing too. (Dots further
// down or up may too, a little: not enough to be worth another try.)
void DotRefiner::markAround(int y, int first, int last)
{
    const int lo = std::max(first - 2 * kRadiusX, 0);
    const int hi = std::min(last + 2 * kRadiusX, kFrameWidth - 1);
    for (int r = std::max(y - kRadiusY, 0); r <= std::min(y + kRadiusY, kScanLines - 1); ++r)
        std::fill(&m_nextDirty[size_t(r) * kFrameWidth + size_t(lo)], &m_nextDirty[size_t(r) * kFrameWidth + size_t(hi)] + 1, 1);
}

bool DotRefiner::dirtyColumns(int y, int first, int last) const
{
    const uchar *d = &m_dirty[size_t(y) * kFrameWidth];
    return std::any_of(d + first, d + last + 1, [](uchar v) { return v != 0; });
}

int DotRefiner::sweep(bool quick)
{
    int changes = 0;
    const bool dhgr = m_model.isDhgr();
    const int group = quick ? 1 : dhgr ? 4 : 2;
    for (int y = 0; y < kScanLines; ++y) {
        for (int x = 0; x < m_dots.dotCount(); x += group) {
            // The group's own columns: DHGR dot x lights column x + 1; an
            // HGR dot covers columns 2x and 2x + 1.
            const int own = dhgr ? x : 2 * x;
            if (!dirtyColumns(y, own, std::min(own + 2 * group - 1, kFrameWidth - 1)))
                continue;
            if (repick(y, x, group) < 0)
                ++changes;
        }
        for (int k = 0; m_paletteBits && !quick && k < kBytesPerLine; ++k)
            if (dirtyColumns(y, 14 * k, 14 * k + 13) && flipPaletteBit(y, k))
                ++changes;
    }
    m_dirty.swap(m_nextDirty);
    std::fill(m_nextDirty.begin(), m_nextDirty.end(), 0);
    return changes;
}
