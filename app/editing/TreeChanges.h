#pragma once

#include "tree/NodeFields.h"

#include <QString>

#include <memory>
#include <vector>

class LinkNode;
class LinkTree;

// The moves and swaps that undo and redo are made of, as the tree's model makes them and tells its
// views. Open to steps alone (TreeStep): every change of the tree is a step. Each keeps the nodes
// themselves, so a step undone gives back the very nodes it took, and later steps still find them.
class TreeChanges
{
protected:
    ~TreeChanges() = default;

private:
    friend class TreeStep;
    // Takes a subtree out of the tree; null when the node is not in it.
    virtual std::unique_ptr<LinkNode> take(LinkNode *node) = 0;
    // Puts a subtree in as child `row` of `parent` (the top level when null).
    virtual LinkNode *insert(LinkNode *parent, int row, std::unique_ptr<LinkNode> subtree) = 0;
    // Moves a node with its subtree to child `row` of `newParent`, counted after it has left
    // its place. Refused (false) when the place lies within the node.
    virtual bool move(LinkNode *node, LinkNode *newParent, int row) = 0;
    virtual void setField(LinkNode *node, NodeField field, const QString &value) = 0;
    // Puts the children of `parent` in the order LinkTree::reorder takes; false when `rows` is
    // no order of them.
    virtual bool reorder(LinkNode *parent, const std::vector<int> &rows) = 0;
    // Shows `tree` and hands back the tree shown until now.
    virtual void swapTree(std::unique_ptr<LinkTree> &tree) = 0;
};
