#include "treetools/ChildSort.h"

#include "find/FindText.h"
#include "tree/LinkTree.h"

#include <QString>

#include <algorithm>
#include <numeric>

namespace ChildSort {

std::vector<int> sortedRows(const LinkTree &tree, const LinkNode *parent, SortChoice choice)
{
    const int count = tree.childCount(parent);
    // Each name is folded once, not once per comparison.
    std::vector<QString> keys(static_cast<size_t>(count));
    std::vector<bool> groups(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        const LinkNode *child = tree.child(parent, row);
        keys[static_cast<size_t>(row)] = FindText::folded(child->text());
        groups[static_cast<size_t>(row)] = child->isGroup();
    }
    std::vector<int> rows(static_cast<size_t>(count));
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const auto ua = static_cast<size_t>(a), ub = static_cast<size_t>(b);
        if (choice.groupsFirst && groups[ua] != groups[ub])
            return bool(groups[ua]);
        const int order = QString::compare(keys[ua], keys[ub]);
        return choice.descending ? order > 0 : order < 0;
    });
    return rows;
}

} // namespace ChildSort
