// morvo-render's command line, run on real files in a folder of its own:
// pictures, an HGR with its .AUX, a text screen, a folder of pictures, a
// file that is nobody's input, links to an input and to the folder, and a
// link planted where an output would go. Whatever the arguments:
//   - no file a picture is read from is written, however an output's name
//     leads to it; the file that is nobody's input is written only when
//     the command line names it (through a link or not);
//   - every link still points where it did;
//   - every file the run leaves is whole: a PNG to its end, or a picture
//     of 8,192 or 16,384 bytes; no temporary file stays.
//
// Input: up to 14 arguments, each a byte picking a word of the vocabulary
// below, or (the last pick) a length byte and that many bytes, taken as
// UTF-8 with any "/" dropped and a name of dots alone made a plain one, so
// that nothing is written outside the folder. The job runs in the folder,
// as a user runs it in theirs.
#include "fuzzsupport.h"
#include "pictureloader.h"
#include "renderjob.h"

#include <QCommandLineParser>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTextStream>

namespace {

constexpr int kMostArguments = 14;

const char *const kWords[] = {
    // Inputs, good and bad.
    "in.hgr", "in.dgr", "PIC.HGR", "short.hgr", "missing.hgr", "", "pics/", "pics", "to-in.png", "here/in.hgr",
    "new\nline.hgr", "screen.txt",
    // Options.
    "-o", "--output=out.png", "--save", "--text-screen", "--info", "--convert-to-dhgr", "--shift-left",
    "--shift-right", "--engine", "--palette", "--mono", "--bit-shifting", "--column-offset",
    // Values.
    "out/", "out.png", "to-in.hgr", "saved/", "x.dgr", "x.hgr", "3", "560", "book", "iigs", "amber", "on", "1",
    "PIC.AUX", "victim", "out/in.png", "here/x.png", "in.png", "pics/a.png", "here/",
};

QString folder() { return QFileInfo(scratch().path()).canonicalFilePath() + QStringLiteral("/cli"); }

QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 37 + seed * 101 + (i >> 7)) & 0xFF);
    return bytes;
}

void makeFile(const QString &name, const QByteArray &bytes)
{
    QFile f(QDir(folder()).filePath(name));
    fuzz::require(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), "the folder was not made");
}

void makeFolder()
{
    QDir(folder()).removeRecursively();
    const QDir d(folder());
    fuzz::require(QDir().mkpath(d.filePath(QStringLiteral("pics"))) && QDir().mkpath(d.filePath(QStringLiteral("out"))),
                  "the folder's folders were not made");
    makeFile(QStringLiteral("in.hgr"), pattern(kPictureBytes, 1));
    makeFile(QStringLiteral("in.dgr"), pattern(2 * kPictureBytes, 2));
    makeFile(QStringLiteral("PIC.HGR"), pattern(kPictureBytes, 3));
    makeFile(QStringLiteral("PIC.AUX"), pattern(kPictureBytes, 4));
    makeFile(QStringLiteral("short.hgr"), pattern(100, 5));
    makeFile(QStringLiteral("new\nline.hgr"), pattern(kPictureBytes, 6));
    makeFile(QStringLiteral("pics/a.hgr"), pattern(kPictureBytes, 7));
    makeFile(QStringLiteral("screen.txt"), "80HELLO\n\nEIGHTY");
    makeFile(QStringLiteral("victim"), "nobody's input");
    const std::pair<const char *, const char *> links[] = {
        {"to-in.png", "in.hgr"}, {"to-in.hgr", "in.hgr"}, {"here", "."}, {"out/in.png", "../victim"},
    };
    for (const auto &[name, target] : links)
        fuzz::require(QFile::link(QLatin1String(target), d.filePath(QLatin1String(name))), "a link was not made");
}

struct Entry {
    QString link;      // where a link points, else empty
    QByteArray bytes;  // a file's bytes
};

QMap<QString, Entry> entries()
{
    QMap<QString, Entry> all;
    QDirIterator it(folder(), QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        Entry e;
        if (it.fileInfo().isSymLink()) {
            e.link = it.fileInfo().symLinkTarget();
        } else if (it.fileInfo().isFile()) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            e.bytes = f.readAll();
        }
        all.insert(path, e);
    }
    return all;
}

