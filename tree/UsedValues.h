#pragma once

#include <QSet>
#include <QStringList>

class LinkNode;
class LinkTree;

// The values the tree's nodes already use, for the ID check and the class picker. Both walk the
// tree once in absolute order.
namespace UsedValues {

// True when a node other than `except` stores `id` as its ObjID, letter case aside. `except` may
// be null: then every node counts.
bool idInUse(const LinkTree &tree, const QString &id, const LinkNode *except);

// Every non-empty Class value, each kept whole, in order of first appearance; a value that
// differs from an earlier one only in letter case is left out.
QStringList classes(const LinkTree &tree);

// Every Class value, empty ones included, case-folded: a class is in use when its folded form is
// in the set.
QSet<QString> foldedClasses(const LinkTree &tree);

} // namespace UsedValues
