#include "textscreenfile.h"

#include "pictureloader.h"
#include "textcodec.h"

#include <QCoreApplication>

bool readTextScreenFile(const QString &path, QString &text, QString &error)
{
    QByteArray bytes;
    qint64 size = 0;
    const QString what = QCoreApplication::translate("TextScreenFile", "a text screen");
    if (!readFileHead(path, kLargestTextScreen, what, bytes, size, error))
        return false;
    if (size > kLargestTextScreen) {
        error = QCoreApplication::translate("TextScreenFile", "%1 is %2 bytes, too large for a text screen")
                    .arg(path)
                    .arg(size);
        return false;
    }
    text = decodeTextScreen(bytes);
    return true;
}
