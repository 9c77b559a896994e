#include "project/ProjectFile.h"

#include "text/VormikError.h"
#include "tree/LinkTree.h"

namespace ProjectFile {

QString outlineText(const LinkTree &)
{
    return {};
}

QByteArray write(const LinkTree &)
{
    return {};
}

void save(const LinkTree &, const QString &)
{
    throw VormikError(QStringLiteral("not built yet"));
}

std::unique_ptr<LinkTree> read(const QByteArray &, const QString &)
{
    throw VormikError(QStringLiteral("not built yet"));
}

std::unique_ptr<LinkTree> open(const QString &path)
{
    return read({}, path);
}

} // namespace ProjectFile
