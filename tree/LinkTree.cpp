#include "tree/LinkTree.h"

#include <algorithm>
#include <unordered_set>

bool LinkNode::isWithin(const LinkNode *ancestor) const
{
    for (const LinkNode *n = this; n; n = n->m_parent) {
        if (n == ancestor)
            return true;
    }
    return false;
}

LinkNode *LinkTree::nodeAt(int absoluteIndex) const
{
    const auto &order = nodes();
    Q_ASSERT(absoluteIndex >= 0 && absoluteIndex < static_cast<int>(order.size()));
    return order[static_cast<size_t>(absoluteIndex)];
}

int LinkTree::absoluteIndex(const LinkNode *node) const
{
    nodes();
    return node->m_absoluteIndex;
}

const std::vector<LinkNode *> &LinkTree::nodes() const
{
    if (!m_orderValid)
        rebuildOrder();
    return m_order;
}

std::span<LinkNode *const> LinkTree::subtree(const LinkNode *root) const
{
    // A subtree is one run of absolute order.
    const auto &order = nodes();
    return {order.data() + absoluteIndex(root), static_cast<size_t>(subtreeSize(root))};
}

void LinkTree::rebuildOrder() const
{
    m_order.clear();
    m_order.reserve(static_cast<size_t>(m_count));
    // An explicit stack: a chain thousands of levels deep must not exhaust the call stack. It
    // holds one top-level subtree at a time, so a flat tree needs almost none.
    std::vector<LinkNode *> pending;
    for (const auto &top : m_top) {
        pending.push_back(top.get());
        while (!pending.empty()) {
            LinkNode *node = pending.back();
            pending.pop_back();
            node->m_absoluteIndex = static_cast<int>(m_order.size());
            m_order.push_back(node);
            for (auto it = node->m_children.rbegin(); it != node->m_children.rend(); ++it)
                pending.push_back(it->get());
        }
    }
    m_orderValid = true;
}

LinkNode *LinkTree::appendLink(LinkNode *parent, const QString &text)
{
    auto &siblings = parent ? parent->m_children : m_top;
    siblings.push_back(std::unique_ptr<LinkNode>(new LinkNode(parent, static_cast<int>(siblings.size()), text)));
    LinkNode *node = siblings.back().get();
    ++m_count;
    if (!parent && m_orderValid) {
        // A new last top-level node comes last in absolute order and shifts nobody.
        node->m_absoluteIndex = static_cast<int>(m_order.size());
        m_order.push_back(node);
    } else {
        m_orderValid = false;
    }
    return node;
}

LinkNode *LinkTree::appendGroup(LinkNode *parent, const QString &name)
{
    LinkNode *node = appendLink(parent, name);
    node->m_record.Group = true;
    return node;
}

LinkNode::~LinkNode()
{
    std::vector<std::unique_ptr<LinkNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<LinkNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto &child : node->m_children)
            pending.push_back(std::move(child));
        node->m_children.clear();
    }
}

int LinkTree::subtreeSize(const LinkNode *root)
{
    int size = 0;
    std::vector<const LinkNode *> pending{root};
    while (!pending.empty()) {
        const LinkNode *node = pending.back();
        pending.pop_back();
        ++size;
        for (const auto &child : node->m_children)
            pending.push_back(child.get());
    }
    return size;
}

std::unique_ptr<LinkNode> LinkTree::detachedGroup(const QString &name)
{
    std::unique_ptr<LinkNode> node(new LinkNode(nullptr, 0, name));
    node->m_record.Group = true;
    return node;
}

std::unique_ptr<LinkNode> LinkTree::detachedLink(const QString &text)
{
    return std::unique_ptr<LinkNode>(new LinkNode(nullptr, 0, text));
}

