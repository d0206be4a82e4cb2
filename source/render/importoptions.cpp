#include "importoptions.h"

#include "imagefile.h"
#include "imageimporter.h"

#include <QCommandLineParser>

namespace {

bool readName(const QCommandLineParser &parser, const QString &option, const QStringList &names, int &value,
              QString &error)
{
    if (!parser.isSet(option))
        return true;
    value = int(names.indexOf(parser.value(option).toLower()));
    if (value < 0)
        error = QStringLiteral("--%1 takes %2, not \"%3\"").arg(option, names.join(QStringLiteral(", ")), parser.value(option));
    return value >= 0;
}

bool readNumber(const QCommandLineParser &parser, const QString &option, double low, double high, double &value,
                QString &error)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const double v = parser.value(option).toDouble(&ok);
    if (!ok || v < low || v > high) {
        error = QStringLiteral("--%1 takes a number from %2 to %3, not \"%4\"").arg(option).arg(low).arg(high).arg(parser.value(option));
        return false;
    }
    value = v;
    return true;
}

} // namespace

void addImportOptions(QCommandLineParser &parser)
{
    parser.addOptions({
        {QStringLiteral("import"),
         QStringLiteral("Make the picture from an image (PNG, JPEG, BMP, GIF, WebP, TIFF) instead of reading INPUT."),
         QStringLiteral("IMAGE")},
        {QStringLiteral("to"), QStringLiteral("What --import makes: dhgr (default), hgr, dhgr-mono or hgr-mono."), QStringLiteral("TARGET")},
        {QStringLiteral("dither"),
         QStringLiteral("How --import chooses the bytes: none, fs (Floyd-Steinberg), atkinson, or lookahead (default: "
                        "judged by what the engine draws)."),
         QStringLiteral("METHOD")},
        {QStringLiteral("fit"),
         QStringLiteral("How --import frames the image to the 4:3 screen: crop (default), fit (black borders) or stretch."),
         QStringLiteral("FIT")},
        {QStringLiteral("crop-x"), QStringLiteral("Where the crop sits across: -1 (left) to 1 (right); default 0."), QStringLiteral("X")},
        {QStringLiteral("crop-y"), QStringLiteral("Where the crop sits down: -1 (top) to 1 (bottom); default 0."), QStringLiteral("Y")},
        {QStringLiteral("brightness"), QStringLiteral("--import's brightness, -100 to 100; default 0."), QStringLiteral("N")},
        {QStringLiteral("contrast"), QStringLiteral("--import's contrast, -100 to 100; default 0."), QStringLiteral("N")},
        {QStringLiteral("saturation"), QStringLiteral("--import's saturation, -100 (grey) to 100; default 0."), QStringLiteral("N")},
        {QStringLiteral("gamma"), QStringLiteral("--import's gamma, 0.2 to 5 (above 1 lightens the middle tones); default 1."),
         QStringLiteral("G")},
    });
}

bool readImportOptions(const QCommandLineParser &parser, ImportSettings &s, QString &error)
{
    const QStringList settings = {QStringLiteral("to"), QStringLiteral("dither"), QStringLiteral("fit"),
                                  QStringLiteral("crop-x"), QStringLiteral("crop-y"), QStringLiteral("brightness"),
                                  QStringLiteral("contrast"), QStringLiteral("saturation"), QStringLiteral("gamma")};
    if (!parser.isSet(QStringLiteral("import"))) {
        for (const QString &option : settings) {
            if (parser.isSet(option)) {
                error = QStringLiteral("--%1 only goes with --import").arg(option);
                return false;
            }
        }
        return true;
    }
    int target = int(s.target), dither = int(s.dither), fit = int(s.fit);
    double brightness = s.brightness, contrast = s.contrast, saturation = s.saturation;
    const bool ok = readName(parser, QStringLiteral("to"), importTargetNames(), target, error)
        && readName(parser, QStringLiteral("dither"), importDitherNames(), dither, error)
        && readName(parser, QStringLiteral("fit"), importFitNames(), fit, error)
        && readNumber(parser, QStringLiteral("crop-x"), -1, 1, s.cropX, error)
        && readNumber(parser, QStringLiteral("crop-y"), -1, 1, s.cropY, error)
        && readNumber(parser, QStringLiteral("brightness"), -100, 100, brightness, error)
        && readNumber(parser, QStringLiteral("contrast"), -100, 100, contrast, error)
        && readNumber(parser, QStringLiteral("saturation"), -100, 100, saturation, error)
        && readNumber(parser, QStringLiteral("gamma"), 0.2, 5, s.gamma, error);
    s.target = ImportTarget(target);
    s.dither = ImportDither(dither);
    s.fit = ImportFit(fit);
    s.brightness = qRound(brightness);
    s.contrast = qRound(contrast);
    s.saturation = qRound(saturation);
    return ok;
}

bool importImageFile(const QString &path, const ImportSettings &settings, PictureState &state, QString &error)
{
    QImage image;
    if (!readImageFile(path, image, error))
        return false;
    ImageImporter importer(image);
    const PictureState picture = importer.convert(settings, state.viewOptions());
    state.viewOptions() = picture.viewOptions();
    state.isDhgr = picture.isDhgr;
    state.auxMemory = picture.auxMemory;
    state.mainMemory = picture.mainMemory;
    return true;
}
