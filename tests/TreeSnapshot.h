#pragma once

#include "tree/LinkTree.h"

#include <QStringList>

#include <vector>

// One node as a test compares it: its place, text, fields and picture.
struct NodeView
{
    int level;
    QString text;
    LinkAttr record;
    int image;
    bool operator==(const NodeView &) const = default;
};

// Every node of the tree in absolute order.
inline std::vector<NodeView> view(const LinkTree &tree)
{
    std::vector<NodeView> nodes;
    for (const LinkNode *node : tree.nodes()) {
        nodes.push_back({node->level(), node->text(), node->record(), node->imageIndex()});
    }
    return nodes;
}

// The same as lines "level|text|group or link|href|target|id|class", for readable failures.
inline QStringList snapshotOf(const LinkTree &tree)
{
    QStringList lines;
    for (const NodeView &n : view(tree)) {
        const LinkAttr &r = n.record;
        lines << QStringList{QString::number(n.level), n.text, r.Group ? "group" : "link", r.Href, r.Target, r.ObjID,
                             r.Class}
                     .join('|');
    }
    return lines;
}
