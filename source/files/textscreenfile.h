#pragma once

#include <QString>

// A text screen is 24 rows of at most 80 characters; a file much bigger than
// that is not one.
constexpr qint64 kLargestTextScreen = 64 * 1024;

// Reads a text screen file into screen text; false with a message naming the
// file when it is a folder, cannot be opened or is far too large.
bool readTextScreenFile(const QString &path, QString &text, QString &error);
