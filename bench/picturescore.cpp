#include "picturescore.h"

#include "colourspace.h"

#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = 560;
constexpr int kHeight = 384;
constexpr double kPi = 3.14159265358979323846;

double radians(double degrees) { return degrees * kPi / 180.0; }

LinearImage doubledFrame(const QImage &frame)
{
    LinearImage out(kWidth, kHeight);
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y / 2));
        for (int x = 0; x < kWidth; ++x)
            out.at(x, y) = linearOf(line[x]);
    }
    return out;
}

// A separable Gaussian cut at three sigmas, each tap share renormalised at
// the edges.
LinearImage blurred(const LinearImage &in, double sigmaX, double sigmaY)
{
    const auto kernel = [](double sigma) {
        const int r = int(std::ceil(3 * sigma));
        std::vector<double> k(size_t(2 * r + 1));
        for (int i = -r; i <= r; ++i)
            k[size_t(i + r)] = std::exp(-i * i / (2 * sigma * sigma));
        return k;
    };
    const auto pass = [](const LinearImage &src, const std::vector<double> &k, bool across) {
        LinearImage out(src.width, src.height);
        const int r = int(k.size() / 2);
        for (int y = 0; y < src.height; ++y)
            for (int x = 0; x < src.width; ++x) {
                double s[3] = {0, 0, 0}, total = 0;
                for (int i = -r; i <= r; ++i) {
                    const int xx = across ? x + i : x, yy = across ? y : y + i;
                    if (xx < 0 || yy < 0 || xx >= src.width || yy >= src.height)
                        continue;
                    const double w = k[size_t(i + r)];
                    total += w;
                    for (int c = 0; c < 3; ++c)
                        s[c] += w * src.at(xx, yy)[size_t(c)];
                }
                for (int c = 0; c < 3; ++c)
                    out.at(x, y)[size_t(c)] = float(s[c] / total);
            }
        return out;
    };
    return pass(pass(in, kernel(sigmaX), true), kernel(sigmaY), false);
}

double meanDifference(const LinearImage &a, const LinearImage &b)
{
    double total = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        total += ciede2000(labOf(a.pixels[i]), labOf(b.pixels[i]));
    return total / double(a.pixels.size());
}

// SSIM over 11 x 11 Gaussian windows (sigma 1.5) of L* (0 to 100).
double lightnessSsim(const LinearImage &a, const LinearImage &b)
{
    const int w = a.width, h = a.height;
    std::vector<double> la(a.pixels.size()), lb(b.pixels.size());
    for (size_t i = 0; i < la.size(); ++i) {
        la[i] = labOf(a.pixels[i])[0];
        lb[i] = labOf(b.pixels[i])[0];
    }
    const auto window = [&](const std::vector<double> &v) {
        LinearImage m(w, h);
        for (size_t i = 0; i < v.size(); ++i)
            m.pixels[i] = {float(v[i]), 0, 0};
        return blurred(m, 1.5, 1.5);
    };
    std::vector<double> aa(la.size()), bb(la.size()), ab(la.size());
    for (size_t i = 0; i < la.size(); ++i) {
        aa[i] = la[i] * la[i];
        bb[i] = lb[i] * lb[i];
        ab[i] = la[i] * lb[i];
    }
    const LinearImage ma = window(la), mb = window(lb), maa = window(aa), mbb = window(bb), mab = window(ab);
    const double c1 = (0.01 * 100) * (0.01 * 100), c2 = (0.03 * 100) * (0.03 * 100);
    double total = 0;
    for (size_t i = 0; i < la.size(); ++i) {
        const double mx = ma.pixels[i][0], my = mb.pixels[i][0];
        const double vx = maa.pixels[i][0] - mx * mx, vy = mbb.pixels[i][0] - my * my, cxy = mab.pixels[i][0] - mx * my;
        total += ((2 * mx * my + c1) * (2 * cxy + c2)) / ((mx * mx + my * my + c1) * (vx + vy + c2));
    }
    return total / double(la.size());
}

} // namespace

double ciede2000(const std::array<float, 3> &lab1, const std::array<float, 3> &lab2)
{
    const double L1 = lab1[0], a1 = lab1[1], b1 = lab1[2];
    const double L2 = lab2[0], a2 = lab2[1], b2 = lab2[2];
    const double c1 = std::hypot(a1, b1), c2 = std::hypot(a2, b2);
    const double cMean = (c1 + c2) / 2;
    const double c7 = std::pow(cMean, 7);
    const double g = 0.5 * (1 - std::sqrt(c7 / (c7 + std::pow(25.0, 7))));
    const double a1p = (1 + g) * a1, a2p = (1 + g) * a2;
    const double c1p = std::hypot(a1p, b1), c2p = std::hypot(a2p, b2);
    const auto hue = [](double b, double a) {
        if (a == 0 && b == 0)
            return 0.0;
        double h = std::atan2(b, a) * 180 / kPi;
        return h < 0 ? h + 360 : h;
    };
    const double h1p = hue(b1, a1p), h2p = hue(b2, a2p);
    const double dLp = L2 - L1, dCp = c2p - c1p;
    double dhp = 0;
    if (c1p * c2p != 0) {
        dhp = h2p - h1p;
        if (dhp > 180)
            dhp -= 360;
        else if (dhp < -180)
            dhp += 360;
    }
    const double dHp = 2 * std::sqrt(c1p * c2p) * std::sin(radians(dhp / 2));
    const double lMean = (L1 + L2) / 2, cpMean = (c1p + c2p) / 2;
    double hMean = h1p + h2p;
    if (c1p * c2p != 0) {
        if (std::abs(h1p - h2p) > 180)
            hMean = (h1p + h2p + (h1p + h2p < 360 ? 360 : -360)) / 2;
        else
            hMean = (h1p + h2p) / 2;
    }
    const double t = 1 - 0.17 * std::cos(radians(hMean - 30)) + 0.24 * std::cos(radians(2 * hMean))
        + 0.32 * std::cos(radians(3 * hMean + 6)) - 0.20 * std::cos(radians(4 * hMean - 63));
    const double dTheta = 30 * std::exp(-std::pow((hMean - 275) / 25, 2));
    const double cp7 = std::pow(cpMean, 7);
    const double rc = 2 * std::sqrt(cp7 / (cp7 + std::pow(25.0, 7)));
    const double sl = 1 + 0.015 * (lMean - 50) * (lMean - 50) / std::sqrt(20 + (lMean - 50) * (lMean - 50));
    const double sc = 1 + 0.045 * cpMean, sh = 1 + 0.015 * cpMean * t;
    const double rt = -std::sin(radians(2 * dTheta)) * rc;
    const double l = dLp / sl, c = dCp / sc, h = dHp / sh;
    return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

PictureScore scoreFrame(const LinearImage &reference, const QImage &frame)
{
    const LinearImage shown = doubledFrame(frame);
    PictureScore s;
    s.blurred = meanDifference(blurred(reference, 1.5, 1.5), blurred(shown, 1.5, 1.5));
    s.sharp = meanDifference(reference, shown);
    s.ssim = lightnessSsim(reference, shown);
    return s;
}
