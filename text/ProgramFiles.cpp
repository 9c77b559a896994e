#include "text/ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>

namespace ProgramFiles {

QString find(const QString &programDir, const QString &name)
{
    return QDir(programDir).filePath(name);
}

QString find(const QString &name)
{
    return find(QCoreApplication::applicationDirPath(), name);
}

} // namespace ProgramFiles
