#include "app/LinkTreeModel.h"

#include "app/TreeSteps.h"
#include "project/ProjectFile.h"
#include "text/TextRules.h"
#include "text/VormikError.h"

#include <QDir>
#include <QFileInfo>
#include <QColor>
#include <QMimeData>
#include <QTemporaryFile>
#include <QUrl>
#include <QUndoStack>

#include <algorithm>

namespace {

// A drag out of this tree also names the node it carries, so that a drop back into the same
// tree can move the node itself. It lives only while the drag does, when no node can go; so does
// the file that hands a large fragment to another program.
class DraggedNodes : public QMimeData
{
public:
    DraggedNodes(const LinkTreeModel *source, LinkNode *node) : source(source), node(node) {}
    const LinkTreeModel *source;
    LinkNode *node;
    std::unique_ptr<QTemporaryFile> handover;
};

// The name a handed-over fragment's file has, so that no drop makes Vormik read any other file.
const QString HandoverPattern = QStringLiteral("vormik-drag-XXXXXX.xml");

// The node a drag from `model` carries; null for nodes from anywhere else.
LinkNode *draggedFrom(const LinkTreeModel *model, const QMimeData *data)
{
    const auto *dragged = dynamic_cast<const DraggedNodes *>(data);
    return dragged && dragged->source == model ? dragged->node : nullptr;
}

} // namespace

bool LinkTreeModel::isHandoverFile(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && QDir(file.absolutePath()) == QDir(QDir::tempPath())
           && file.fileName().startsWith(QLatin1String("vormik-drag-")) && file.suffix() == QLatin1String("xml");
}

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

