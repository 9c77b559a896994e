// The prefix of the HTML5 page's group ids, chosen so that no generated id equals a link's id.
#include "html/Html5Page.h"

#include "tree/LinkTree.h"

#include <vector>

namespace Html5Page {

QString groupIdPrefix(const LinkTree &tree)
{
    // The candidates are "group-", "group1-", "group2-" ...; a link's id can start with at most
    // one of them, so one of the first (links + 1) is always free.
    const QString stem = QStringLiteral("group");
    std::vector<bool> taken(tree.nodes().size() + 1, false);
    for (const LinkNode *node : tree.nodes()) {
        const QString &id = node->record().ObjID;
        if (node->isGroup() || !id.startsWith(stem))
            continue;
        qsizetype end = stem.size();
        while (end < id.size() && id.at(end).isDigit() && id.at(end).unicode() < 128)
            ++end;
        if (end == id.size() || id.at(end) != QLatin1Char('-'))
            continue;
        if (end == stem.size()) {
            taken[0] = true;
            continue;
        }
        bool ok = false;
        const qsizetype number = id.mid(stem.size(), end - stem.size()).toLongLong(&ok);
        // "group01-" is no candidate's start, nor is a number past the candidates tried.
        if (ok && id.at(stem.size()) != QLatin1Char('0') && number < qsizetype(taken.size()))
            taken[size_t(number)] = true;
    }
    size_t free = 0;
    while (taken[free])
        ++free;
    return free == 0 ? stem + QLatin1Char('-') : stem + QString::number(free) + QLatin1Char('-');
}

} // namespace Html5Page
