#include "app/panes/LinkTreeView.h"

QItemSelectionModel::SelectionFlags LinkTreeView::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    const QItemSelectionModel::SelectionFlags command = QTreeView::selectionCommand(index, event);
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    // A Ctrl-click adds a node or takes one away, but never the last one selected.
    const bool takesAway = command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle);
    if (takesAway && selectionModel()->isSelected(index) && selectionModel()->selectedRows().size() <= 1)
        return QItemSelectionModel::NoUpdate;
    return command;
}
