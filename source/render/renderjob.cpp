#include "renderjob.h"

#include "importoptions.h"
#include "palettes.h"
#include "picturecatalog.h"
#include "pictureedit.h"
#include "pictureloader.h"
#include "picturetypes.h"
#include "printablename.h"
#include "render.h"
#include "resourcepath.h"
#include "textcodec.h"
#include "textscreen.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

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

// How many inputs have each name without its extension, case aside: in a
// directory named on the command line every input's output meets, beside
// the inputs only those of one folder do. Counted once for the batch, so
// that naming takes time in step with the number of inputs.
struct SharedNames {
    QHash<QString, int> anywhere;  // by the name
    QHash<QString, int> byFolder;  // by the folder and the name
};

QString stemKey(const QFileInfo &file) { return file.completeBaseName().toCaseFolded(); }

QString folderKey(const QFileInfo &file) { return file.absolutePath() + QChar(u'\0') + stemKey(file); }

SharedNames countSharedNames(const QStringList &inputs)
{
    SharedNames shared;
    for (const QString &input : inputs) {
        const QFileInfo file(input);
        ++shared.anywhere[stemKey(file)];
        ++shared.byFolder[folderKey(file)];
    }
    return shared;
}

// The name a file made from input gets in directory: the input's name
// without its extension, unless another input bound for the same directory
// has that name too (PIC.HGR and PIC.AUX, a.hgr and a.dgr); then the whole
// name, so that no output replaces another.
QString outputName(const SharedNames &shared, const QString &input, const QString &directory,
                   const QString &extension)
{
    const QFileInfo in(input);
    const bool beside = directory.isEmpty();
    const int sharing = beside ? shared.byFolder.value(folderKey(in)) : shared.anywhere.value(stemKey(in));
    const QString target = beside ? in.absolutePath() : QDir(directory).absolutePath();
    return QDir(target).filePath((sharing > 1 ? in.fileName() : in.completeBaseName()) + extension);
}

bool namesOneFile(const QString &output)
{
    return !output.isEmpty() && !isDirectoryOutput(output);
}

QString outputPathFor(const RenderJob &job, const SharedNames &shared, const QString &input)
{
    if (namesOneFile(job.output))
        return job.output;
    return outputName(shared, input, job.output, QStringLiteral(".png"));
}

// An output named on the command line may be a link on purpose; one made
// from an input's name is never written through a link.
LinkUse linksOf(const QString &given)
{
    return namesOneFile(given) ? LinkUse::Follow : LinkUse::Refuse;
}

// A text screen is 24 rows of at most 80 characters; anything much bigger
// is not one.
constexpr qint64 kLargestTextScreen = 64 * 1024;

// Far enough to push every dot off a DHGR picture.
constexpr int kLongestShift = kDhgrDots;

bool hasOperation(const RenderJob &job, PictureOperation::Kind kind)
{
    return std::any_of(job.operations.begin(), job.operations.end(),
                       [kind](const PictureOperation &op) { return op.kind == kind; });
}

bool hasTextScreen(const RenderJob &job)
{
    return hasOperation(job, PictureOperation::TextScreen);
}

bool hasImport(const RenderJob &job)
{
    return hasOperation(job, PictureOperation::Import);
}

bool hasSave(const RenderJob &job)
{
    return hasOperation(job, PictureOperation::Save);
}

// The files a picture is made from besides its INPUT: the images imported
// and the text screens drawn.
QStringList operationSourcesOf(const RenderJob &job)
{
    QStringList screens;
    for (const PictureOperation &op : job.operations)
        if (op.kind == PictureOperation::TextScreen || op.kind == PictureOperation::Import)
            screens << op.path;
    return screens;
}

// Links are followed: a link named as the output that leads to an input
// would otherwise have the input replaced.
bool overwritesASource(const QStringList &sources, const QString &output)
{
    return std::any_of(sources.begin(), sources.end(),
                       [&](const QString &source) { return isSameFile(source, output); });
}

bool readShiftCount(const QString &text, int &count)
{
    bool isNumber = false;
    count = text.toInt(&isNumber);
    return isNumber && count >= 0 && count <= kLongestShift;
}

