#include "app/UsedValues.h"

#include "text/TextRules.h"
#include "tree/LinkTree.h"

#include <QSet>

namespace UsedValues {

bool idInUse(const LinkTree &tree, const QString &id, const LinkNode *except)
{
    for (const LinkNode *node : tree.nodes()) {
        if (node != except && TextRules::same(node->record().ObjID, id))
            return true;
    }
    return false;
}

QStringList classes(const LinkTree &tree)
{
    QStringList found;
    // Case-folded keys keep the walk linear; folding code point by code point is exactly the
    // comparison TextRules::same makes, so two keys match just when the values are the same.
    QSet<QString> keys;
    for (const LinkNode *node : tree.nodes()) {
        const QString &value = node->record().Class;
        if (value.isEmpty())
            continue;
        const qsizetype known = keys.size();
        keys.insert(value.toCaseFolded());
        if (keys.size() != known)
            found.append(value);
    }
    return found;
}

} // namespace UsedValues
