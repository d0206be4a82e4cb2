#pragma once

#include "picturestate.h"
#include "rowbase.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QMap>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <functional>
#include <type_traits>

// Helpers shared by the test executables.
namespace testsupport {

inline QString sourceDir() { return QStringLiteral(MORVO_SOURCE_DIR); }
inline QString binDir() { return QStringLiteral(MORVO_BINARY_DIR "/bin"); }
inline QString samplesDir() { return sourceDir() + QStringLiteral("/samples"); }

// Real pictures made by others; tests that use them skip when absent.
inline QString corpusDir() { return QStringLiteral(MORVO_CORPUS_DIR); }

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

// Random bytes. density 0: every bit random; above: roughly one bit in
// 2^density lit, which leaves lone dots and gaps for the neighbour rules.
template <typename Bytes>
void fillRandom(Bytes &bytes, QRandomGenerator &rng, int density = 0)
{
    for (auto &b : bytes) {
        quint32 v = rng.generate();
        for (int d = 0; d < density; ++d)
            v &= rng.generate();
        b = std::remove_reference_t<decltype(b)>(v);
    }
}

inline QByteArray randomBytes(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator rng(seed);
    fillRandom(bytes, rng);
    return bytes;
}

// Pixel (x, y) of an RGBA frame as 0xRRGGBB.
inline quint32 rgbAt(const QImage &image, int x, int y)
{
    const uchar *p = image.constScanLine(y) + 4 * x;
    return (quint32(p[0]) << 16) | (quint32(p[1]) << 8) | p[2];
}

// Dot x of row y: on the 560-dot grid of DHGR, where aux and main bytes take
// turns every seven dots, or on the 280-dot grid of HGR's main bytes.
inline bool dotLit(const PictureState &s, int x, int y)
{
    const int group = s.isDhgr ? x / 7 : 2 * (x / 7) + 1;
    return ((group & 1) ? s.mainMemory : s.auxMemory)[rowBaseTable[size_t(y)] + group / 2] & (1 << (x % 7));
}

// A finished run of a program, by default one of ours in bin/, offscreen and
// with settings of its own; exit code -1 when it did not end normally.
// inChild runs in the new process before the program starts (a limit set
// there holds for the program alone).
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

inline Run run(const QString &program, const QStringList &args, const QString &workDir = QString(),
               const std::function<void()> &inChild = {})
{
    QProcess p;
    if (inChild)
        p.setChildProcessModifier(inChild);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir::tempPath() + QStringLiteral("/morvo-test-config"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(program.contains(QLatin1Char('/')) ? program : binDir() + QLatin1Char('/') + program, args);
    const bool finished = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    if (!finished) {
        p.kill();
        p.waitForFinished();
    }
    return {finished ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
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

// A photograph-like image to import: hues across, saturation down, and a
// lightness ramp.
inline QImage testCard(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, QColor::fromHsv((x * 359) / w, 255 * y / h, 64 + (191 * x) / w));
    return image;
}

// Keeps a test away from the user's settings.
inline void isolateSettings() { QStandardPaths::setTestModeEnabled(true); }

} // namespace testsupport
