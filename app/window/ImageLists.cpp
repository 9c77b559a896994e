#include "app/window/ImageLists.h"

namespace {
QList<QIcon> load(std::initializer_list<const char *> names)
{
    QList<QIcon> icons;
    for (const char *name : names)
        icons << QIcon(QStringLiteral(":/images/%1.png").arg(QLatin1String(name)));
    return icons;
}
} // namespace

QList<QIcon> treeImageList()
{
    return load({"group", "link", "delete"});
}

QList<QIcon> menuImageList()
{
    return load({"open", "save", "help"});
}
