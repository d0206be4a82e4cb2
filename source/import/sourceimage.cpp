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
    // Each axis on its own: a panorama a hundred times as wide as it is
    // tall keeps its every row.
    m_scaleX = std::max(1, (m_size.width() + kWorkingWidth - 1) / kWorkingWidth);
    m_scaleY = std::max(1, (m_size.height() + kWorkingHeight - 1) / kWorkingHeight);
    m_linear = LinearImage(std::max(m_size.width() / m_scaleX, 1), std::max(m_size.height() / m_scaleY, 1));
    const auto &lin = linearOfByte();
    const float share = 1.0f / (float(m_scaleX) * float(m_scaleY) * 255.0f);
    std::vector<LinearRgb> sums(size_t(m_linear.width));
    // A band of image rows at a time, so that no whole copy of a large
    // image is made in another pixel format.
    for (int y = 0; y < m_linear.height; ++y) {
        const QImage band = image.copy(0, y * m_scaleY, m_linear.width * m_scaleX, m_scaleY)
                                .convertToFormat(QImage::Format_RGBA8888);
        std::fill(sums.begin(), sums.end(), LinearRgb{0, 0, 0});
        for (int r = 0; r < band.height(); ++r) {
            const uchar *p = band.constScanLine(r);
            for (int x = 0; x < m_linear.width * m_scaleX; ++x, p += 4) {
                LinearRgb &s = sums[size_t(x / m_scaleX)];
                const float alpha = float(p[3]) * share;
                for (int c = 0; c < 3; ++c)
                    s[size_t(c)] += lin[p[c]] * alpha;
            }
        }
        std::copy(sums.begin(), sums.end(), &m_linear.at(0, y));
    }
}
