#include "framing.h"

#include <algorithm>
#include <cmath>

namespace {

// For each output pixel along one axis, the input pixels it covers and how
// much of each: out[i] = sum of weight * in[first + k].
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<float> weights;  // count[i] weights for each i, one after another
    std::vector<int> offset;
};

// outputs pixels across the screen (0 to 1), of which the stretch from
// screenStart on of screenLength shows the input from start on of length.
Taps boxTaps(int outputs, double screenStart, double screenLength, double start, double length, int inputs)
{
    Taps t;
    t.first.assign(size_t(outputs), 0);
    t.count.assign(size_t(outputs), 0);
    t.offset.assign(size_t(outputs), 0);
    for (int i = 0; i < outputs; ++i) {
        t.offset[size_t(i)] = int(t.weights.size());
        const double a = (double(i) / outputs - screenStart) / screenLength;
        const double b = (double(i + 1) / outputs - screenStart) / screenLength;
        if (b <= 0 || a >= 1)
            continue;
        const double lo = start + std::max(0.0, a) * length;
        const double hi = start + std::min(1.0, b) * length;
        const int first = std::clamp(int(std::floor(lo)), 0, inputs - 1);
        const int last = std::clamp(int(std::ceil(hi)) - 1, first, inputs - 1);
        // The share of the output pixel that the image covers: a border
        // pixel that is half image is half as bright.
        const double cover = (std::min(1.0, b) - std::max(0.0, a)) / (b - a);
        double total = 0;
        std::vector<double> w;
        for (int k = first; k <= last; ++k) {
            const double overlap = std::min(hi, double(k + 1)) - std::max(lo, double(k));
            w.push_back(std::max(overlap, 0.0));
            total += w.back();
        }
        if (total <= 0) {
            // Enlarging: the output pixel lies within one input pixel.
            w.assign(w.size(), 0.0);
            w.front() = 1.0;
            total = 1.0;
        }
        t.first[size_t(i)] = first;
        t.count[size_t(i)] = int(w.size());
        for (double x : w)
            t.weights.push_back(float(x / total * cover));
    }
    return t;
}

} // namespace

Framing frameFor(QSizeF image, ImportFit fit, double cropX, double cropY)
{
    const double w = std::max(image.width(), 1.0);
    const double h = std::max(image.height(), 1.0);
    const double aspect = w / h;
    Framing f{QRectF(0, 0, w, h), QRectF(0, 0, 1, 1)};
    switch (fit) {
    case ImportFit::Crop:
        if (aspect > kScreenAspect) {
            const double cw = h * kScreenAspect;
            f.source = QRectF((w - cw) * (std::clamp(cropX, -1.0, 1.0) + 1) / 2, 0, cw, h);
        } else {
            const double ch = w / kScreenAspect;
            f.source = QRectF(0, (h - ch) * (std::clamp(cropY, -1.0, 1.0) + 1) / 2, w, ch);
        }
        break;
    case ImportFit::Fit:
        if (aspect > kScreenAspect) {
            const double sh = kScreenAspect / aspect;
            f.screen = QRectF(0, (1 - sh) / 2, 1, sh);
        } else {
            const double sw = aspect / kScreenAspect;
            f.screen = QRectF((1 - sw) / 2, 0, sw, 1);
        }
        break;
    case ImportFit::Stretch:
        break;
    }
    return f;
}

LinearImage resampleToScreen(const LinearImage &image, const Framing &framing, const QSizeF &scale, int width,
                             int height)
{
    LinearImage out(width, height);
    if (image.width <= 0 || image.height <= 0)
        return out;
    const QRectF s(framing.source.x() / scale.width(), framing.source.y() / scale.height(),
                   framing.source.width() / scale.width(), framing.source.height() / scale.height());
    const Taps across = boxTaps(width, framing.screen.x(), framing.screen.width(), s.x(), s.width(), image.width);
    const Taps down = boxTaps(height, framing.screen.y(), framing.screen.height(), s.y(), s.height(), image.height);
    // Across first, each image row once, into the rows the scan lines read.
    const int firstRow = down.first.empty() ? 0 : *std::min_element(down.first.begin(), down.first.end());
    int lastRow = firstRow;
    for (int y = 0; y < height; ++y)
        lastRow = std::max(lastRow, down.first[size_t(y)] + down.count[size_t(y)] - 1);
    LinearImage rows(width, lastRow - firstRow + 1);
    for (int r = firstRow; r <= lastRow; ++r) {
        const LinearRgb *in = &image.at(0, r);
        for (int x = 0; x < width; ++x) {
            LinearRgb sum{0, 0, 0};
            const float *w = across.weights.data() + across.offset[size_t(x)];
            const LinearRgb *p = in + across.first[size_t(x)];
            for (int k = 0; k < across.count[size_t(x)]; ++k)
                for (int c = 0; c < 3; ++c)
                    sum[size_t(c)] += w[k] * p[k][size_t(c)];
            rows.at(x, r - firstRow) = sum;
        }
    }
    for (int y = 0; y < height; ++y) {
        const float *w = down.weights.data() + down.offset[size_t(y)];
        for (int k = 0; k < down.count[size_t(y)]; ++k) {
            const int r = down.first[size_t(y)] + k - firstRow;
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    out.at(x, y)[size_t(c)] += w[k] * rows.at(x, r)[size_t(c)];
        }
    }
    return out;
}
