#include "columnmodel.h"

#include "colourspace.h"
#include "render.h"
#include "viewoptions.h"

#include <QRandomGenerator>

#include <algorithm>

namespace {

// Columns near either end see past the line, and the engines treat the
// first and the last columns on their own; each such column is a class of
// its own. Inside, a column's class is its place in the repeating pattern:
// four columns of DHGR colour cells, and 28 columns of HGR (the seven dots
// of a byte against the two of a colour pair).
constexpr int kEdge = 8;
constexpr int kDhgrRightEdge = kFrameWidth - 10;   // 552
constexpr int kHgrRightEdge = kFrameWidth - 14;    // 548
constexpr int kDhgrPeriod = 4;
constexpr int kHgrPeriod = 28;
constexpr int kDhgrInside = kEdge + (kFrameWidth - kDhgrRightEdge);
constexpr int kHgrInside = kEdge + (kFrameWidth - kHgrRightEdge);

constexpr uchar kUnknown = 255;

// Random pictures give every place every dot pattern it can see many times
// over in a few frames.
constexpr int kDhgrRounds = 4;
constexpr int kHgrRounds = 8;

} // namespace

ColumnModel::ColumnModel(const ViewOptions &view, bool dhgr)
    : m_view(view)
    , m_dhgr(dhgr)
    , m_keys(dhgr ? 256 : 128)
{
    clampViewOptions(m_view);
    const int classes = dhgr ? kDhgrInside + kDhgrPeriod : kHgrInside + kHgrPeriod;
    m_table.assign(size_t(classes) * m_keys, kUnknown);
    learn();
}

int ColumnModel::classOf(int c) const
{
    if (c < kEdge)
        return c;
    if (m_dhgr)
        return c >= kDhgrRightEdge ? kEdge + c - kDhgrRightEdge : kDhgrInside + (c & 3);
    return c >= kHgrRightEdge ? kEdge + c - kHgrRightEdge : kHgrInside + c % kHgrPeriod;
}

int ColumnModel::colourIndex(QRgb rgb)
{
    const auto found = std::find(m_rgb.begin(), m_rgb.end(), rgb);
    if (found != m_rgb.end())
        return int(found - m_rgb.begin());
    m_rgb.push_back(rgb);
    m_colours.push_back(linearOf(rgb));
    return int(m_rgb.size()) - 1;
}

void ColumnModel::learn()
{
    PictureState probe;
    probe.viewOptions() = m_view;
    probe.isDhgr = m_dhgr;
    QRandomGenerator rng(0x1A2B3C4D);
    PictureDots dots(m_dhgr);
    QImage frame;
    const int rounds = m_dhgr ? kDhgrRounds : kHgrRounds;
    for (int round = 0; round < rounds; ++round) {
        for (uchar &b : probe.mainMemory)
            b = uchar(rng.generate());
        for (uchar &b : probe.auxMemory)
            b = uchar(rng.generate());
        renderPicture(probe, frame);
        dots.read(probe);
        for (int row = 0; row < kScanLines; ++row) {
            const QRgb *line = reinterpret_cast<const QRgb *>(frame.constScanLine(row));
            QRgb last = 0;
            int lastIndex = -1;
            for (int c = 0; c < kFrameWidth; ++c) {
                const uchar *px = reinterpret_cast<const uchar *>(line + c);
                const QRgb rgb = qRgb(px[0], px[1], px[2]);
                if (rgb != last || lastIndex < 0) {
                    last = rgb;
                    lastIndex = colourIndex(rgb);
                }
                m_table[size_t(classOf(c)) * m_keys + size_t(keyAt(dots, row, c))] = uchar(lastIndex);
            }
        }
    }
    // Dot patterns that a place at an end never sees (dots past the line
    // are unlit) take the colour they have inside, so that every entry
    // names a colour.
    const int inside = m_dhgr ? kDhgrInside : kHgrInside;
    const int period = m_dhgr ? kDhgrPeriod : kHgrPeriod;
    for (int c = 0; c < kFrameWidth; ++c) {
        const size_t cls = size_t(classOf(c));
        const size_t within = size_t(inside + c % period);
        for (size_t key = 0; key < m_keys; ++key) {
            uchar &entry = m_table[cls * m_keys + key];
            if (entry == kUnknown)
                entry = m_table[within * m_keys + key] == kUnknown ? 0 : m_table[within * m_keys + key];
        }
    }
}

void ColumnModel::columnsOfDot(int x, int &first, int &last) const
{
    // DHGR column c sees dots c - 4 to c + 3; HGR columns 2x and 2x + 1
    // see dots x - 2 to x + 2.
    first = m_dhgr ? x - 3 : 2 * x - 4;
    last = m_dhgr ? x + 4 : 2 * x + 5;
    first = std::max(first, 0);
    last = std::min(last, kFrameWidth - 1);
}

void ColumnModel::columnsOfByte(int k, int &first, int &last) const
{
    // The palette bit of the byte holding dot x - 2 or x + 2.
    first = std::max(14 * k - 4, 0);
    last = k == kBytesPerLine - 1 ? kFrameWidth - 1 : std::min(14 * k + 17, kFrameWidth - 1);
}

QImage ColumnModel::predictFrame(const PictureDots &dots) const
{
    QImage frame(kFrameWidth, kFrameHeight, QImage::Format_RGBA8888);
    for (int row = 0; row < kScanLines; ++row) {
        uchar *out = frame.scanLine(row);
        for (int c = 0; c < kFrameWidth; ++c, out += 4) {
            const QRgb rgb = m_rgb[size_t(colourAt(dots, row, c))];
            out[0] = uchar(qRed(rgb));
            out[1] = uchar(qGreen(rgb));
            out[2] = uchar(qBlue(rgb));
            out[3] = 255;
        }
    }
    return frame;
}
