#include "app/LinkTreeModel.h"

#include <QUndoStack>

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
    take(node);
}

std::unique_ptr<LinkNode> LinkTreeModel::take(LinkNode *node)
{
    if (!contains(node))
        return nullptr;
    emit nodesAboutToBeRemoved(node);
    beginRemoveRows(indexFromNode(node->parent()), node->row(), node->row());
    std::unique_ptr<LinkNode> taken = m_tree->take(node);
    endRemoveRows();
    return taken;
}

LinkNode *LinkTreeModel::insert(LinkNode *parent, int row, std::unique_ptr<LinkNode> subtree)
{
    if (!subtree || subtree->parent() || (parent && !contains(parent)) || contains(subtree.get()))
        return nullptr;
    if (row < 0 || row > m_tree->childCount(parent))
        return nullptr;
    beginInsertRows(indexFromNode(parent), row, row);
    LinkNode *root = m_tree->insert(parent, row, std::move(subtree));
    endInsertRows();
    return root;
}

bool LinkTreeModel::move(LinkNode *node, LinkNode *newParent, int row)
{
    if (!contains(node) || (newParent && (!contains(newParent) || newParent->isWithin(node))))
        return false;
    LinkNode *oldParent = node->parent();
    const int oldRow = node->row();
    const int count = m_tree->childCount(newParent) - (newParent == oldParent ? 1 : 0);
    if (row < 0 || row > count || (newParent == oldParent && row == oldRow))
        return false;
    // Qt counts the destination before the node leaves its place.
    const int destination = newParent == oldParent && row > oldRow ? row + 1 : row;
    if (!beginMoveRows(indexFromNode(oldParent), oldRow, oldRow, indexFromNode(newParent), destination))
        return false;
    m_tree->move(node, newParent, row);
    endMoveRows();
    return true;
}

std::unique_ptr<LinkTree> LinkTreeModel::swapTree(std::unique_ptr<LinkTree> tree)
{
    if (!tree)
        return nullptr;
    emit nodesAboutToBeRemoved(nullptr);
    beginResetModel();
    std::swap(m_tree, tree);
    endResetModel();
    return tree;
}

void LinkTreeModel::perform(QUndoCommand *command)
{
    if (m_undoStack) {
        m_undoStack->push(command);
        return;
    }
    command->redo();
    delete command;
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
    swapTree(std::move(tree));
}

void LinkTreeModel::setNodeText(LinkNode *node, const QString &text)
{
    setField(node, NodeField::Text, text);
}

namespace {
// The record's member that holds a field other than the text.
QString LinkAttr::*recordMember(NodeField field)
{
    switch (field) {
    case NodeField::Href:
        return &LinkAttr::Href;
    case NodeField::Target:
        return &LinkAttr::Target;
    case NodeField::ObjID:
        return &LinkAttr::ObjID;
    case NodeField::Class:
        return &LinkAttr::Class;
    case NodeField::Text:
        break;
    }
    Q_UNREACHABLE();
}
} // namespace

QString LinkTreeModel::field(const LinkNode *node, NodeField field)
{
    return field == NodeField::Text ? node->text() : node->record().*recordMember(field);
}

void LinkTreeModel::setField(LinkNode *node, NodeField field, const QString &value)
{
    if (!contains(node) || LinkTreeModel::field(node, field) == value)
        return;
    if (field == NodeField::Text) {
        m_tree->setText(node, value);
        const QModelIndex index = indexFromNode(node);
        emit dataChanged(index, index, {Qt::DisplayRole});
    } else {
        node->record().*recordMember(field) = value;
    }
    emit nodeChanged(node);
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
