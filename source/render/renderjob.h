#pragma once

#include "importsettings.h"
#include "picturestate.h"

#include <QString>
#include <QStringList>

#include <vector>

class QCommandLineParser;
class QTextStream;

// One step applied to each picture, in command-line order, before it is
// rendered.
struct PictureOperation {
    enum Kind { ConvertToDhgr, ShiftLeft, ShiftRight, TextScreen, Save, Import };
    Kind kind;
    int count = 1;    // ShiftLeft, ShiftRight
    QString path;     // TextScreen, Save, Import
};

// What morvo-render was asked to do.
struct RenderJob {
    QStringList inputs;
    QString output;            // a file, a directory ("DIR/"), or empty: beside each input
    ViewOptions options;
    bool info = false;
    std::vector<PictureOperation> operations;
    ImportSettings import;     // for Import operations
};

// Fills the parser with morvo-render's options.
void addRenderOptions(QCommandLineParser &parser);

// Reads the parsed command line into a job; false with a message in error
// when an option's value is not understood.
bool readRenderJob(const QCommandLineParser &parser, RenderJob &job, QString &error);

// Renders (or describes) every input; a failed input is reported and the
// others go on. Returns the process exit code: 0 when all succeeded.
int runRenderJob(const RenderJob &job, QTextStream &out, QTextStream &err);

// Engine and palette names as the command line takes them.
bool parsePaletteName(const QString &text, quint16 &slot);
