#include "resourcepath.h"

#include "builtinscreens.h"
#include "startupsequence.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace {

constexpr int kSourceTreeSearchDepth = 12;  // the directory and 11 ancestors

// A source tree keeps the font and the icon directly in source/resources.
QString sourceTreeName(const QString &relativePath)
{
    if (relativePath == QLatin1String("fonts/Apple_II.ttf"))
        return QStringLiteral("Apple_II.ttf");
    if (relativePath == QLatin1String("icons/morvo-icon.png"))
        return QStringLiteral("morvo-icon.png");
    return relativePath;
}

} // namespace

QString resolveResourcePathFrom(const QString &executableDir, const QString &relativePath)
{
    // Resource names never hold a backslash, so it is a separator on every
    // platform (callers written on Windows use it).
    QString relative = QDir::fromNativeSeparators(relativePath);
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (relative.isEmpty() || relative.startsWith(QLatin1Char('/'))
        || relative.contains(QLatin1String("..")))
        return QString();

    // An installation on Linux keeps the data in <prefix>/share/morvo,
    // beside <prefix>/bin.
    const QDir exeDir(executableDir);
    const QString candidates[] = {
        QStringLiteral("../Resources/") + relative,
        QStringLiteral("Resources/") + relative,
        relative,
        QStringLiteral("../share/morvo/") + relative,
    };
    for (const QString &candidate : candidates) {
        const QFileInfo info(exeDir.filePath(candidate));
        if (info.exists())
            return info.absoluteFilePath();
    }

    QDir cursor(executableDir);
    for (int pass = 0; pass < kSourceTreeSearchDepth; ++pass) {
        const QString resources = QFileInfo(cursor.filePath(QStringLiteral("source/resources"))).absoluteFilePath();
        if (QFileInfo(resources).isDir()) {
            const QFileInfo candidate(resources + QLatin1Char('/') + sourceTreeName(relative));
            if (candidate.exists())
                return candidate.absoluteFilePath();
        }
        if (!cursor.cdUp())
            break;
    }
    return QString();
}

QString resolveResourcePath(const QString &relativePath)
{
    const QString onDisk = resolveResourcePathFrom(QCoreApplication::applicationDirPath(), relativePath);
    if (!onDisk.isEmpty() || relativePath.isEmpty() || relativePath.contains(QLatin1String("..")))
        return onDisk;
    const QString builtIn = QStringLiteral(":/morvo/") + QDir::fromNativeSeparators(relativePath);
    return QFileInfo::exists(builtIn) ? builtIn : QString();
}

QUrl resourceUrl(const QString &path)
{
    if (path.startsWith(QLatin1String(":/")))
        return QUrl(QStringLiteral("qrc") + path);
    return QUrl::fromLocalFile(path);
}

QStringList dataFiles()
{
    QStringList files{QStringLiteral("fonts/Apple_II.ttf"), QStringLiteral("icons/morvo-icon.png")};
    files << startupSoundFiles();
    for (const BuiltInTextScreen &screen : builtInTextScreens())
        files << screen.path;
    return files;
}

QStringList missingDataFiles()
{
    QStringList missing;
    for (const QString &file : dataFiles())
        if (resolveResourcePath(file).isEmpty())
            missing << file;
    return missing;
}

QString appleFontFamily()
{
    static QString family;
    if (!family.isEmpty())
        return family;
    const QString path = resolveResourcePath(QStringLiteral("fonts/Apple_II.ttf"));
    if (path.isEmpty())
        return QString();
    const int id = QFontDatabase::addApplicationFont(path);
    if (id < 0)
        return QString();
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty())
        return QString();
    family = families.first();
    return family;
}