QString savePathFor(const SharedNames &shared, const QString &target, const QString &name, bool isDhgr)
{
    if (!isDirectoryOutput(target))
        return target;
    return outputName(shared, name, target, isDhgr ? QStringLiteral(".dgr") : QStringLiteral(".hgr"));
}

// An extension that names the other kind of picture would mislead whoever
// opens the file next.
QString extensionMismatch(const QString &path, bool isDhgr)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (isDhgr && suffix == QLatin1String("hgr"))
        return QStringLiteral("the picture is DHGR (16,384 bytes); save it as .dgr");
    if (!isDhgr && (suffix == QLatin1String("dgr") || suffix == QLatin1String("dhgr")))
        return QStringLiteral("the picture is HGR (8,192 bytes); save it as .hgr, or add --convert-to-dhgr");
    return QString();
}

bool readTextScreen(const QString &path, QString &text, QString &error)
{
    QByteArray bytes;
    qint64 size = 0;
    if (!readFileHead(path, kLargestTextScreen, QStringLiteral("a text screen"), bytes, size, error))
        return false;
    if (size > kLargestTextScreen) {
        error = QStringLiteral("%1 is %2 bytes, too large for a text screen").arg(path).arg(size);
        return false;
    }
    text = decodeTextScreen(bytes);
    return true;
}

QString textFontFamily(QTextStream &err)
{
    const QString family = appleFontFamily();
    static bool warned = false;
    if (family.isEmpty() && !warned) {
        err << "morvo-render: the Apple II font was not found; drawing text in the default font" << Qt::endl;
        warned = true;
    }
    return family;
}

// Qt's PNG quality for zlib's fastest level: a third of the time of the
// default level, for files a little larger.
constexpr int kFastestDeflate = 85;

// The frame as an 8-bit palette image: it holds at most the 33 colours of a
// palette slot and black, all opaque, so the PNG has the same pixels in a
// quarter of the bytes (and is written in a quarter of the time). A null
// image if there were more colours than a palette holds.
QImage paletteImage(const QImage &frame)
{
    QImage indexed(frame.size(), QImage::Format_Indexed8);
    QList<QRgb> colours;
    // Colours by a hash of their bytes, open addressing; a frame repeats
    // the colour of the column before more often than not.
    constexpr int kSlots = 1024;
    std::array<quint32, kSlots> keys{};
    std::array<int, kSlots> entryOf;
    entryOf.fill(-1);
    const int width = frame.width();
    const int height = frame.height();
    for (int y = 0; y < height; ++y) {
        const auto *in = reinterpret_cast<const quint32 *>(frame.constScanLine(y));
        uchar *out = indexed.scanLine(y);
        quint32 last = 0;
        int lastIndex = -1;
        for (int x = 0; x < width; ++x) {
            const quint32 pixel = in[x];
            if (pixel != last || lastIndex < 0) {
                size_t slot = (pixel * 2654435761u) >> 22;
                while (entryOf[slot] >= 0 && keys[slot] != pixel)
                    slot = (slot + 1) % kSlots;
                if (entryOf[slot] < 0) {
                    if (colours.size() == 256)
                        return QImage();
                    const uchar *rgba = reinterpret_cast<const uchar *>(in + x);
                    colours.append(qRgb(rgba[0], rgba[1], rgba[2]));
                    keys[slot] = pixel;
                    entryOf[slot] = int(colours.size()) - 1;
                }
                last = pixel;
                lastIndex = entryOf[slot];
            }
            out[x] = uchar(lastIndex);
        }
    }
    indexed.setColorTable(colours);
    return indexed;
}

QByteArray framePng(const QImage &frame)
{
    const QImage indexed = paletteImage(frame);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    (indexed.isNull() ? frame : indexed).save(&buffer, "PNG", kFastestDeflate);
    return png;
}

