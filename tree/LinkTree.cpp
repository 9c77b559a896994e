#include "tree/LinkTree.h"

#include <algorithm>

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

LinkNode *LinkTree::append(LinkNode *parent, const QString &text)
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

LinkNode *LinkTree::appendTopLevel(const QString &text)
{
    return append(nullptr, text);
}

LinkNode *LinkTree::appendChild(LinkNode *parent, const QString &text)
{
    Q_ASSERT(parent);
    return append(parent, text);
}

LinkNode *LinkTree::appendGroup(LinkNode *parent, const QString &name)
{
    LinkNode *node = append(parent, name);
    node->m_image = GroupImage;
    node->m_record.Group = true;
    return node;
}

LinkNode *LinkTree::appendLink(LinkNode *parent, const QString &text)
{
    LinkNode *node = append(parent, text);
    node->m_image = LinkImage;
    return node;
}

namespace {
int subtreeSize(const LinkNode *root)
{
    int size = 0;
    std::vector<const LinkNode *> pending{root};
    while (!pending.empty()) {
        const LinkNode *node = pending.back();
        pending.pop_back();
        ++size;
        for (int i = 0; i < node->childCount(); ++i)
            pending.push_back(node->child(i));
    }
    return size;
}

// Destroys a subtree without recursion, so that a chain thousands of levels deep is safe.
void destroyIteratively(std::unique_ptr<LinkNode> root, auto takeChildren)
{
    std::vector<std::unique_ptr<LinkNode>> pending;
    pending.push_back(std::move(root));
    while (!pending.empty()) {
        std::unique_ptr<LinkNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto &child : takeChildren(*node))
            pending.push_back(std::move(child));
    }
}
} // namespace

void LinkTree::remove(LinkNode *node)
{
    Q_ASSERT(node);
    auto &siblings = node->m_parent ? node->m_parent->m_children : m_top;
    const auto position = siblings.begin() + node->m_row;
    Q_ASSERT(position->get() == node);
    m_count -= subtreeSize(node);
    std::unique_ptr<LinkNode> owned = std::move(*position);
    siblings.erase(position);
    for (auto it = siblings.begin() + node->m_row; it != siblings.end(); ++it)
        --(*it)->m_row;
    m_orderValid = false;
    m_order.clear();
    destroyIteratively(std::move(owned), [](LinkNode &n) { return std::move(n.m_children); });
}

void LinkTree::clear()
{
    for (auto &top : m_top)
        destroyIteratively(std::move(top), [](LinkNode &n) { return std::move(n.m_children); });
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
