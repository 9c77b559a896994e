#pragma once

#include <vector>

class LinkNode;

// What the commands and find ask of the tree's pane: what is selected, and showing a node. The
// pane implements it, so the commands need not know the pane that wires them to its menus.
class NodeSelection
{
public:
    virtual LinkNode *selectedNode() const = 0;
    // Every selected node, in the order the view lists them.
    virtual std::vector<LinkNode *> selectedNodes() const = 0;
    virtual bool isExpanded(const LinkNode *node) const = 0;
    virtual void selectNode(const LinkNode *node) = 0;
    // Opens the group so its children show.
    virtual void expandNode(const LinkNode *node) = 0;
    virtual void scrollToNode(const LinkNode *node) = 0;
    virtual void focusTree() = 0;

protected:
    ~NodeSelection() = default;
};
