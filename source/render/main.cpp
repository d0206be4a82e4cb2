#include "quietqt.h"
#include "renderjob.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    // Fonts and images need a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quietQtMessages();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("morvo-render"));
    QCoreApplication::setOrganizationName(QStringLiteral("kestrand"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MORVO_VERSION));

    QCommandLineParser parser;
    addRenderOptions(parser);
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    RenderJob job;
    QString error;
    if (!readRenderJob(parser, job, error)) {
        err << "morvo-render: " << error << Qt::endl;
        return 2;
    }
    return runRenderJob(job, out, err);
}
