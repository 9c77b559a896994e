#pragma once

#include "tree/LinkTree.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QList>

#include <memory>

// The link tree as the tree view sees it. Every change the window makes to the tree goes through
// here, so that the view always hears of it.
class LinkTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit LinkTreeModel(QObject *parent = nullptr);
    ~LinkTreeModel() override;

    LinkTree &tree() { return *m_tree; }
    const LinkTree &tree() const { return *m_tree; }

    // The pictures shown beside the nodes, indexed by the node's image index.
    void setImages(const QList<QIcon> &images);

    LinkNode *nodeFromIndex(const QModelIndex &index) const;
    QModelIndex indexFromNode(const LinkNode *node) const;
    // True when the node belongs to the tree shown now.
    bool contains(const LinkNode *node) const;

    // `parent` null means the top level.
    LinkNode *appendGroup(LinkNode *parent, const QString &name);
    LinkNode *appendLink(LinkNode *parent, const QString &text);
    void remove(LinkNode *node);
    void clear();
    // Shows a tree built elsewhere (Open) in one reset.
    void replaceTree(std::unique_ptr<LinkTree> tree);
    void setNodeText(LinkNode *node, const QString &text);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // Sent before a subtree leaves the tree; `root` is null when every node leaves.
    void nodesAboutToBeRemoved(const LinkNode *root);

private:
    LinkNode *append(LinkNode *parent, const QString &text, bool group);

    std::unique_ptr<LinkTree> m_tree;
    QList<QIcon> m_images;
};
