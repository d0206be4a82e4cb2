#pragma once

#include <QDir>
#include <QTemporaryDir>

// The folder the harnesses write their files into, made once: in memory
// (/dev/shm) where the system has it, as a harness writes a file on every
// run.
inline const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/morvo-fuzz-XXXXXX")
                                                                             : QDir::tempPath() + QStringLiteral("/morvo-fuzz-XXXXXX"));
    return dir;
}
