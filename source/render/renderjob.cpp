#include "renderjob.h"

#include "palettes.h"
#include "pictureloader.h"
#include "render.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QTextStream>

namespace {

QString squeezed(const QString &name)
{
    QString out;
    for (QChar c : name)
        if (c.isLetterOrNumber())
            out += c.toLower();
    return out;
}

bool parseEngine(const QString &text, ViewOptions &o)
{
    const QString name = text.toLower();
    const QStringList tables = {QStringLiteral("venderoft"), QStringLiteral("double"), QStringLiteral("sharp")};
    if (name == QLatin1String("book")) {
        o.jexEngine = false;
        return true;
    }
    const int variant = int(tables.indexOf(name));
    if (variant < 0)
        return false;
    o.jexEngine = true;
    o.schemeType = quint16(variant);
    return true;
}

bool parseOnOff(const QString &text, bool &value)
{
    const QString t = text.toLower();
    if (t == QLatin1String("on") || t == QLatin1String("1") || t == QLatin1String("yes"))
        value = true;
    else if (t == QLatin1String("off") || t == QLatin1String("0") || t == QLatin1String("no"))
        value = false;
    else
        return false;
    return true;
}

bool isDirectoryOutput(const QString &output)
{
    return output.endsWith(QLatin1Char('/')) || QFileInfo(output).isDir();
}

QString outputPathFor(const RenderJob &job, const QString &input)
{
    const QFileInfo in(input);
    const QString name = in.completeBaseName() + QStringLiteral(".png");
    if (job.output.isEmpty())
        return in.dir().filePath(name);
    if (isDirectoryOutput(job.output))
        return QDir(job.output).filePath(name);
    return job.output;
}

bool writePng(const QImage &image, const QString &path, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        error = QStringLiteral("PNG encoding failed");
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool renderOne(const RenderJob &job, const QString &input, QTextStream &out, QTextStream &err)
{
    const PictureFile file = readPictureFile(input);
    if (job.info) {
        out << input << ": " << file.size << " bytes, " << file.describe() << Qt::endl;
        return file.loaded();
    }
    if (!file.loaded()) {
        err << "morvo-render: " << file.error << Qt::endl;
        return false;
    }
    const QString output = outputPathFor(job, input);
    if (QFileInfo(output).absoluteFilePath() == QFileInfo(input).absoluteFilePath()) {
        err << "morvo-render: " << input << ": output would replace the input; choose -o" << Qt::endl;
        return false;
    }

    PictureState state;
    state.viewOptions() = job.options;
    applyPictureFile(file, state);
    QImage frame;
    renderPicture(state, frame);
    QString error;
    if (!writePng(frame, output, error)) {
        err << "morvo-render: cannot write " << output << ": " << error << Qt::endl;
        return false;
    }
    out << input << " -> " << output << Qt::endl;
    return true;
}

} // namespace

bool parsePaletteName(const QString &text, quint16 &slot)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (isNumber) {
        if (number < 0 || number >= kPaletteSlots)
            return false;
        slot = quint16(number);
        return true;
    }
    const QString wanted = squeezed(text);
    const QStringList &names = paletteNames();
    for (int i = 0; i < names.size(); ++i) {
        if (squeezed(names.at(i)) == wanted) {
            slot = quint16(i);
            return true;
        }
    }
    return false;
}

void addRenderOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Renders Apple II HGR and DHGR pictures to 562 x 192 PNG frames."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("Picture files (.hgr, .dgr, or any 8 or 16 KiB memory image)."),
                                 QStringLiteral("INPUT..."));
    parser.addOptions({
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Output PNG file, or a directory (ending in /) for one PNG per input."), QStringLiteral("OUT")},
        {QStringLiteral("engine"),
         QStringLiteral("Colour engine: venderoft, double (default), sharp or book (\"By the Book\")."), QStringLiteral("ENGINE")},
        {QStringLiteral("palette"),
         QStringLiteral("Colour palette: 0-7 or a name (Venderoft, DeBabelizer, Jex's TV, Quarne, Pim, Canon DV, IREZ CapSure, IIGS). Default 2."),
         QStringLiteral("PALETTE")},
        {QStringLiteral("mono"), QStringLiteral("Monochrome output: white, green or amber."), QStringLiteral("TINT")},
        {QStringLiteral("bit-shifting"), QStringLiteral("HGR half-dot delay in \"By the Book\": on (default) or off."), QStringLiteral("on|off")},
        {QStringLiteral("column-offset"), QStringLiteral("Column of the first DHGR colour cell in \"By the Book\": 0 (default) or 1."), QStringLiteral("0|1")},
        {QStringLiteral("info"), QStringLiteral("Describe each input (size, HGR, DHGR or HGR + .AUX) instead of rendering.")},
    });
}

bool readRenderJob(const QCommandLineParser &parser, RenderJob &job, QString &error)
{
    job.inputs = parser.positionalArguments();
    job.output = parser.value(QStringLiteral("output"));
    job.info = parser.isSet(QStringLiteral("info"));
    ViewOptions &o = job.options;

    if (parser.isSet(QStringLiteral("engine")) && !parseEngine(parser.value(QStringLiteral("engine")), o)) {
        error = QStringLiteral("unknown engine \"%1\" (venderoft, double, sharp, book)").arg(parser.value(QStringLiteral("engine")));
        return false;
    }
    if (parser.isSet(QStringLiteral("palette"))) {
        if (!parsePaletteName(parser.value(QStringLiteral("palette")), o.paletteType)) {
            error = QStringLiteral("unknown palette \"%1\" (0-7 or %2)")
                        .arg(parser.value(QStringLiteral("palette")), paletteNames().join(QStringLiteral(", ")));
            return false;
        }
        o.bmFinalDepth = 8;
    }
    if (parser.isSet(QStringLiteral("mono"))) {
        const QStringList tints = {QStringLiteral("white"), QStringLiteral("green"), QStringLiteral("amber")};
        const int tint = int(tints.indexOf(parser.value(QStringLiteral("mono")).toLower()));
        if (tint < 0) {
            error = QStringLiteral("unknown tint \"%1\" (white, green, amber)").arg(parser.value(QStringLiteral("mono")));
            return false;
        }
        o.bmFinalDepth = 1;
        o.oneBitPalette = quint16(tint);
    }
    if (parser.isSet(QStringLiteral("bit-shifting")) && !parseOnOff(parser.value(QStringLiteral("bit-shifting")), o.bitShifting)) {
        error = QStringLiteral("--bit-shifting takes on or off");
        return false;
    }
    if (parser.isSet(QStringLiteral("column-offset"))) {
        const QString v = parser.value(QStringLiteral("column-offset"));
        if (v != QLatin1String("0") && v != QLatin1String("1")) {
            error = QStringLiteral("--column-offset takes 0 or 1");
            return false;
        }
        o.dhgrColumnOffset = qint16(v.toInt());
    }

    if (job.inputs.isEmpty()) {
        error = QStringLiteral("no input pictures (see --help)");
        return false;
    }
    if (!job.info && job.inputs.size() > 1 && !job.output.isEmpty() && !isDirectoryOutput(job.output)) {
        error = QStringLiteral("-o names one file but there are %1 inputs; give a directory ending in /").arg(job.inputs.size());
        return false;
    }
    return true;
}

int runRenderJob(const RenderJob &job, QTextStream &out, QTextStream &err)
{
    if (!job.info && isDirectoryOutput(job.output) && !QDir().mkpath(job.output)) {
        err << "morvo-render: cannot create directory " << job.output << Qt::endl;
        return 1;
    }
    int failures = 0;
    for (const QString &input : job.inputs)
        if (!renderOne(job, input, out, err))
            ++failures;
    return failures == 0 ? 0 : 1;
}
