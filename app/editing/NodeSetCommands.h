#pragma once

#include "tree/NodeSet.h"

#include <QString>

#include <memory>

class LinkTreeModel;
class QMimeData;

// The commands that act on several nodes at once, each as one step of the history. Any set will
// do: a node inside another member goes with that member, and the order is the tree's.
namespace NodeSetCommands {

// Takes the nodes out with their subtrees; false when there are none.
bool remove(LinkTreeModel &model, const NodeList &nodes, const QString &caption);
// True when every node can go one place in `move`'s direction.
bool canMove(const LinkTree &tree, const NodeList &nodes, NodeMove move);
// Moves every node one place in `move`'s direction; where one cannot go, none moves (false).
bool move(LinkTreeModel &model, const NodeList &nodes, NodeMove move, const QString &caption);
// The nodes with their subtrees for the clipboard or a drag; null for none.
QMimeData *copy(const LinkTree &tree, const NodeList &nodes);
// Puts `node` where insertPlace() says and hands it back.
LinkNode *insertAt(LinkTreeModel &model, LinkNode *selected, bool selectedIsOpen, std::unique_ptr<LinkNode> node,
                   const QString &caption);

// Writes `value` into `field` of every node; those that hold it already are left out, and no step
// is made when all do. Written `typing`, it joins the step of the model's burst of typing.
void setField(LinkTreeModel &model, const NodeList &nodes, NodeField field, const QString &value,
              const QString &caption, bool typing = false);
// Adds each of the space-separated `classes` to every node's classes that lacks it.
void addClasses(LinkTreeModel &model, const NodeList &nodes, const QString &classes, const QString &caption);

} // namespace NodeSetCommands