std::unique_ptr<LinkNode> LinkTreeModel::take(LinkNode *node)
{
    if (!contains(node))
        return nullptr;
    emit nodesAboutToBeRemoved(node);
    if (!m_broken.isEmpty()) {
        for (const LinkNode *leaving : m_tree->subtree(node))
            m_broken.remove(leaving);
    }
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

void LinkTreeModel::swapTree(std::unique_ptr<LinkTree> &tree, DocumentFile &file)
{
    if (!tree)
        return;
    emit nodesAboutToBeRemoved(nullptr);
    beginResetModel();
    m_broken.clear();
    std::swap(m_tree, tree);
    std::swap(m_file, file);
    endResetModel();
    emit fileChanged();
}

void LinkTreeModel::markBrokenLinks(const QHash<const LinkNode *, QString> &answers)
{
    // The marks going and the marks coming are drawn anew.
    const auto redraw = [this](const QHash<const LinkNode *, QString> &marks) {
        for (auto it = marks.begin(); it != marks.end(); ++it) {
            const QModelIndex index = indexFromNode(it.key());
            emit dataChanged(index, index, {Qt::ForegroundRole, Qt::ToolTipRole});
        }
    };
    redraw(std::exchange(m_broken, answers));
    redraw(m_broken);
}

void LinkTreeModel::setFile(const DocumentFile &file)
{
    m_file = file;
    emit fileChanged();
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


QString LinkTreeModel::field(const LinkNode *node, NodeField field)
{
    return fieldValue(*node, field);
}

void LinkTreeModel::setField(LinkNode *node, NodeField field, const QString &value)
{
    if (!contains(node) || LinkTreeModel::field(node, field) == value)
        return;
    setFieldValue(*m_tree, *node, field, value);
    // An edited link is no longer known to be broken.
    m_broken.remove(node);
    const QModelIndex index = indexFromNode(node);
    emit dataChanged(index, index);
    emit nodeChanged(node);
}

void LinkTreeModel::setGeneratedIds(const std::vector<QString> &ids)
{
    const std::vector<LinkNode *> &nodes = m_tree->nodes();
    if (ids.size() != nodes.size())
        return;
    for (size_t row = 0; row < nodes.size(); ++row) {
        if (nodes[row]->isGroup())
            setField(nodes[row], NodeField::ObjID, ids[row]);
    }
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
    case Qt::EditRole:
        return node->text();
    case Qt::ForegroundRole:
        return m_broken.contains(node) ? QVariant(QColor(Qt::red)) : QVariant();
    case Qt::ToolTipRole:
        return m_broken.value(node);
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
    if (!node || role != Qt::EditRole)
        return false;
    const QString text = node->isGroup() ? TextRules::groupName(value.toString())
                                         : TextRules::withoutLineBreaks(value.toString());
    if ((node->isGroup() && text.isEmpty()) || text == node->text())
        return false;
    perform(new EditFieldStep(*this, node->isGroup() ? QStringLiteral("グループ名の変更") : QStringLiteral("リンクテキストの変更"),
                              node, NodeField::Text, text, EditFieldStep::NoBurst));
    return true;
}

QMimeData *LinkTreeModel::fragmentMimeData(const LinkNode *node) const
{
    auto *data = new QMimeData;
    data->setData(NodesMimeType, ProjectFile::writeFragment(*m_tree, node));
    data->setText(ProjectFile::outlineFragment(*m_tree, node));
    return data;
}

std::vector<std::unique_ptr<LinkNode>> LinkTreeModel::nodesFrom(const QMimeData *data)
{
    std::vector<std::unique_ptr<LinkNode>> nodes;
    if (!data || !(data->hasFormat(NodesMimeType) || data->hasFormat(NodesFileMimeType)))
        return nodes;
    // The nodes come as a project file; a fault is told as such, with what it was.
    const QString refused = QStringLiteral("受け取ったノードを読めません: ");
    QByteArray bytes = data->data(NodesMimeType);
    if (data->hasFormat(NodesFileMimeType)) {
        // A large drag from another window hands the nodes over in a file of its own.
        const QString path = QString::fromUtf8(data->data(NodesFileMimeType));
        QFile file(path);
        if (!isHandoverFile(path) || !file.open(QIODevice::ReadOnly) || file.size() > ProjectFile::MaxFileSize)
            throw VormikError(refused + QStringLiteral("渡されたファイルを読めません"));
        bytes = file.readAll();
    }
    if (bytes.size() > ProjectFile::MaxFileSize)
        throw VormikError(refused + QStringLiteral("%1 MB を超えています").arg(ProjectFile::MaxFileSize >> 20));
    std::unique_ptr<LinkTree> fragment;
    try {
        fragment = ProjectFile::read(bytes, data->hasFormat(NodesFileMimeType) ? QStringLiteral("ドラッグされたノード")
                                                                                : QStringLiteral("クリップボード"));
    } catch (const VormikError &fault) {
        throw VormikError(refused + fault.message());
    }
    // From the back, so that no node's leaving renumbers the others.
    for (int i = fragment->topLevelCount(); i-- > 0;)
        nodes.push_back(fragment->take(fragment->topLevel(i)));
    std::reverse(nodes.begin(), nodes.end());
    return nodes;
}

bool LinkTreeModel::insertFrom(const QMimeData *data, LinkNode *parent, int row, const QString &caption)
{
    std::vector<std::unique_ptr<LinkNode>> nodes = nodesFrom(data);
    if (nodes.empty() || (parent && !contains(parent)) || row < 0 || row > m_tree->childCount(parent))
        return false;
    perform(new InsertNodesStep(*this, caption, parent, row, std::move(nodes)));
    return true;
}

QStringList LinkTreeModel::mimeTypes() const
{
    return {NodesMimeType, NodesFileMimeType};
}

QMimeData *LinkTreeModel::mimeData(const QModelIndexList &indexes) const
{
    // One node is selected at a time; it travels with its subtree.
    LinkNode *node = indexes.isEmpty() ? nullptr : nodeFromIndex(indexes.constFirst());
    if (!node)
        return nullptr;
    const std::unique_ptr<QMimeData> fragment(fragmentMimeData(node));
    auto *data = new DraggedNodes(this, node);
    const QByteArray bytes = fragment->data(NodesMimeType);
    if (bytes.size() + fragment->text().size() * 2 <= MaxDragBytes) {
        data->setData(NodesMimeType, bytes);
        data->setText(fragment->text());
        return data;
    }
    // More than the display carries in one piece, which would end the connection to it: another
    // window gets the nodes from a file named in the drag, a file manager or editor the file.
    data->handover = std::make_unique<QTemporaryFile>(QDir(QDir::tempPath()).filePath(HandoverPattern));
    if (!data->handover->open() || data->handover->write(bytes) != bytes.size() || !data->handover->flush()) {
        // No drag starts rather than one that would end the window.
        delete data;
        return nullptr;
    }
    data->setData(NodesFileMimeType, QFile::encodeName(data->handover->fileName()));
    data->setUrls({QUrl::fromLocalFile(data->handover->fileName())});
    return data;
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
    if (!data || !(data->hasFormat(NodesMimeType) || data->hasFormat(NodesFileMimeType))
        || (action != Qt::CopyAction && action != Qt::MoveAction))
        return false;
    const LinkNode *target = nodeFromIndex(parent);
    if (parent.isValid() && (!target || !target->isGroup()))
        return false;
    if (row < -1 || row > m_tree->childCount(target))
        return false;
    // Not even a copy goes into the group it copies.
    const LinkNode *dragged = draggedFrom(this, data);
    return !(dragged && target && target->isWithin(dragged));
}

bool LinkTreeModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                 const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    LinkNode *target = nodeFromIndex(parent);
    if (row < 0)
        row = m_tree->childCount(target);
    LinkNode *dragged = draggedFrom(this, data);
    if (dragged && action == Qt::MoveAction) {
        // The place counted once the node has left its own.
        if (dragged->parent() == target && dragged->row() < row)
            --row;
        if (dragged->parent() == target && dragged->row() == row)
            return false;
        perform(new MoveNodeStep(*this, QStringLiteral("移動"), dragged, target, row));
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
