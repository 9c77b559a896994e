#pragma once

#include <QTreeView>

// The link tree's view. Commands act on the node drawn as selected, so once a node is selected
// nothing but choosing another node takes the selection away: a click beside the rows or a
// Ctrl+click on the selected node leaves it as it is, as in a classic single-selection tree.
class LinkTreeView : public QTreeView
{
    Q_OBJECT

public:
    using QTreeView::QTreeView;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
};