// Runs the job's operations in order on one picture, named after name.
bool applyOperations(const RenderJob &job, const SharedNames &shared, const QString &name,
                     const QStringList &sources, PictureState &state, QTextStream &out, QTextStream &err)
{
    for (const PictureOperation &op : job.operations) {
        switch (op.kind) {
        case PictureOperation::ConvertToDhgr:
            convertToDhgr(state);
            break;
        case PictureOperation::ShiftLeft:
        case PictureOperation::ShiftRight:
            for (int i = 0; i < op.count; ++i)
                shiftPicture(state, op.kind == PictureOperation::ShiftLeft);
            break;
        case PictureOperation::TextScreen: {
            QString text;
            QString error;
            if (!readTextScreen(op.path, text, error)) {
                err << "morvo-render: " << printableName(error) << Qt::endl;
                return false;
            }
            renderTextScreen(state, text, textFontFamily(err));
            break;
        }
        case PictureOperation::Import: {
            QString error;
            if (!importImageFile(op.path, job.import, state, error)) {
                err << "morvo-render: " << printableName(error) << Qt::endl;
                return false;
            }
            break;
        }
        case PictureOperation::Save: {
            const QString path = savePathFor(shared, op.path, name, state.isDhgr);
            const QString mismatch = extensionMismatch(path, state.isDhgr);
            QString error;
            if (!mismatch.isEmpty()) {
                err << "morvo-render: not saved to " << printableName(path) << ": " << mismatch << Qt::endl;
                return false;
            }
            if (overwritesASource(sources, path)) {
                err << "morvo-render: " << printableName(path)
                    << ": saving would replace a file it was made from; choose another name" << Qt::endl;
                return false;
            }
            const QByteArray bytes = pictureFileBytes(state);
            if (!writeFileSafely(bytes, path, error, linksOf(op.path))) {
                err << "morvo-render: cannot write " << printableName(path) << ": " << error << Qt::endl;
                return false;
            }
            out << printableName(name) << " -> " << printableName(path) << " (" << (state.isDhgr ? "DHGR" : "HGR")
                << ", " << bytes.size() << " bytes)" << Qt::endl;
            break;
        }
        }
    }
    return true;
}

// A picture's path inside an image as a relative file name under the
// output directory: each part keeps letters, digits and ". _ - #", anything
// else becomes '_', and a part cannot climb out ("..") or hide ("."). A
// name already taken, ignoring case, gets a number, so no picture's PNG
// replaces another's.
QString collectionOutputName(const QString &innerPath, QSet<QString> &taken)
{
    QStringList parts;
    for (QString part : innerPath.split(QLatin1Char('/'))) {
        for (QChar &c : part)
            if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && !QStringLiteral("._-#").contains(c))
                c = QLatin1Char('_');
        if (part.isEmpty() || part.startsWith(QLatin1Char('.')))
            part.prepend(QLatin1Char('_'));
        parts << part;
    }
    const QString stem = parts.join(QLatin1Char('/'));
    QString name = stem + QStringLiteral(".png");
    for (int n = 2; taken.contains(name.toLower()); ++n)
        name = QStringLiteral("%1~%2.png").arg(stem).arg(n);
    taken.insert(name.toLower());
    return name;
}

// --info for a disk image or a folder: what it is, each picture and why it
// counts as one, and what could not be read.
bool describeCollection(const PictureCatalog &catalog, const QString &input, QTextStream &out)
{
    out << printableName(input) << ": " << (catalog.isOpen() ? printableName(catalog.description()) : QStringLiteral("not read")) << ", "
        << catalog.count() << (catalog.count() == 1 ? " picture" : " pictures") << Qt::endl;
    for (const PictureEntry &entry : catalog.entries()) {
        out << "  " << printableName(entry.innerPath) << ": " << printableName(entry.reason);
        if (entry.displayHint >= 0)
            out << ", made for " << displayHintText(entry.displayHint);
        out << Qt::endl;
    }
    for (const QString &problem : catalog.problems())
        out << "  problem: " << printableName(problem) << Qt::endl;
    return catalog.isOpen();
}

