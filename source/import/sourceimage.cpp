#include "sourceimage.h"

#include "colourspace.h"

#include <algorithm>

namespace {

// Four times the screen's 560 x 384 (two rows to a scan line) leaves every
// crop of an ordinary photograph at least as many pixels as the screen.
constexpr int kWorkingWidth = 2240;
constexpr int kWorkingHeight = 1536;

} // namespace

SourceImage::SourceImage(const QImage &image)
{
    if (image.isNull())
        return;
    m_size = image.size();
    m_scale = std::max({1, (m_size.width() + kWorkingWidth - 1) / kWorkingWidth,
                        (m_size.height() + kWorkingHeight - 1) / kWorkingHeight});
    const int w = m_size.width() / m_scale;
    const int h = m_size.height() / m_scale;
    m_linear = LinearImage(std::max(w, 1), std::max(h, 1));
    const auto &lin = linearOfByte();
    const float share = 1.0f / float(m_scale * m_scale * 255);
    std::vector<LinearRgb> sums(size_t(m_linear.width));
    // A band of image rows at a time, so that no whole copy of a large
    // image is made in another pixel format.
    for (int y = 0; y < m_linear.height; ++y) {
        const QImage band = image.copy(0, y * m_scale, m_linear.width * m_scale, m_scale)
                                .convertToFormat(QImage::Format_RGBA8888);
        std::fill(sums.begin(), sums.end(), LinearRgb{0, 0, 0});
        for (int r = 0; r < band.height(); ++r) {
            const uchar *p = band.constScanLine(r);
            for (int x = 0; x < m_linear.width * m_scale; ++x, p += 4) {
                LinearRgb &s = sums[size_t(x / m_scale)];
                const float alpha = float(p[3]) * share;
                for (int c = 0; c < 3; ++c)
                    s[size_t(c)] += lin[p[c]] * alpha;
            }
        }
        std::copy(sums.begin(), sums.end(), &m_linear.at(0, y));
    }
}
