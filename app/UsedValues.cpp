#include "app/UsedValues.h"

#include "text/TextRules.h"
#include "tree/LinkTree.h"

#include <QSet>

namespace UsedValues {

namespace {

// A node's value, by address, whose equality is TextRules::same: the walk neither copies nor
// folds a string.
struct SameValue
{
    const QString *value;
    friend bool operator==(SameValue a, SameValue b) { return TextRules::same(*a.value, *b.value); }
};

// Values that TextRules::same calls equal hash alike: it compares code point by code point after
// simple case folding, and so does this hash.
size_t qHash(SameValue key, size_t seed)
{
    const QString &value = *key.value;
    size_t hash = seed ^ 1469598103934665603ull;
    const qsizetype size = value.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t point = value.at(i).unicode();
        if (QChar::isHighSurrogate(point) && i + 1 < size && value.at(i + 1).isLowSurrogate())
            point = QChar::surrogateToUcs4(char16_t(point), value.at(++i).unicode());
        hash = (hash ^ QChar::toCaseFolded(point)) * 1099511628211ull;
    }
    return hash;
}

} // namespace

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
    QSet<SameValue> known;
    for (const LinkNode *node : tree.nodes()) {
        const QString &value = node->record().Class;
        if (value.isEmpty())
            continue;
        const qsizetype before = known.size();
        known.insert({&value});
        if (known.size() != before)
            found.append(value);
    }
    return found;
}

} // namespace UsedValues
