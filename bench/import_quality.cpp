// Imports a set of photographs and drawings into DHGR and HGR with each
// dithering and scores every result against its source as a viewer sees it
// (see picturescore.h), for "Jex: Double" with "Jex's TV" and for "By the
// Book"; then times the look-ahead and the drag preview.
//
//   morvo-import-bench [DIR] [--pictures OUT]
//     DIR   the images (default: where bench/import_images.sh puts them)
//     OUT   a folder for each image's source beside its look-ahead DHGR in
//           "Jex: Double", both 560 x 384
#include "colourspace.h"
#include "framing.h"
#include "imagefile.h"
#include "imageimporter.h"
#include "picturescore.h"
#include "pictureloader.h"
#include "render.h"

#include <QDir>
#include <QElapsedTimer>
#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <map>

namespace {

struct Engine {
    const char *name;
    ViewOptions view;
};

struct Mode {
    const char *name;
    ImportTarget target;
    ImportDither dither;
};

double cpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The picture as saved and read back, rendered: the same frame as the
// preview, or the result is not what the dialog showed.
bool rendersAsPreview(const PictureState &picture, const QImage &preview)
{
    PictureState reread;
    reread.viewOptions() = picture.viewOptions();
    PictureFile file;
    const QByteArray bytes = pictureFileBytes(picture);
    file.kind = picture.isDhgr ? PictureKind::Dhgr : PictureKind::Hgr;
    std::copy_n(bytes.constData() + (picture.isDhgr ? kPictureBytes : 0), kPictureBytes, file.mainMemory.begin());
    if (picture.isDhgr)
        std::copy_n(bytes.constData(), kPictureBytes, file.auxMemory.begin());
    applyPictureFile(file, reread);
    QImage frame;
    renderPicture(reread, frame);
    return frame == preview;
}

// The image as scored, and the frame with each scan line two rows tall.
QImage sideBySide(const LinearImage &reference, const QImage &frame)
{
    QImage out(2 * kDhgrDots + 8, 2 * kScanLines, QImage::Format_RGB32);
    out.fill(Qt::white);
    for (int y = 0; y < 2 * kScanLines; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        const uchar *shown = frame.constScanLine(y / 2);
        for (int x = 0; x < kDhgrDots; ++x) {
            line[x] = rgbOf(reference.at(x, y));
            line[kDhgrDots + 8 + x] = qRgb(shown[4 * x], shown[4 * x + 1], shown[4 * x + 2]);
        }
    }
    return out;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList args = app.arguments().mid(1);
    QString pictures;
    const int picturesAt = int(args.indexOf(QStringLiteral("--pictures")));
    if (picturesAt >= 0) {
        pictures = args.value(picturesAt + 1);
        args.remove(picturesAt, std::min<qsizetype>(2, args.size() - picturesAt));
        QDir().mkpath(pictures);
    }
    const QString dir = args.isEmpty() ? QStringLiteral(MORVO_BINARY_DIR "/import-bench-images") : args.first();
    const QFileInfoList files = QDir(dir).entryInfoList(QDir::Files, QDir::Name);
    if (files.isEmpty()) {
        out << "no images in " << dir << "; run bench/import_images.sh first" << Qt::endl;
        return 1;
    }

    ViewOptions jex;
    ViewOptions book;
    book.jexEngine = false;
    const Engine engines[] = {{"Jex: Double", jex}, {"By the Book", book}};
    const Mode modes[] = {
        {"DHGR fs", ImportTarget::DhgrColour, ImportDither::FloydSteinberg},
        {"DHGR lookahead", ImportTarget::DhgrColour, ImportDither::LookAhead},
        {"HGR fs", ImportTarget::HgrColour, ImportDither::FloydSteinberg},
        {"HGR lookahead", ImportTarget::HgrColour, ImportDither::LookAhead},
    };

    std::map<QString, std::vector<double>> blurredOf;  // "engine|mode"
    std::vector<double> fullTimes, previewTimes;
    bool allRenderAsPreview = true;
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
               .arg(QStringLiteral("image"), -24).arg(QStringLiteral("engine"), -12).arg(QStringLiteral("mode"), -15)
               .arg(QStringLiteral("blurred"), 8).arg(QStringLiteral("sharp"), 8).arg(QStringLiteral("SSIM L"), 7)
               .arg(QStringLiteral("ms"), 7).arg(QStringLiteral("same"), 5);
    for (const QFileInfo &info : files) {
        QImage image;
        QString error;
        if (!readImageFile(info.filePath(), image, error)) {
            out << error << Qt::endl;
            continue;
        }
        ImageImporter importer(image);
        const SourceImage &source = importer.source();
        const LinearImage reference = resampleToScreen(source.linear(), frameFor(source.size(), ImportFit::Crop, 0, 0),
                                                       source.scale(), kDhgrDots, 2 * kScanLines);
        for (const Engine &engine : engines) {
            for (const Mode &mode : modes) {
                ImportSettings settings;
                settings.target = mode.target;
                settings.dither = mode.dither;
                importer.convert(settings, engine.view);  // the framing and the model, made once
                const double start = cpuMilliseconds();
                const PictureState picture = importer.convert(settings, engine.view);
                const double ms = cpuMilliseconds() - start;
                QImage frame;
                PictureState shown = picture;
                renderPicture(shown, frame);
                const bool same = rendersAsPreview(picture, frame);
                allRenderAsPreview = allRenderAsPreview && same;
                const PictureScore score = scoreFrame(reference, frame);
                blurredOf[QStringLiteral("%1|%2").arg(QLatin1String(engine.name), QLatin1String(mode.name))].push_back(score.blurred);
                if (!pictures.isEmpty() && engine.view.jexEngine && mode.target == ImportTarget::DhgrColour
                    && mode.dither == ImportDither::LookAhead)
                    sideBySide(reference, frame).save(QDir(pictures).filePath(info.completeBaseName() + QStringLiteral(".png")));
                if (mode.target == ImportTarget::DhgrColour && mode.dither == ImportDither::LookAhead) {
                    fullTimes.push_back(ms);
                    // A slider step: new colours, the same framing and model.
                    settings.brightness = 10;
                    const double previewStart = cpuMilliseconds();
                    PictureState quick = importer.convert(settings, engine.view, ImageImporter::Speed::Preview);
                    QImage previewFrame;
                    renderPicture(quick, previewFrame);
                    previewTimes.push_back(cpuMilliseconds() - previewStart);
                }
                out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                           .arg(info.fileName().left(24), -24).arg(QLatin1String(engine.name), -12)
                           .arg(QLatin1String(mode.name), -15).arg(score.blurred, 8, 'f', 2).arg(score.sharp, 8, 'f', 2)
                           .arg(score.ssim, 7, 'f', 3).arg(ms, 7, 'f', 0).arg(same ? QStringLiteral("yes") : QStringLiteral("NO"), 5)
                    << Qt::flush;
            }
        }
    }

    out << "\nMean blurred CIEDE2000 over " << files.size() << " images, and the look-ahead's gain over Floyd-Steinberg\n";
    bool goalsMet = allRenderAsPreview;
    for (const Engine &engine : engines) {
        for (const auto &[target, goal] : {std::pair<QString, double>(QStringLiteral("DHGR"), 0.25),
                                           std::pair<QString, double>(QStringLiteral("HGR"), 0.20)}) {
            const auto mean = [&](const QString &dither) {
                const auto &v = blurredOf[QStringLiteral("%1|%2 %3").arg(QLatin1String(engine.name), target, dither)];
                double s = 0;
                for (double x : v)
                    s += x;
                return v.empty() ? 0.0 : s / double(v.size());
            };
            const double fs = mean(QStringLiteral("fs")), look = mean(QStringLiteral("lookahead"));
            const double gain = fs > 0 ? 1 - look / fs : 0;
            goalsMet = goalsMet && gain >= goal;
            out << QStringLiteral("%1 %2: fs %3, lookahead %4, %5% lower (goal %6%)\n")
                       .arg(QLatin1String(engine.name), -12).arg(target, -5).arg(fs, 0, 'f', 2).arg(look, 0, 'f', 2)
                       .arg(gain * 100, 0, 'f', 1).arg(goal * 100, 0, 'f', 0);
        }
    }
    const double full = median(fullTimes), preview = median(previewTimes);
    goalsMet = goalsMet && full <= 1000 && preview <= 100;
    out << QStringLiteral("DHGR look-ahead, one photo, one core: median %1 ms, slowest %2 ms (goal 1000)\n")
               .arg(full, 0, 'f', 0).arg(fullTimes.empty() ? 0 : *std::max_element(fullTimes.begin(), fullTimes.end()), 0, 'f', 0);
    out << QStringLiteral("Drag preview (colours and dots, then the frame): median %1 ms (goal 100)\n").arg(preview, 0, 'f', 0);
    out << "Every result renders as its preview: " << (allRenderAsPreview ? "yes" : "NO") << "\n";
    out << "Goals " << (goalsMet ? "met" : "NOT met") << Qt::endl;
    return goalsMet ? 0 : 1;
}
