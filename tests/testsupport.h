#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// Helpers shared by the test executables.
namespace testsupport {

inline QString sourceDir() { return QStringLiteral(MORVO_SOURCE_DIR); }
inline QString binDir() { return QStringLiteral(MORVO_BINARY_DIR "/bin"); }
inline QString samplesDir() { return sourceDir() + QStringLiteral("/samples"); }

// Real pictures made by others; tests that use them skip when absent.
inline QString corpusDir() { return QStringLiteral(MORVO_CORPUS_DIR); }
inline bool haveCorpus() { return QDir(corpusDir()).exists(); }

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Pixel (x, y) of an RGBA frame as 0xRRGGBB.
inline quint32 rgbAt(const QImage &image, int x, int y)
{
    const uchar *p = image.constScanLine(y) + 4 * x;
    return (quint32(p[0]) << 16) | (quint32(p[1]) << 8) | p[2];
}

// The font's dot drawings in tools/font/glyphs.txt by code point: 8 rows of
// 7 characters, '#' lit.
inline QMap<uint, QStringList> fontDrawings()
{
    const QStringList lines = QString::fromUtf8(readFile(sourceDir() + QStringLiteral("/tools/font/glyphs.txt")))
                                  .split(QLatin1Char('\n'));
    QMap<uint, QStringList> drawings;
    for (int i = 0; i + 8 < lines.size(); ++i)
        if (lines.at(i).startsWith(QLatin1String("U+")))
            drawings.insert(lines.at(i).mid(2).section(QLatin1Char(' '), 0, 0).toUInt(nullptr, 16), lines.mid(i + 1, 8));
    return drawings;
}

// A run of one of the programs built beside the tests, offscreen and with
// settings kept apart.
struct Run {
    int exitCode = -1;
    bool finished = false;
    QString out;
    QString err;
};

inline Run run(const QString &program, const QStringList &args, int timeoutMs = 30000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir::tempPath() + QStringLiteral("/morvo-test-config"));
    p.setProcessEnvironment(env);
    p.start(program.startsWith(QLatin1Char('/')) ? program : binDir() + QLatin1Char('/') + program, args);
    Run r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Keeps a test away from the user's settings.
inline void isolateSettings() { QStandardPaths::setTestModeEnabled(true); }

} // namespace testsupport
