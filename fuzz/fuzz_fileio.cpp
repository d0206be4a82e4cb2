// The file layer every read and save goes through, on a folder of real
// files, folders, links (to a file, to a link, to a folder, dangling, in a
// loop), a pipe and names that lead nowhere. Whatever is asked:
//   - a failed write leaves every file, folder and link as it was, with no
//     half-written or temporary file left;
//   - a write that succeeds leaves the bytes in the one file the name leads
//     to and changes nothing else; a write that may not go through a link
//     never does (it fails when the name is a link);
//   - a read gives the file's first bytes, and never waits on a pipe;
//   - two names are the same file exactly when they lead to one.
//
// Input: steps of a byte (0 write, 1 read, 2 compare) and their arguments:
// a write takes a name byte, a byte whose bit 0 refuses links, a length
// byte and that many bytes; a read a name byte and a limit byte; a compare
// two name bytes.
#include "fuzzsupport.h"
#include "pictureloader.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>

#include <sys/stat.h>

namespace {

// The names a step can use, from the fixture's folder.
const char *const kNames[] = {
    "file", "link", "chain", "dirlink", "dirlink/new", "dirlink/inner", "dangling", "loop", "dir", "dir/",
    "dir/inner", "fifo", "new", "file/under", "", "away", "other/target", "line\nfeed", "dir/../file", "./link",
};

// In the scratch folder as the links resolve it, so that names compare.
QString fixture() { return QFileInfo(scratch().path()).canonicalFilePath() + QStringLiteral("/fixture"); }

void makeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    fuzz::require(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), "the fixture was not made");
}

void makeFixture()
{
    QDir(fixture()).removeRecursively();
    const QDir d(fixture());
    fuzz::require(d.mkpath(QStringLiteral("dir")) && d.mkpath(QStringLiteral("other")),
                  "the fixture's folders were not made");
    makeFile(d.filePath(QStringLiteral("file")), "the old file");
    makeFile(d.filePath(QStringLiteral("dir/inner")), "inside");
    makeFile(d.filePath(QStringLiteral("other/target")), "far away");
    const std::pair<const char *, const char *> links[] = {
        {"link", "file"}, {"chain", "link"}, {"dirlink", "dir"}, {"dangling", "missing"}, {"loop", "loop"},
        {"away", "other/target"},
    };
    for (const auto &[name, target] : links)
        fuzz::require(QFile::link(QLatin1String(target), d.filePath(QLatin1String(name))), "a link was not made");
    fuzz::require(::mkfifo(QFile::encodeName(d.filePath(QStringLiteral("fifo"))).constData(), 0600) == 0,
                  "the pipe was not made");
}

// Every entry of the fixture: its kind, where a link points, a file's bytes.
using Snapshot = QMap<QString, QString>;

Snapshot snapshot()
{
    Snapshot entries;
    QDirIterator it(fixture(), QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        QString what;
        if (info.isSymLink())
            what = QStringLiteral("link to ") + info.symLinkTarget();
        else if (info.isDir())
            what = QStringLiteral("folder");
        else if (info.isFile()) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            what = QStringLiteral("file ") + QString::fromLatin1(f.readAll().toHex());
        } else
            what = QStringLiteral("other");
        entries.insert(path, what);
    }
    return entries;
}

// The name picked, in the fixture's folder; the empty name stays empty.
QString nameAt(quint8 pick)
{
    const QString name = QString::fromUtf8(kNames[pick % std::size(kNames)]);
    return name.isEmpty() ? name : fixture() + QLatin1Char('/') + name;
}

void write(fuzz::Input &in)
{
    const QString path = nameAt(in.byte());
    const LinkUse links = in.byte() & 1 ? LinkUse::Refuse : LinkUse::Follow;
    const QByteArray bytes = in.bytes(in.byte());
    const bool wasLink = QFileInfo(path).isSymLink();
    const Snapshot before = snapshot();
    QString error;
    const bool written = writeFileSafely(bytes, path, error, links);
    const Snapshot after = snapshot();
    if (!written) {
        fuzz::require(!error.isEmpty(), "a write failed without a reason");
        fuzz::require(after == before, "a failed write changed the folder");
        return;
    }
    fuzz::require(!(links == LinkUse::Refuse && wasLink), "a write went through a link it had to refuse");
    const QString landed = QFileInfo(path).canonicalFilePath();
    QStringList changed;
    for (auto it = after.begin(); it != after.end(); ++it)
        if (before.value(it.key()) != it.value())
            changed << it.key();
    for (auto it = before.begin(); it != before.end(); ++it)
        if (!after.contains(it.key()))
            changed << it.key();
    fuzz::require(changed.size() <= 1, "a write changed more than one entry");
    fuzz::require(after.value(landed) == QStringLiteral("file ") + QString::fromLatin1(bytes.toHex()),
                  "the file the name leads to does not hold the bytes written");
    fuzz::require(changed.isEmpty() || QFileInfo(changed.first()).canonicalFilePath() == landed,
                  "a write changed another file than the one its name leads to");
}

void read(fuzz::Input &in)
{
    const QString path = nameAt(in.byte());
    const qint64 limit = in.byte();
    QByteArray data;
    qint64 size = -1;
    QString error;
    if (!readFileHead(path, limit, QStringLiteral("a test file"), data, size, error)) {
        fuzz::require(!error.isEmpty(), "a read failed without a reason");
        return;
    }
    QFile f(path);
    fuzz::require(f.open(QIODevice::ReadOnly), "a file read cannot be opened again");
    const QByteArray whole = f.readAll();
    fuzz::require(data == whole.left(limit) && size == whole.size(), "a read gave other bytes than the file's");
}

void compare(fuzz::Input &in)
{
    const QString a = nameAt(in.byte());
    const QString b = nameAt(in.byte());
    fuzz::require(isSameFile(a, a), "a name is not the same file as itself");
    fuzz::require(isSameFile(a, b) == isSameFile(b, a), "the same file one way but not the other");
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        fuzz::require(isSameFile(a, b) == (ca == cb), "two names that lead to files compare wrongly");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    makeFixture();
    fuzz::Input in{data, size};
    for (int steps = 0; !in.done() && steps < 16; ++steps) {
        switch (in.byte() % 3) {
        case 0: write(in); break;
        case 1: read(in); break;
        default: compare(in); break;
        }
    }
    return 0;
}
