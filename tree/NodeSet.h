#pragma once
// Several nodes acted on together: the members a command takes (no node twice, none inside
// another member), where a move or a drop puts them, and where a new node goes.

#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <optional>
#include <vector>

using NodeList = std::vector<LinkNode *>;

// The moves of the Edit menu: up and down among the siblings, left to follow the parent, right
// into the group just above.
enum class NodeMove { Up, Down, Left, Right };

// Where a node goes: child `row` of `parent` (the top level when null), counted once the node has
// left its place.
struct NodePlace
{
    LinkNode *node;
    LinkNode *parent;
    int row;
};

// The members of `nodes` that lie in no other member, each once, in absolute order: a node inside
// a chosen group goes wherever its group goes.
NodeList topmostNodes(const LinkTree &tree, const NodeList &nodes);

// The moves, to be made in this order, that take each of `topmost` one place in `move`'s
// direction, each subtree whole and their order kept. Nothing when any of them cannot go, nor for
// an empty set.
std::optional<std::vector<NodePlace>> movePlaces(const LinkTree &tree, const NodeList &topmost, NodeMove move);

// The moves, in this order, that put `topmost` side by side as children of `parent` where child
// `row` is now; nothing when they stand there already or `parent` lies within one of them.
std::optional<std::vector<NodePlace>> dropPlaces(const LinkTree &tree, const NodeList &topmost, LinkNode *parent,
                                                 int row);

// Where a node inserted at `selected` goes: right after it at its level, or first in it when it is
// an open group; at the end of the top level when nothing is selected.
NodePlace insertPlace(const LinkTree &tree, LinkNode *selected, bool selectedIsOpen);

// The value every node of `nodes` holds in `field`; nothing when two differ or there are none.
std::optional<QString> commonValue(const NodeList &nodes, NodeField field);
// `classes` with each class of `added` it lacks appended, space-separated.
QString withClasses(const QString &classes, const QString &added);
