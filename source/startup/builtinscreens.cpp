#include "builtinscreens.h"

#include "resourcepath.h"
#include "textcodec.h"

#include <QFile>

const QList<BuiltInTextScreen> &builtInTextScreens()
{
    static const QList<BuiltInTextScreen> screens = {
        {QStringLiteral("Apple //c"), QStringLiteral("textscreens/Apple_IIc.txt")},
        {QStringLiteral("ProDOS"), QStringLiteral("textscreens/ProDOS.txt")},
        {QStringLiteral("Welcome"), QStringLiteral("textscreens/Welcome.txt")},
        {QStringLiteral("Text Screen Info"), QStringLiteral("textscreens/Text_Screen_Info.txt")},
        {QStringLiteral("Sample Text Screen"), QStringLiteral("textscreens/Sample_Text_Screen.txt")},
    };
    return screens;
}

QString readResourceText(const QString &relativePath)
{
    return readResourceText(relativePath, resolveResourcePath);
}

QString readResourceText(const QString &relativePath, const ResourceResolver &resolve)
{
    const QString path = resolve(relativePath);
    if (path.isEmpty())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return decodeTextScreen(file.readAll());
}
