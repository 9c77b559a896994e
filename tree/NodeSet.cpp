#include "tree/NodeSet.h"

#include <QSet>

#include <algorithm>

NodeList topmostNodes(const LinkTree &tree, const NodeList &nodes)
{
    // One node needs no order: the tree's order is not rebuilt for it after every change.
    if (nodes.size() < 2)
        return nodes;
    NodeList sorted = nodes;
    std::sort(sorted.begin(), sorted.end(), [&tree](const LinkNode *a, const LinkNode *b) {
        return tree.absoluteIndex(a) < tree.absoluteIndex(b);
    });
    // In absolute order a subtree is one run, so a node inside a kept one falls in the last
    // kept one's run; each kept subtree is walked once, which keeps the whole linear.
    NodeList topmost;
    int runEnd = 0;
    for (LinkNode *node : sorted) {
        const int index = tree.absoluteIndex(node);
        if (!topmost.empty() && index < runEnd)
            continue;
        topmost.push_back(node);
        runEnd = index + LinkTree::subtreeSize(node);
    }
    return topmost;
}

namespace {

// Left: each node out of its group to just after it. Right: each run of neighbours into the group
// above its first node, at its end. From the last node on, each lands before the one that went
// just before it, so their order is kept, and in a place no later move shifts: a move reaches no
// node before it in the tree's order.
std::optional<std::vector<NodePlace>> outOrIn(const LinkTree &tree, const NodeList &topmost, NodeMove move)
{
    std::vector<NodePlace> places(topmost.size());
    LinkNode *runStart = nullptr;
    for (size_t i = 0; i < topmost.size(); ++i) {
        LinkNode *node = topmost[i];
        const LinkNode *before = i > 0 ? topmost[i - 1] : nullptr;
        if (!before || before->parent() != node->parent() || before->row() + 1 != node->row())
            runStart = node;
        LinkNode *parent = node->parent();
        LinkNode *above = runStart->row() > 0 ? tree.child(parent, runStart->row() - 1) : nullptr;
        if (move == NodeMove::Left ? !parent : !(above && above->isGroup()))
            return std::nullopt;
        places[topmost.size() - 1 - i] = move == NodeMove::Left ? NodePlace{node, parent->parent(), parent->row() + 1}
                                                                 : NodePlace{node, above, above->childCount()};
    }
    return places;
}

} // namespace

std::optional<std::vector<NodePlace>> movePlaces(const LinkTree &tree, const NodeList &topmost, NodeMove move)
{
    if (topmost.empty())
        return std::nullopt;
    if (move == NodeMove::Left || move == NodeMove::Right)
        return outOrIn(tree, topmost, move);
    // Up goes from the first node on, down from the last: a run of neighbours then moves as a
    // block, each node into the place its neighbour has just left, so every row below is the
    // node's row as it stands when its turn comes.
    const bool up = move == NodeMove::Up;
    std::vector<NodePlace> places;
    places.reserve(topmost.size());
    for (size_t i = 0; i < topmost.size(); ++i) {
        LinkNode *node = topmost[up ? i : topmost.size() - 1 - i];
        const int row = node->row() + (up ? -1 : 1);
        if (row < 0 || row >= tree.childCount(node->parent()))
            return std::nullopt;
        places.push_back({node, node->parent(), row});
    }
    return places;
}

std::optional<std::vector<NodePlace>> dropPlaces(const LinkTree &tree, const NodeList &topmost, LinkNode *parent,
                                                 int row)
{
    if (parent && std::ranges::any_of(topmost, [parent](const LinkNode *node) { return parent->isWithin(node); }))
        return std::nullopt;
    const QSet<const LinkNode *> moving(topmost.begin(), topmost.end());
    // Each node goes just before the first child from `row` on that stays, in turn: that child
    // holds its place among the others whatever moves around it.
    int anchor = row;
    while (anchor < tree.childCount(parent) && moving.contains(tree.child(parent, anchor)))
        ++anchor;
    bool inPlace = true;
    std::vector<NodePlace> places;
    int anchorRow = anchor;
    for (size_t i = 0; i < topmost.size(); ++i) {
        LinkNode *node = topmost[i];
        const bool wasBefore = node->parent() == parent && node->row() < anchor;
        inPlace = inPlace && wasBefore && node->row() == anchor - static_cast<int>(topmost.size()) + static_cast<int>(i);
        // One before the anchor leaves it a row nearer the front, and lands just before it.
        places.push_back({node, parent, wasBefore ? anchorRow - 1 : anchorRow++});
    }
    if (inPlace || topmost.empty())
        return std::nullopt;
    return places;
}

NodePlace insertPlace(const LinkTree &tree, LinkNode *selected, bool selectedIsOpen)
{
    if (!selected)
        return {nullptr, nullptr, tree.topLevelCount()};
    if (selected->isGroup() && selectedIsOpen)
        return {nullptr, selected, 0};
    return {nullptr, selected->parent(), selected->row() + 1};
}

std::optional<QString> commonValue(const NodeList &nodes, NodeField field)
{
    if (nodes.empty())
        return std::nullopt;
    const QString &first = fieldValue(*nodes.front(), field);
    if (std::ranges::any_of(nodes, [&](const LinkNode *node) { return fieldValue(*node, field) != first; }))
        return std::nullopt;
    return first;
}

QString withClasses(const QString &classes, const QString &added)
{
    QStringList all = classes.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const qsizetype had = all.size();
    for (const QString &name : added.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!all.contains(name))
            all << name;
    }
    // A link that has every class already keeps its text as it was.
    return all.size() == had ? classes : all.join(QLatin1Char(' '));
}