// Every picture of a disk image or a folder, each to a PNG named after its
// path inside, in the output directory: -o DIR/ for one input, DIR/NAME/
// for one of several, NAME/ beside the image without -o. Returns false when
// the image could not be read or any picture failed.
bool processCollection(const RenderJob &job, const SharedNames &shared, const QString &input, QTextStream &out,
                       QTextStream &err)
{
    const bool folder = QFileInfo(input).isDir();
    if (!job.info && !job.output.isEmpty() && !isDirectoryOutput(job.output)) {
        err << "morvo-render: " << printableName(input) << (folder ? " is a folder" : " is a disk image")
            << "; its pictures need an output directory: -o DIR/" << Qt::endl;
        return false;
    }
    if (hasSave(job)) {
        err << "morvo-render: " << printableName(input) << ": --save writes single pictures; render the pictures of a "
            << (folder ? "folder" : "disk image") << " without it" << Qt::endl;
        return false;
    }
    const PictureCatalog catalog = PictureCatalog::open(input);
    if (job.info)
        return describeCollection(catalog, input, out);
    for (const QString &problem : catalog.problems())
        err << "morvo-render: " << printableName(problem.startsWith(input) ? problem : input + QStringLiteral(": ") + problem)
            << Qt::endl;
    if (!catalog.isOpen())
        return false;
    if (catalog.count() == 0) {
        err << "morvo-render: " << printableName(input) << ": no pictures found" << Qt::endl;
        return false;
    }
    const QString directory = job.output.isEmpty() || job.inputs.size() > 1
                                  ? outputName(shared, QDir::cleanPath(input), job.output, QString())
                                  : job.output;
    bool succeeded = true;
    QSet<QString> taken;
    for (int i = 0; i < catalog.count(); ++i) {
        const PictureFile file = catalog.read(i);
        if (!file.loaded()) {
            err << "morvo-render: " << printableName(file.error) << Qt::endl;
            succeeded = false;
            continue;
        }
        PictureState state;
        state.viewOptions() = job.options;
        applyPictureFile(file, state);
        const QString name = catalog.location(i).fullName();
        if (!applyOperations(job, shared, name, {input}, state, out, err)) {
            succeeded = false;
            continue;
        }
        const QString output = QDir(directory).filePath(collectionOutputName(catalog.entries()[size_t(i)].innerPath, taken));
        if (overwritesASource({input}, output)) {
            err << "morvo-render: " << printableName(output) << ": output would replace the input; choose -o" << Qt::endl;
            succeeded = false;
            continue;
        }
        QImage frame;
        renderPicture(state, frame);
        QString error;
        if (!QDir().mkpath(QFileInfo(output).path()) || !writeFileSafely(framePng(frame), output, error, LinkUse::Refuse)) {
            err << "morvo-render: cannot write " << printableName(output) << ": "
                << (error.isEmpty() ? QStringLiteral("no folder there") : error) << Qt::endl;
            succeeded = false;
            continue;
        }
        out << printableName(name) << " -> " << printableName(output) << Qt::endl;
    }
    return succeeded;
}

// One picture: read from input, or drawn from a text screen when the job
// has no inputs; then the operations, then the PNG (unless the job only
// saves). Every input is a file to read, an empty name too.
bool processOne(const RenderJob &job, const SharedNames &shared, const QString &input, QTextStream &out,
                QTextStream &err)
{
    if (!input.isEmpty() && PictureCatalog::isCollection(input))
        return processCollection(job, shared, input, out, err);
    PictureState state;
    state.viewOptions() = job.options;
    // Every file the picture is made from: no output may replace one.
    QStringList sources;
    if (!job.inputs.isEmpty()) {
        const PictureFile file = readPictureFile(input);
        if (job.info) {
            out << printableName(input) << ": " << file.size << " bytes, " << printableName(file.describe()) << Qt::endl;
            return file.loaded();
        }
        if (!file.loaded()) {
            err << "morvo-render: " << printableName(file.error) << Qt::endl;
            return false;
        }
        applyPictureFile(file, state);
        sources << input;
        if (!file.companionPath.isEmpty())
            sources << file.companionPath;
    }
    sources << operationSourcesOf(job);
    const QString name = sources.value(0);
    if (!applyOperations(job, shared, name, sources, state, out, err))
        return false;
    if (hasSave(job) && job.output.isEmpty())
        return true;

    const QString output = outputPathFor(job, shared, name);
    if (overwritesASource(sources, output)) {
        err << "morvo-render: " << printableName(name) << ": output would replace the input; choose -o" << Qt::endl;
        return false;
    }
    QImage frame;
    renderPicture(state, frame);
    QString error;
    if (!writeFileSafely(framePng(frame), output, error, linksOf(job.output))) {
        err << "morvo-render: cannot write " << printableName(output) << ": " << error << Qt::endl;
        return false;
    }
    out << printableName(name) << " -> " << printableName(output) << Qt::endl;
    return true;
}

