#include "quietqt.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace {

void printSeriousOnly(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

} // namespace

void quietQtMessages()
{
    qInstallMessageHandler(printSeriousOnly);
}
