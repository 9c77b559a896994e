#include "app/editing/LinkTreeModel.h"

#include "app/panes/EditorText.h"
#include "app/editing/NodeTransfer.h"
#include "app/editing/TreeSteps.h"
#include "text/TextRules.h"
#include "text/VormikError.h"

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

QModelIndex LinkTreeModel::indexFromNode(const LinkNode *node, NodeField field) const
{
    if (!node)
        return {};
    return createIndex(node->row(), int(field), const_cast<LinkNode *>(node));
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

bool LinkTreeModel::reorder(LinkNode *parent, const std::vector<int> &rows)
{
    if ((parent && !contains(parent)) || rows.size() != static_cast<size_t>(m_tree->childCount(parent)))
        return false;
    std::vector<int> placeOf(rows.size(), -1);
    for (size_t row = 0; row < rows.size(); ++row) {
        const int from = rows[row];
        if (from < 0 || static_cast<size_t>(from) >= rows.size() || placeOf[static_cast<size_t>(from)] >= 0)
            return false;
        placeOf[static_cast<size_t>(from)] = static_cast<int>(row);
    }
    const QPersistentModelIndex parentIndex = indexFromNode(parent);
    emit layoutAboutToBeChanged({parentIndex}, VerticalSortHint);
    m_tree->reorder(parent, rows);
    // Views keep their selection and current row on the same nodes.
    QModelIndexList from, to;
    for (const QModelIndex &index : persistentIndexList()) {
        if (index.parent() == parentIndex) {
            from << index;
            to << createIndex(placeOf[static_cast<size_t>(index.row())], index.column(), index.internalPointer());
        }
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({parentIndex}, VerticalSortHint);
    return true;
}

void LinkTreeModel::swapTree(std::unique_ptr<LinkTree> &tree)
{
    if (!tree)
        return;
    emit nodesAboutToBeRemoved(nullptr);
    beginResetModel();
    std::swap(m_tree, tree);
    endResetModel();
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

void LinkTreeModel::setField(LinkNode *node, NodeField field, const QString &value)
{
    if (!contains(node) || fieldValue(*node, field) == value)
        return;
    setFieldValue(*m_tree, *node, field, value);
    const QModelIndex index = indexFromNode(node, field);
    emit dataChanged(index, index);
    emit nodeChanged(node);
}

QModelIndex LinkTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= int(NodeFieldCount) || row < 0)
        return {};
    const LinkNode *parentNode = nodeFromIndex(parent);
    if (parent.isValid() && !parentNode)
        return {};
    if (row >= m_tree->childCount(parentNode))
        return {};
    return createIndex(row, column, m_tree->child(parentNode, row));
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
    return int(NodeFieldCount);
}

QVariant LinkTreeModel::data(const QModelIndex &index, int role) const
{
    const LinkNode *node = nodeFromIndex(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return fieldValue(*node, fieldOf(index));
    case Qt::DecorationRole:
        if (index.column() == 0 && node->imageIndex() >= 0 && node->imageIndex() < m_images.size())
            return m_images.at(node->imageIndex());
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags LinkTreeModel::flags(const QModelIndex &index) const
{
    // The top level and groups take drops; a link is a leaf.
    const LinkNode *node = nodeFromIndex(index);
    if (!node)
        return Qt::ItemIsDropEnabled;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    return node->isGroup() ? flags | Qt::ItemIsDropEnabled : flags;
}

bool LinkTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    LinkNode *node = nodeFromIndex(index);
    const bool typing = role == TypingRole;
    if (!node || (role != Qt::EditRole && !typing) || fieldOf(index) == NodeField::Group)
        return false;
    const NodeField field = fieldOf(index);
    QString text = value.toString();
    if (field == NodeField::Text) {
        const bool named = node->isGroup() && !typing;
        text = named ? TextRules::groupName(text) : TextRules::withoutLineBreaks(text);
        if (named && text.isEmpty())
            return false;
    }
    if (text == fieldValue(*node, field))
        return false;
    perform(new EditFieldsStep(*this, EditorText::stepCaption(field, node->isGroup(), typing), field, {{node, text}},
                               typing ? m_burst : EditFieldsStep::NoBurst));
    return true;
}

bool LinkTreeModel::insertFrom(const QMimeData *data, LinkNode *parent, int row, const QString &caption)
{
    std::vector<std::unique_ptr<LinkNode>> nodes = NodeTransfer::nodesFrom(data);
    if (nodes.empty() || (parent && !contains(parent)) || row < 0 || row > m_tree->childCount(parent))
        return false;
    perform(new InsertNodesStep(*this, caption, parent, row, std::move(nodes)));
    return true;
}

QStringList LinkTreeModel::mimeTypes() const
{
    return {NodeTransfer::NodesMimeType, NodeTransfer::NodesFileMimeType};
}

QMimeData *LinkTreeModel::mimeData(const QModelIndexList &indexes) const
{
    // Each node travels with its subtree; one inside another dragged node goes with that one.
    NodeList nodes;
    for (const QModelIndex &index : indexes) {
        if (LinkNode *node = nodeFromIndex(index); node && index.column() == 0)
            nodes.push_back(node);
    }
    return nodes.empty() ? nullptr : NodeTransfer::drag(this, *m_tree, topmostNodes(*m_tree, nodes));
}

Qt::DropActions LinkTreeModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions LinkTreeModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

bool LinkTreeModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                    const QModelIndex &parent) const
{
    if (!NodeTransfer::carriesNodes(data) || (action != Qt::CopyAction && action != Qt::MoveAction))
        return false;
    const LinkNode *target = nodeFromIndex(parent);
    if (parent.isValid() && (!target || !target->isGroup()))
        return false;
    if (row < -1 || row > m_tree->childCount(target))
        return false;
    // Not even a copy goes into a group it copies.
    if (target) {
        for (const LinkNode *dragged : NodeTransfer::draggedNodes(this, data)) {
            if (target->isWithin(dragged))
                return false;
        }
    }
    return true;
}

bool LinkTreeModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                 const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    LinkNode *target = nodeFromIndex(parent);
    if (row < 0)
        row = m_tree->childCount(target);
    const NodeList dragged = NodeTransfer::draggedNodes(this, data);
    if (!dragged.empty() && action == Qt::MoveAction) {
        const std::optional<std::vector<NodePlace>> places = dropPlaces(*m_tree, dragged, target, row);
        if (!places)
            return false;
        perform(new MoveNodesStep(*this, QStringLiteral("移動"), *places));
        return true;
    }
    try {
        return insertFrom(data, target, row, QStringLiteral("コピー"));
    } catch (const VormikError &failure) {
        // No exception may cross the view's drop handling; the window shows it.
        emit dropFailed(failure.message());
        return false;
    }
}
