#pragma once

#include "importsettings.h"

#include <QString>

class QCommandLineParser;
struct PictureState;

// morvo-render's --import and the options that go with it (--to, --dither,
// --fit, --crop-x, --crop-y, --brightness, --contrast, --saturation,
// --gamma).
void addImportOptions(QCommandLineParser &parser);

// false with a message when a value is out of range or not understood, or
// when import options are given without --import.
bool readImportOptions(const QCommandLineParser &parser, ImportSettings &settings, QString &error);

// Replaces the picture with the image file made into picture memory, judged
// with the state's engine and palette; the state's view options become
// those the result is shown with. false, touching nothing, with a message
// when the image cannot be read.
bool importImageFile(const QString &path, const ImportSettings &settings, PictureState &state, QString &error);
