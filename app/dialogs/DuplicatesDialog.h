#pragma once

#include <QDialog>

class LinkNode;
class LinkTreeModel;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// ツール → 重複リンク: the links that lead to one page, in sets, kept up to date while the tree
// changes; a double-click selects the link in the tree.
class DuplicatesDialog : public QDialog
{
    Q_OBJECT

public:
    DuplicatesDialog(LinkTreeModel &model, QWidget *parent);

    // Lists the sets anew.
    void refill();

signals:
    void nodePicked(LinkNode *node);

private:
    void rowActivated(QTreeWidgetItem *row);

    LinkTreeModel &m_model;
    QLabel *m_summary;
    QTreeWidget *m_list;
    bool m_refillPending = false;
};
