#include "files/ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ProgramFiles {

QString find(const QString &programDir, const QString &name)
{
    // A build folder or a portable copy keeps the files beside the program; an installed copy
    // keeps them in the shared data folder, VORMIK_DATA_FROM_BIN relative to the program's own.
    const QDir dir(programDir);
    const QString beside = dir.filePath(name);
    const QString shared = QDir::cleanPath(dir.filePath(QStringLiteral(VORMIK_DATA_FROM_BIN "/") + name));
    if (!QFileInfo(beside).isFile() && QFileInfo(shared).isFile())
        return shared;
    return beside;
}

QString find(const QString &name)
{
    return find(QCoreApplication::applicationDirPath(), name);
}

} // namespace ProgramFiles
