#pragma once

#include <QList>
#include <QString>

#include <functional>

// A sample text screen that comes with the program.
struct BuiltInTextScreen {
    QString name; // as the Recent Text menu shows it
    QString path; // relative to the resources directory
};

// The five sample screens, in menu order. The first three are the screens of
// the boot sequence: the Apple //c start screen, ProDOS booting, and Welcome.
const QList<BuiltInTextScreen> &builtInTextScreens();

// Finds a data file by its relative path; resolveResourcePath by default.
using ResourceResolver = std::function<QString(const QString &relativePath)>;

// The screen text of a text file in the resources directory, decoded as a
// text screen file; an empty string when it is missing or cannot be read.
QString readResourceText(const QString &relativePath);
QString readResourceText(const QString &relativePath, const ResourceResolver &resolve);
