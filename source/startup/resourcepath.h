#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The absolute path of a data file given by its path relative to the
// resources directory ("sounds/beep.wav"), or an empty string when it is
// nowhere to be found or the relative path is absolute or climbs with "..".
// Looks beside the executable first (../Resources, Resources, the executable's
// own directory, ../share/morvo), then for a source/resources directory in
// the executable's directory and up to eleven of its ancestors, and last in
// the copy built into the program (a ":/morvo/..." path), so a build
// anywhere has its data.
QString resolveResourcePath(const QString &relativePath);

// A URL for a path resolveResourcePath gave, for the classes that take one.
QUrl resourceUrl(const QString &path);

// Every data file the program uses, by its relative path.
QStringList dataFiles();
// The data files that are nowhere to be found.
QStringList missingDataFiles();

// The same search from a given directory instead of the executable's.
QString resolveResourcePathFrom(const QString &executableDir, const QString &relativePath);

// Registers the Apple II font on first success and returns its family name,
// or an empty string while the font is not available (a later call tries
// again).
QString appleFontFamily();
