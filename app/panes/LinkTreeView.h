#pragma once

#include <QTreeView>

// The link tree's view. Commands act on the nodes drawn as selected, so once a node is selected
// the tree never goes without one: a click beside the rows, or a Ctrl+click on the only selected
// node, leaves the selection as it is.
class LinkTreeView : public QTreeView
{
    Q_OBJECT

public:
    using QTreeView::QTreeView;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
};