// What one input printed to standard output and standard error, in the
// order it printed it, held until the inputs before it have been reported.
struct Transcript {
    std::vector<std::pair<bool, QByteArray>> pieces;  // (to standard error, text)
    bool succeeded = false;
    bool finished = false;
};

class TranscriptDevice : public QIODevice {
public:
    TranscriptDevice(Transcript &transcript, bool toErr)
        : m_transcript(transcript), m_toErr(toErr)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_transcript.pieces.emplace_back(m_toErr, QByteArray(data, int(size)));
        return size;
    }

private:
    Transcript &m_transcript;
    bool m_toErr;
};

// Every input on its own, as many at once as there are cores (writing the
// PNG is most of the work); what each prints is reported in input order.
// Returns the number of inputs that failed.
int processInputs(const RenderJob &job, const SharedNames &shared, QTextStream &out, QTextStream &err)
{
    const int count = int(job.inputs.size());
    std::vector<Transcript> transcripts(static_cast<size_t>(count));
    std::atomic<int> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    const auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            Transcript &t = transcripts[size_t(i)];
            bool succeeded = false;
            {
                TranscriptDevice outDevice(t, false);
                TranscriptDevice errDevice(t, true);
                QTextStream o(&outDevice);
                QTextStream e(&errDevice);
                succeeded = processOne(job, shared, job.inputs.at(i), o, e);
            }
            const std::lock_guard<std::mutex> lock(mutex);
            t.succeeded = succeeded;
            t.finished = true;
            finished.notify_all();
        }
    };
    std::vector<std::thread> workers;
    const int workerCount = std::clamp(QThread::idealThreadCount(), 1, count);
    for (int w = 0; w < workerCount; ++w)
        workers.emplace_back(work);

    int failures = 0;
    for (Transcript &t : transcripts) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            finished.wait(lock, [&t] { return t.finished; });
        }
        for (const auto &[toErr, text] : t.pieces)
            (toErr ? err : out) << QString::fromUtf8(text) << Qt::flush;
        t.pieces.clear();
        if (!t.succeeded)
            ++failures;
    }
    for (std::thread &worker : workers)
        worker.join();
    return failures;
}

// A saved picture and the PNG must not land in the same file.
bool checkSaveTargets(const RenderJob &job, QString &error)
{
    if (!namesOneFile(job.output))
        return true;
    for (const PictureOperation &op : job.operations) {
        if (op.kind == PictureOperation::Save && isSameFile(op.path, job.output)) {
            error = QStringLiteral("--save and -o both name %1").arg(op.path);
            return false;
        }
    }
    return true;
}

