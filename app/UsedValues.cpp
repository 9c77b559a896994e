#include "app/UsedValues.h"

#include "text/TextRules.h"
#include "tree/LinkTree.h"

#include <QSet>

namespace UsedValues {

namespace {

// Values that TextRules::same calls equal fold alike: it compares code point by code point after
// simple case folding, and so does this.
size_t foldedHash(const QString &value)
{
    size_t hash = 1469598103934665603ull;
    const qsizetype size = value.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t point = value.at(i).unicode();
        if (QChar::isHighSurrogate(point) && i + 1 < size && value.at(i + 1).isLowSurrogate())
            point = QChar::surrogateToUcs4(char16_t(point), value.at(++i).unicode());
        hash = (hash ^ QChar::toCaseFolded(point)) * 1099511628211ull;
    }
    return hash;
}

// A node's value, by address, with its folded hash, whose equality is TextRules::same. The set
// neither copies a string nor reads one again to grow or to pass over values of another hash,
// so a tree full of different classes costs no more per node than one with a few.
struct SameValue
{
    const QString *value;
    size_t folded;
    friend bool operator==(SameValue a, SameValue b)
    {
        return a.folded == b.folded && TextRules::same(*a.value, *b.value);
    }
};

size_t qHash(SameValue key, size_t seed)
{
    return key.folded ^ seed;
}

} // namespace

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
    QStringList found;
    QSet<SameValue> known;
    known.reserve(tree.count());
    const std::vector<LinkNode *> &nodes = tree.nodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
        // Ask for the nodes and their texts ahead of the walk: in a large tree each would
        // otherwise be a wait on memory.
        if (i + 16 < nodes.size())
            __builtin_prefetch(&nodes[i + 16]->record().Class);
        if (i + 8 < nodes.size())
            __builtin_prefetch(nodes[i + 8]->record().Class.constData());
        const QString &value = nodes[i]->record().Class;
        if (value.isEmpty())
            continue;
        const qsizetype before = known.size();
        known.insert({&value, foldedHash(value)});
        if (known.size() != before)
            found.append(value);
    }
    return found;
}

} // namespace UsedValues
