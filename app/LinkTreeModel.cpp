#include "app/LinkTreeModel.h"

LinkTreeModel::LinkTreeModel(QObject *parent) : QAbstractItemModel(parent), m_tree(std::make_unique<LinkTree>()) {}

LinkTreeModel::~LinkTreeModel() = default;

void LinkTreeModel::setImages(const QList<QIcon> &images)
{
    m_images = images;
}

LinkNode *LinkTreeModel::nodeFromIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<LinkNode *>(index.internalPointer());
}

QModelIndex LinkTreeModel::indexFromNode(const LinkNode *node) const
{
    if (!node)
        return {};
    return createIndex(node->row(), 0, const_cast<LinkNode *>(node));
}

bool LinkTreeModel::contains(const LinkNode *node) const
{
    if (!node)
        return false;
    const LinkNode *top = node;
    while (top->parent())
        top = top->parent();
    return top->row() < m_tree->topLevelCount() && m_tree->topLevel(top->row()) == top;
}

LinkNode *LinkTreeModel::append(LinkNode *parent, const QString &text, bool group)
{
    if (parent && !contains(parent))
        return nullptr;
    const int row = m_tree->childCount(parent);
    beginInsertRows(indexFromNode(parent), row, row);
    LinkNode *node = group ? m_tree->appendGroup(parent, text) : m_tree->appendLink(parent, text);
    endInsertRows();
    return node;
}

LinkNode *LinkTreeModel::appendGroup(LinkNode *parent, const QString &name)
{
    return append(parent, name, true);
}

LinkNode *LinkTreeModel::appendLink(LinkNode *parent, const QString &text)
{
    return append(parent, text, false);
}

void LinkTreeModel::remove(LinkNode *node)
{
    if (!contains(node))
        return;
    emit nodesAboutToBeRemoved(node);
    beginRemoveRows(indexFromNode(node->parent()), node->row(), node->row());
    m_tree->remove(node);
    endRemoveRows();
}

void LinkTreeModel::clear()
{
    emit nodesAboutToBeRemoved(nullptr);
    beginResetModel();
    m_tree->clear();
    endResetModel();
}

void LinkTreeModel::replaceTree(std::unique_ptr<LinkTree> tree)
{
    if (!tree)
        return;
    emit nodesAboutToBeRemoved(nullptr);
    beginResetModel();
    m_tree = std::move(tree);
    endResetModel();
}

void LinkTreeModel::setNodeText(LinkNode *node, const QString &text)
{
    if (!contains(node) || node->text() == text)
        return;
    m_tree->setText(node, text);
    const QModelIndex index = indexFromNode(node);
    emit dataChanged(index, index, {Qt::DisplayRole});
}

QModelIndex LinkTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    const LinkNode *parentNode = nodeFromIndex(parent);
    if (parent.isValid() && !parentNode)
        return {};
    if (row >= m_tree->childCount(parentNode))
        return {};
    return indexFromNode(m_tree->child(parentNode, row));
}

QModelIndex LinkTreeModel::parent(const QModelIndex &child) const
{
    const LinkNode *node = nodeFromIndex(child);
    return node ? indexFromNode(node->parent()) : QModelIndex();
}

int LinkTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return m_tree->childCount(nodeFromIndex(parent));
}

int LinkTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant LinkTreeModel::data(const QModelIndex &index, int role) const
{
    const LinkNode *node = nodeFromIndex(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->text();
    case Qt::DecorationRole:
        if (node->imageIndex() >= 0 && node->imageIndex() < m_images.size())
            return m_images.at(node->imageIndex());
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags LinkTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