// The picture operations in the order they appear on the command line.
bool readOperations(const QCommandLineParser &parser, RenderJob &job, QString &error)
{
    QHash<QString, int> seen;
    for (const QString &name : parser.optionNames()) {
        const int occurrence = seen[name]++;
        const auto value = [&] { return parser.values(name).value(occurrence); };
        if (name == QLatin1String("convert-to-dhgr")) {
            job.operations.push_back({PictureOperation::ConvertToDhgr, 1, QString()});
        } else if (name == QLatin1String("shift-left") || name == QLatin1String("shift-right")) {
            int count = 0;
            if (!readShiftCount(value(), count)) {
                error = QStringLiteral("--%1 takes a number of dots from 0 to %2, not \"%3\"")
                            .arg(name).arg(kLongestShift).arg(value());
                return false;
            }
            const auto kind = name == QLatin1String("shift-left") ? PictureOperation::ShiftLeft : PictureOperation::ShiftRight;
            job.operations.push_back({kind, count, QString()});
        } else if (name == QLatin1String("text-screen") || name == QLatin1String("save") || name == QLatin1String("import")) {
            if (value().isEmpty()) {
                error = QStringLiteral("--%1 needs a file name").arg(name);
                return false;
            }
            const auto kind = name == QLatin1String("save")     ? PictureOperation::Save
                            : name == QLatin1String("import") ? PictureOperation::Import
                                                              : PictureOperation::TextScreen;
            job.operations.push_back({kind, 1, value()});
        }
    }
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
        "Renders Apple II HGR and DHGR pictures to 562 x 192 PNG frames.\n"
        "The picture operations (--convert-to-dhgr, --shift-left, --shift-right,\n"
        "--text-screen, --import, --save) run in the order given, before rendering.\n"
        "With --save and no -o, no PNG is written."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("Picture files (.hgr, .dgr, any 8 or 16 KiB memory image, ProDOS and DOS 3.3 picture files), "
                                                                         "disk images (.dsk, .do, .po, .2mg, .hdv) or folders; none with --text-screen or --import."),
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
        {QStringLiteral("info"), QStringLiteral("Describe each input (size, HGR, DHGR or HGR + .AUX; for a disk image or a folder, "
                                                "each picture and why it counts as one) instead of rendering.")},
        {QStringLiteral("convert-to-dhgr"),
         QStringLiteral("Convert an HGR picture to DHGR; its monochrome view stays the same.")},
        {QStringLiteral("shift-left"),
         QStringLiteral("Shift the picture left N times by one dot of the 560-dot grid (0 to 560). An HGR picture loses its "
                        "high bits, and an HGR dot that cannot move by half a dot moves a whole one."),
         QStringLiteral("N")},
        {QStringLiteral("shift-right"),
         QStringLiteral("The same to the right."),
         QStringLiteral("N")},
        {QStringLiteral("text-screen"),
         QStringLiteral("Draw a text screen file (40 columns as HGR, 80 as DHGR) as the picture, instead of reading INPUT."),
         QStringLiteral("FILE")},
        {QStringLiteral("save"),
         QStringLiteral("Write the picture memory as it is at this point: OUT.dgr (16,384 bytes, aux then main) for DHGR, "
                        "OUT.hgr (8,192 bytes) for HGR; a directory (ending in /) takes one file per input."),
         QStringLiteral("OUT")},
    });
    addImportOptions(parser);
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

    if (!readOperations(parser, job, error) || !readImportOptions(parser, job.import, error))
        return false;

    if (job.info && !job.operations.empty()) {
        error = QStringLiteral("--info only describes the inputs; leave out the picture operations");
        return false;
    }
    if (hasTextScreen(job) || hasImport(job)) {
        if (!job.inputs.isEmpty()) {
            error = QStringLiteral("--%1 makes the picture itself; give no INPUT pictures")
                        .arg(hasImport(job) ? QStringLiteral("import") : QStringLiteral("text-screen"));
            return false;
        }
        return checkSaveTargets(job, error);
    }
    if (job.inputs.isEmpty()) {
        error = QStringLiteral("no input pictures (see --help)");
        return false;
    }
    if (!job.info && job.inputs.size() > 1 && namesOneFile(job.output)) {
        error = QStringLiteral("-o names one file but there are %1 inputs; give a directory ending in /").arg(job.inputs.size());
        return false;
    }
    for (const PictureOperation &op : job.operations) {
        if (op.kind == PictureOperation::Save && job.inputs.size() > 1 && !isDirectoryOutput(op.path)) {
            error = QStringLiteral("--save names one file but there are %1 inputs; give a directory ending in /").arg(job.inputs.size());
            return false;
        }
    }
    return checkSaveTargets(job, error);
}

int runRenderJob(const RenderJob &job, QTextStream &out, QTextStream &err)
{
    QStringList directories;
    if (!job.info && isDirectoryOutput(job.output))
        directories << job.output;
    for (const PictureOperation &op : job.operations)
        if (op.kind == PictureOperation::Save && isDirectoryOutput(op.path))
            directories << op.path;
    for (const QString &directory : directories) {
        if (!QDir().mkpath(directory)) {
            err << "morvo-render: cannot create directory " << printableName(directory) << Qt::endl;
            return 1;
        }
    }
    const SharedNames shared = countSharedNames(job.inputs);
    if (job.inputs.isEmpty())
        return processOne(job, shared, QString(), out, err) ? 0 : 1;
    return processInputs(job, shared, out, err) == 0 ? 0 : 1;
}