// "." and ".." would name the folders above.
QString inFolder(const QString &name)
{
    return !name.isEmpty() && name.count(QLatin1Char('.')) == name.size() ? QStringLiteral("x") + name : name;
}

QStringList arguments(fuzz::Input &in)
{
    QStringList args{QStringLiteral("morvo-render")};
    for (int n = 0; n < kMostArguments && !in.done(); ++n) {
        const quint8 pick = in.byte() % (std::size(kWords) + 1);
        if (pick < std::size(kWords))
            args << QString::fromUtf8(kWords[pick]);
        else
            args << inFolder(QString::fromUtf8(in.bytes(in.byte() % 24)).remove(QLatin1Char('/')));
    }
    return args;
}

// The files the job reads its pictures from, as links resolve them.
QSet<QString> sourcesOf(const QCommandLineParser &parser)
{
    QSet<QString> sources;
    QStringList named = parser.positionalArguments() + parser.values(QStringLiteral("text-screen"));
    for (const QString &name : parser.positionalArguments()) {
        const QFileInfo info(name);
        if (info.isDir())
            for (const QFileInfo &inside : QDir(name).entryInfoList(QDir::Files))
                named << inside.filePath();
        else if (info.canonicalFilePath().endsWith(QLatin1String("/PIC.HGR")))
            named << info.path() + QStringLiteral("/PIC.AUX");
    }
    for (const QString &name : named)
        if (!name.isEmpty() && QFileInfo(name).isFile())
            sources.insert(QFileInfo(name).canonicalFilePath());
    return sources;
}

bool isWhole(const QByteArray &bytes)
{
    static const QByteArray kPngEnd("IEND\xAE\x42\x60\x82", 8);
    return (bytes.startsWith("\x89PNG") && bytes.endsWith(kPngEnd)) || bytes.size() == kPictureBytes
           || bytes.size() == 2 * kPictureBytes;
}

// Runs the job the input makes, when it is a command line morvo-render
// takes, and checks the folder after it.
void checkRun(const quint8 *data, size_t size)
{
    fuzz::Input in{data, size};
    QCommandLineParser parser;
    addRenderOptions(parser);
    RenderJob job;
    QString error;
    if (!parser.parse(arguments(in)) || !readRenderJob(parser, job, error))
        return;

    const QString victim = QDir(folder()).filePath(QStringLiteral("victim"));
    const QStringList outputs = parser.values(QStringLiteral("output")) + parser.values(QStringLiteral("save"));
    const bool victimNamed = std::any_of(outputs.begin(), outputs.end(),
                                         [&](const QString &o) { return isSameFile(o, victim); });
    QSet<QString> untouchable = sourcesOf(parser);
    if (!victimNamed)
        untouchable.insert(victim);
    const QMap<QString, Entry> before = entries();

    QString printed;
    QTextStream out(&printed);
    runRenderJob(job, out, out);

    const QMap<QString, Entry> after = entries();
    for (auto it = after.begin(); it != after.end(); ++it) {
        const Entry &now = it.value();
        const auto old = before.find(it.key());
        if (old != before.end() && !old->link.isEmpty()) {
            fuzz::require(now.link == old->link, "a link was replaced or points elsewhere");
            continue;
        }
        if (untouchable.contains(it.key())) {
            fuzz::require(old != before.end() && now.bytes == old->bytes, "a file that had to stay was written");
            continue;
        }
        if (old != before.end() && now.bytes == old->bytes)
            continue;
        fuzz::require(!it.key().contains(QLatin1String(".morvo-")), "a temporary file stayed");
        fuzz::require(QFileInfo(it.key()).isDir() || isWhole(now.bytes), "a file written is not whole");
    }
    for (auto it = before.begin(); it != before.end(); ++it)
        fuzz::require(after.contains(it.key()), "a file or link is gone");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::startGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    makeFolder();
    const QString started = QDir::currentPath();
    fuzz::require(QDir::setCurrent(folder()), "cannot work in the folder");
    checkRun(data, size);
    // libFuzzer reads its next inputs by the names it was given.
    QDir::setCurrent(started);
    return 0;
}
