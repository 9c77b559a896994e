#pragma once

#include <vector>

class LinkNode;
class LinkTree;

// How the children of one group are put in order by their names.
struct SortChoice
{
    bool descending = false;
    // Groups before links, each kind in name order; otherwise both kinds mixed.
    bool groupsFirst = true;
};

namespace ChildSort {

// The new order of the children of `parent` (the top level when null): entry i is the row the
// child that goes to row i holds now. Names compare as find compares them (case, width and kana
// aside); equal names keep their order.
std::vector<int> sortedRows(const LinkTree &tree, const LinkNode *parent, SortChoice choice);

} // namespace ChildSort
