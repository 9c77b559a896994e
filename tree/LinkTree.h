#pragma once

#include <QString>

#include <memory>
#include <span>
#include <vector>

// The record every node carries. It lives inside its node, so it is created with the node and
// released with it, whatever removes the node.
struct LinkAttr
{
    bool Group = false;
    QString Href;
    QString Target;
    QString ObjID;
    QString Class;

    bool operator==(const LinkAttr &) const = default;
};

// Picture indexes of the shared image list.
enum ImageIndex : int { GroupImage = 0, LinkImage = 1, DeleteImage = 2 };

class LinkTree;

// One group or link. A node keeps its identity, record and subtree while it is taken out of a
// tree and put back elsewhere; its level and place then follow.
class LinkNode
{
public:
    // Destroys the subtree without recursion, so that a chain thousands of levels deep is safe
    // however it is dropped.
    ~LinkNode();
    LinkNode(const LinkNode &) = delete;
    LinkNode &operator=(const LinkNode &) = delete;

    const QString &text() const { return m_text; }
    LinkAttr &record() { return m_record; }
    const LinkAttr &record() const { return m_record; }
    bool isGroup() const { return m_record.Group; }

    LinkNode *parent() const { return m_parent; }
    int level() const { return m_level; }
    int childCount() const { return static_cast<int>(m_children.size()); }
    LinkNode *child(int i) const { return m_children[static_cast<size_t>(i)].get(); }
    LinkNode *lastChild() const { return m_children.empty() ? nullptr : m_children.back().get(); }
    // The node's place among its siblings (or among the top-level nodes).
    int row() const { return m_row; }

    // The picture follows the kind, so the two never disagree.
    int imageIndex() const { return isGroup() ? GroupImage : LinkImage; }

    // True when this node is `ancestor` or lies below it.
    bool isWithin(const LinkNode *ancestor) const;

private:
    friend class LinkTree;
    LinkNode(LinkNode *parent, int row, QString text)
        : m_text(std::move(text)), m_parent(parent), m_level(parent ? parent->m_level + 1 : 0), m_row(row)
    {
    }

    QString m_text;
    LinkAttr m_record;
    LinkNode *m_parent;
    int m_level;
    int m_row;
    int m_absoluteIndex = -1; // valid while the tree's order is
    std::vector<std::unique_ptr<LinkNode>> m_children;
};

// The document: an ordered tree of groups and links.
//
// Absolute order is the depth-first pre-order of the whole tree. It is kept as a vector that is
// rebuilt lazily after a change of shape, so node-at-index and index-of-node are O(1) between
// changes and every whole-tree walk is linear.
class LinkTree
{
public:
    LinkTree() = default;
    ~LinkTree() { clear(); }
    LinkTree(const LinkTree &) = delete;
    LinkTree &operator=(const LinkTree &) = delete;

    int count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }

    LinkNode *nodeAt(int absoluteIndex) const;
    int absoluteIndex(const LinkNode *node) const;
    // Every node in absolute order.
    const std::vector<LinkNode *> &nodes() const;
    // The node and everything below it, in absolute order.
    std::span<LinkNode *const> subtree(const LinkNode *root) const;

    int topLevelCount() const { return static_cast<int>(m_top.size()); }
    LinkNode *topLevel(int i) const { return m_top[static_cast<size_t>(i)].get(); }
    // The children of `parent`, or the top-level nodes when `parent` is null.
    int childCount(const LinkNode *parent) const { return parent ? parent->childCount() : topLevelCount(); }
    LinkNode *child(const LinkNode *parent, int i) const { return parent ? parent->child(i) : topLevel(i); }

    // A group or a link with a fresh record, as the last child of `parent` (the top level when null).
    LinkNode *appendGroup(LinkNode *parent, const QString &name);
    LinkNode *appendLink(LinkNode *parent, const QString &text);

    // Removes the node with its whole subtree; every removed record goes with its node.
    void remove(LinkNode *node);
    // Removes each node with its subtree, none of them lying within another, at a cost linear in
    // them and their siblings.
    void removeAll(const std::vector<LinkNode *> &nodes);
    void clear();

    // A group or a link outside any tree, to be put in with insert().
    static std::unique_ptr<LinkNode> detachedGroup(const QString &name);
    static std::unique_ptr<LinkNode> detachedLink(const QString &text);
    // Takes the node with its subtree out of the tree, keeping every node and record as it is.
    std::unique_ptr<LinkNode> take(LinkNode *node);
    // Puts a subtree back as child `row` of `parent` (the top level when null). The cost is the
    // subtree's size plus the siblings after `row`.
    LinkNode *insert(LinkNode *parent, int row, std::unique_ptr<LinkNode> subtree);
    // Moves the node with its subtree to child `row` of `newParent`, counted after it has left
    // its place. `newParent` must not lie within the node. Levels are rewritten only when they
    // change, so moving among siblings costs the siblings, not the subtree.
    void move(LinkNode *node, LinkNode *newParent, int row);
    // Puts the children of `parent` (the top level when null) in a new order: the child at row
    // `rows[i]` goes to row i. `rows` holds each row once.
    void reorder(LinkNode *parent, const std::vector<int> &rows);
    // The node and everything below it.
    static int subtreeSize(const LinkNode *root);

    void setText(LinkNode *node, const QString &text) { node->m_text = text; }

    // The greatest level of any node; 0 for an empty tree.
    int deepestLevel() const;

private:
    std::vector<std::unique_ptr<LinkNode>> &siblingsOf(LinkNode *parent) { return parent ? parent->m_children : m_top; }
    std::unique_ptr<LinkNode> unlink(LinkNode *node);
    void link(LinkNode *parent, int row, std::unique_ptr<LinkNode> node);
    void rebuildOrder() const;

    std::vector<std::unique_ptr<LinkNode>> m_top;
    int m_count = 0;
    mutable std::vector<LinkNode *> m_order;
    mutable bool m_orderValid = true;
};
