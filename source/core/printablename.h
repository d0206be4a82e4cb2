#pragma once

#include <QString>

// A file name as a report prints it, one name on one line whatever its
// bytes: a backslash and the control characters (a line feed above all)
// are written as C writes them in a string and `ls -b` in a listing
// ("\\", "\n", "\t", or octal bytes such as "\033"), line and paragraph
// separators as their octal UTF-8 bytes; an empty name is "".
QString printableName(const QString &name);
