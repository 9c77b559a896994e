#pragma once

#include <QString>

#include <vector>

class LinkNode;
class LinkTree;

namespace PageGenerator {

// The tree-line characters in front of each node, taken in absolute order. Only the cells a row
// actually uses are kept (one per level above the node), so the work is linear in the page.
class TreeLines
{
public:
    // The prefix of `node`, which must follow the previous node in absolute order.
    QString prefixOf(const LinkNode &node);

private:
    // Column c holds "│" while the node's ancestor below level c still has siblings to come and
    // its parent is a group.
    QString m_continuation;
};

// How many group blocks end at each row: a group's block ends at the row of its last descendant,
// or at its own row when it has no children.
std::vector<int> groupEnds(const LinkTree &tree);

} // namespace PageGenerator
