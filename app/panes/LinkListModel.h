#pragma once

#include <QAbstractProxyModel>

#include "tree/NodeFields.h"

#include <vector>

class LinkNode;
class LinkTreeModel;

// The links of one group, or of the top level, as rows of their fields: a view of the tree
// model over one parent's children that leaves the groups out. Reading and writing go to the
// tree model's own rows, so the list can never show what the tree no longer holds.
class LinkListModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    enum Column : int { TextColumn = 0, HrefColumn, TargetColumn, IDColumn, ClassColumn, ColumnCount };

    explicit LinkListModel(LinkTreeModel &source, QObject *parent = nullptr);

    // Lists the links among the children of `parent`, or among the top-level nodes when null.
    void listChildrenOf(const LinkNode *parent);
    // Lists nothing.
    void listNothing();
    bool isListing() const { return m_listing; }
    // The group whose links are listed; null for the top level or for nothing.
    const LinkNode *listedParent() const { return m_parent; }

    LinkNode *nodeAt(int row) const;
    // The field a column shows.
    static NodeField fieldOf(int column);
    // The row of a listed link, or -1.
    int rowOf(const LinkNode *node) const;

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override { return rowCount(parent) > 0; }
    // Rows are picked here and edited below the list, never in place nor dragged.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool listsChildrenOf(const QModelIndex &sourceParent) const;
    // The listed rows of the links among source rows first..last of the listed parent.
    std::pair<int, int> rowsOfChildren(int first, int last) const;
    void collectRows();

    void sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last);
    void sourceRowsInserted(const QModelIndex &parent, int first, int last);
    // The node moved is child `row` of `to` now.
    void sourceRowMoved(const QModelIndex &from, const QModelIndex &to, int row);
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    // The listed group's children put in a new order (a sort): the rows follow their links.
    void sourceLayoutAboutToBeChanged(const QList<QPersistentModelIndex> &parents);
    void sourceLayoutChanged();

    LinkTreeModel &m_source;
    bool m_listing = false;
    const LinkNode *m_parent = nullptr;
    // The listed links in sibling order, so a link's row is found by its place among siblings.
    std::vector<LinkNode *> m_rows;
    // Listed rows the source is removing, from one signal to the next.
    std::pair<int, int> m_pendingRemoval{};
    // The links the persistent rows held before a new order, from one signal to the next.
    bool m_reordering = false;
    QModelIndexList m_heldRows;
    std::vector<LinkNode *> m_heldNodes;
};
