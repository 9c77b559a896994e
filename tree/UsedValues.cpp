#include "tree/UsedValues.h"

#include "text/TextRules.h"
#include "tree/LinkTree.h"

#include <vector>

namespace UsedValues {

bool idInUse(const LinkTree &tree, const QString &id, const LinkNode *except)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
        // As in classes(): the nodes and their IDs are asked for ahead of the walk.
        if (i + 16 < nodes.size())
            __builtin_prefetch(&nodes[i + 16]->record().ObjID);
        if (i + 8 < nodes.size())
            __builtin_prefetch(nodes[i + 8]->record().ObjID.constData());
        if (nodes[i] != except && TextRules::same(nodes[i]->record().ObjID, id))
            return true;
    }
    return false;
}

QStringList classes(const LinkTree &tree)
{
    // Case-folded values compare as TextRules::same compares: code point by code point after
    // simple case folding.
    QSet<QString> known;
    known.reserve(qsizetype(tree.count()));
    QStringList found;
    const std::vector<LinkNode *> &nodes = tree.nodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
        // As in idInUse(): the nodes and their classes are asked for ahead of the walk.
        if (i + 16 < nodes.size())
            __builtin_prefetch(&nodes[i + 16]->record().Class);
        if (i + 8 < nodes.size())
            __builtin_prefetch(nodes[i + 8]->record().Class.constData());
        const QString &value = nodes[i]->record().Class;
        if (value.isEmpty())
            continue;
        const qsizetype before = known.size();
        known.insert(value.toCaseFolded());
        if (known.size() != before)
            found.append(value);
    }
    return found;
}

QSet<QString> foldedClasses(const LinkTree &tree)
{
    QSet<QString> used;
    for (const LinkNode *node : tree.nodes())
        used.insert(node->record().Class.toCaseFolded());
    return used;
}

} // namespace UsedValues
