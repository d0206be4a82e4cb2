#include "printablename.h"
#include "quietqt.h"
#include "renderjob.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>

int main(int argc, char **argv)
{
    // Past the file size limit (ulimit -f) a write would end the process
    // with SIGXFSZ, the other inputs unrendered; ignored, the write fails
    // with EFBIG and that input is reported like any failed write.
    std::signal(SIGXFSZ, SIG_IGN);
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
        err << "morvo-render: " << printableName(error) << Qt::endl;
        return 2;
    }
    // An argument whose bytes are not UTF-8 comes in with U+FFFD in their
    // place; a file written under that name would not be the one asked for.
    QStringList outputs{job.output};
    for (const PictureOperation &op : job.operations)
        if (op.kind == PictureOperation::Save)
            outputs << op.path;
    bool misencoded = false;
    for (int i = 1; i < argc; ++i)
        misencoded = misencoded || QFile::encodeName(QFile::decodeName(argv[i])) != argv[i];
    for (const QString &name : outputs) {
        if (misencoded && name.contains(QChar::ReplacementCharacter)) {
            err << "morvo-render: the output name " << printableName(name)
                << " holds bytes that are not UTF-8; choose another" << Qt::endl;
            return 2;
        }
    }
    return runRenderJob(job, out, err);
}
