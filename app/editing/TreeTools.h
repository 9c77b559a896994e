#pragma once

#include "treetools/ChildSort.h"
#include "treetools/TextReplace.h"

class LinkNode;
class LinkTreeModel;

// Sorting and replacing over the whole tree, each one step of the undo history.
namespace TreeTools {

// Sorts the children of `parent` (the top level when null) by name as one step. False when
// they are in that order already, and no step is made.
bool sortChildren(LinkTreeModel &model, LinkNode *parent, SortChoice choice);

// Replaces as `choice` says in every node as one step; the number of nodes changed. None
// changed makes no step. A bad pattern throws VormikError.
int replace(LinkTreeModel &model, const ReplaceChoice &choice);

// The caption of a replace step's preview: how many nodes it would change.
QString replaceCountText(int count);

} // namespace TreeTools
