#pragma once

#include <QString>

#include <vector>

class LinkNode;
class LinkTree;

// The nodes a find text matches, in absolute order, with the steps from one to the next.
class FindMatches
{
public:
    FindMatches() = default;
    FindMatches(std::vector<const LinkNode *> nodes, std::vector<int> rows)
        : m_nodes(std::move(nodes)), m_rows(std::move(rows))
    {
    }

    int count() const { return static_cast<int>(m_nodes.size()); }
    bool isEmpty() const { return m_nodes.empty(); }
    const std::vector<const LinkNode *> &nodes() const { return m_nodes; }
    const LinkNode *at(int i) const { return m_nodes[static_cast<size_t>(i)]; }

    // The place among the matches of the node at absolute index `row`, or -1.
    int indexOfRow(int row) const;
    // The first match after absolute index `row` (wrapping to the first), and the last before it
    // (wrapping to the last); -1 when nothing matches. `row` -1 means "before the first node".
    int nextAfterRow(int row) const;
    int previousBeforeRow(int row) const;

private:
    std::vector<const LinkNode *> m_nodes;
    std::vector<int> m_rows; // absolute indexes, ascending
};

// Find over a whole tree: every node's name, address, class and ID, folded once and kept in one
// text, so that a keystroke is one pass of a string matcher, not a fold of every node.
//
// The index is built on the first find after construction or invalidate(); whoever changes the
// tree's shape calls invalidate(), whoever changes a node's fields update().
class FindIndex
{
public:
    explicit FindIndex(const LinkTree &tree) : m_tree(tree) {}

    void invalidate() { m_valid = false; }
    // Folds again the fields of the node at absolute index `row` alone, so that an edit costs one
    // node's fold rather than the whole tree's. The tree's shape must be as the index knows it.
    void update(int row);
    // The nodes whose name, address, class or ID contain `text` under FindText's folding. An
    // empty text matches nothing.
    FindMatches matches(const QString &text) const;

private:
    void rebuild() const;
    static QString foldedFields(const LinkNode &node);

    const LinkTree &m_tree;
    mutable bool m_valid = false;
    mutable QString m_folded;             // every node's fields, each ended by a separator
    mutable std::vector<qsizetype> m_ends; // where each node's part of m_folded ends
};