// Out of its siblings, with the places of those after it closed up.
std::unique_ptr<LinkNode> LinkTree::unlink(LinkNode *node)
{
    auto &siblings = siblingsOf(node->m_parent);
    const auto position = siblings.begin() + node->m_row;
    Q_ASSERT(position->get() == node);
    std::unique_ptr<LinkNode> owned = std::move(*position);
    siblings.erase(position);
    for (auto it = siblings.begin() + node->m_row; it != siblings.end(); ++it)
        --(*it)->m_row;
    node->m_parent = nullptr;
    m_orderValid = false;
    m_order.clear();
    return owned;
}

// Into the siblings at `row`; the levels below follow when they change.
void LinkTree::link(LinkNode *parent, int row, std::unique_ptr<LinkNode> node)
{
    auto &siblings = siblingsOf(parent);
    Q_ASSERT(row >= 0 && row <= static_cast<int>(siblings.size()));
    LinkNode *root = node.get();
    root->m_parent = parent;
    root->m_row = row;
    const auto position = siblings.insert(siblings.begin() + row, std::move(node));
    for (auto it = position + 1; it != siblings.end(); ++it)
        ++(*it)->m_row;
    const int level = parent ? parent->m_level + 1 : 0;
    if (root->m_level != level) {
        // Each node is visited once, its level taken from its parent visited just before.
        root->m_level = level;
        std::vector<LinkNode *> pending;
        for (const auto &child : root->m_children)
            pending.push_back(child.get());
        while (!pending.empty()) {
            LinkNode *node = pending.back();
            pending.pop_back();
            node->m_level = node->m_parent->m_level + 1;
            for (const auto &child : node->m_children)
                pending.push_back(child.get());
        }
    }
    m_orderValid = false;
    m_order.clear();
}

std::unique_ptr<LinkNode> LinkTree::take(LinkNode *node)
{
    Q_ASSERT(node);
    m_count -= subtreeSize(node);
    return unlink(node);
}

LinkNode *LinkTree::insert(LinkNode *parent, int row, std::unique_ptr<LinkNode> subtree)
{
    Q_ASSERT(subtree && !subtree->m_parent);
    LinkNode *root = subtree.get();
    m_count += subtreeSize(root);
    link(parent, row, std::move(subtree));
    return root;
}

void LinkTree::move(LinkNode *node, LinkNode *newParent, int row)
{
    Q_ASSERT(node && (!newParent || !newParent->isWithin(node)));
    link(newParent, row, unlink(node));
}

void LinkTree::reorder(LinkNode *parent, const std::vector<int> &rows)
{
    auto &siblings = siblingsOf(parent);
    Q_ASSERT(rows.size() == siblings.size());
    std::vector<std::unique_ptr<LinkNode>> ordered;
    ordered.reserve(siblings.size());
    for (const int row : rows)
        ordered.push_back(std::move(siblings[static_cast<size_t>(row)]));
    siblings = std::move(ordered);
    for (size_t row = 0; row < siblings.size(); ++row)
        siblings[row]->m_row = static_cast<int>(row);
    m_orderValid = false;
    m_order.clear();
}

void LinkTree::remove(LinkNode *node)
{
    take(node);
}

void LinkTree::removeAll(const std::vector<LinkNode *> &nodes)
{
    const std::unordered_set<const LinkNode *> doomed(nodes.begin(), nodes.end());
    std::unordered_set<LinkNode *> parents;
    for (LinkNode *node : nodes) {
        m_count -= subtreeSize(node);
        parents.insert(node->m_parent);
    }
    for (LinkNode *parent : parents) {
        auto &siblings = siblingsOf(parent);
        std::erase_if(siblings, [&](const std::unique_ptr<LinkNode> &child) { return doomed.contains(child.get()); });
        for (size_t row = 0; row < siblings.size(); ++row)
            siblings[row]->m_row = static_cast<int>(row);
    }
    m_orderValid = false;
    m_order.clear();
}

void LinkTree::clear()
{
    m_top.clear();
    m_order.clear();
    m_orderValid = true;
    m_count = 0;
}

int LinkTree::deepestLevel() const
{
    int deepest = 0;
    for (const LinkNode *node : nodes())
        deepest = std::max(deepest, node->level());
    return deepest;
}
