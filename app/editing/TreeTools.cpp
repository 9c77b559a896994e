#include "app/editing/TreeTools.h"

#include "app/editing/LinkTreeModel.h"
#include "app/editing/TreeSteps.h"

#include <algorithm>

namespace TreeTools {

bool sortChildren(LinkTreeModel &model, LinkNode *parent, SortChoice choice)
{
    std::vector<int> rows = ChildSort::sortedRows(model.tree(), parent, choice);
    if (std::is_sorted(rows.begin(), rows.end()))
        return false;
    model.perform(new ReorderChildrenStep(model, QStringLiteral("並べ替え"), parent, std::move(rows)));
    return true;
}

int replace(LinkTreeModel &model, const ReplaceChoice &choice)
{
    const std::vector<TextReplace::Change> changes = TextReplace::changes(model.tree(), choice);
    if (changes.empty())
        return 0;
    std::vector<EditFieldsStep::Edit> edits;
    edits.reserve(changes.size());
    for (const TextReplace::Change &change : changes)
        edits.push_back({change.node, change.value});
    model.perform(new EditFieldsStep(model, QStringLiteral("置換"), choice.field, edits));
    return static_cast<int>(changes.size());
}

QString replaceCountText(int count)
{
    return QStringLiteral("%1 件を置換します").arg(count);
}

} // namespace TreeTools
