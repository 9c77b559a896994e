#include "app/LinkListModel.h"

#include "app/LinkTreeModel.h"

#include <algorithm>

namespace {

constexpr NodeField ColumnFields[] = {NodeField::Text, NodeField::Href, NodeField::Target, NodeField::ObjID,
                                      NodeField::Class};
static_assert(std::size(ColumnFields) == LinkListModel::ColumnCount);

const char16_t *const ColumnCaptions[] = {u"リンクテキスト", u"リンク先", u"ターゲット", u"ID", u"クラス"};

bool bySiblingRow(const LinkNode *node, int row)
{
    return node->row() < row;
}

} // namespace

LinkListModel::LinkListModel(LinkTreeModel &source, QObject *parent) : QAbstractTableModel(parent), m_source(source)
{
    connect(&source, &LinkTreeModel::nodesAboutToBeRemoved, this, [this](const LinkNode *root) {
        // The listed group goes with a subtree, or the whole tree goes: nothing is left to list.
        if (m_listing && (!root || (m_parent && m_parent->isWithin(root))))
            listNothing();
    });
    connect(&source, &QAbstractItemModel::modelAboutToBeReset, this, &LinkListModel::listNothing);
    connect(&source, &QAbstractItemModel::rowsAboutToBeRemoved, this, &LinkListModel::sourceRowsAboutToBeRemoved);
    connect(&source, &QAbstractItemModel::rowsRemoved, this, [this] {
        // The rows were counted before the source renumbered what follows them.
        const auto [from, to] = std::exchange(m_pendingRemoval, {});
        if (from == to)
            return;
        m_rows.erase(m_rows.begin() + from, m_rows.begin() + to);
        endRemoveRows();
    });
    connect(&source, &QAbstractItemModel::rowsInserted, this, &LinkListModel::sourceRowsInserted);
    connect(&source, &QAbstractItemModel::rowsAboutToBeMoved, this, &LinkListModel::sourceRowsAboutToBeMoved);
    connect(&source, &QAbstractItemModel::rowsMoved, this, &LinkListModel::sourceRowsMoved);
    connect(&source, &QAbstractItemModel::dataChanged, this, &LinkListModel::sourceDataChanged);
    connect(&source, &QAbstractItemModel::layoutAboutToBeChanged, this, &LinkListModel::sourceLayoutAboutToBeChanged);
    connect(&source, &QAbstractItemModel::layoutChanged, this, &LinkListModel::sourceLayoutChanged);
}

void LinkListModel::sourceLayoutAboutToBeChanged(const QList<QPersistentModelIndex> &parents)
{
    const bool listed = parents.isEmpty() || std::any_of(parents.begin(), parents.end(), [this](const auto &parent) {
        return listsChildrenOf(parent);
    });
    if (!listed)
        return;
    m_reordering = true;
    emit layoutAboutToBeChanged();
    m_heldRows = persistentIndexList();
    m_heldNodes.clear();
    for (const QModelIndex &index : m_heldRows)
        m_heldNodes.push_back(nodeAt(index.row()));
}

void LinkListModel::sourceLayoutChanged()
{
    if (!std::exchange(m_reordering, false))
        return;
    collectRows();
    QModelIndexList to;
    for (qsizetype i = 0; i < m_heldRows.size(); ++i)
        to << index(rowOf(m_heldNodes[static_cast<size_t>(i)]), m_heldRows[i].column());
    changePersistentIndexList(m_heldRows, to);
    m_heldRows.clear();
    m_heldNodes.clear();
    emit layoutChanged();
}

void LinkListModel::listChildrenOf(const LinkNode *parent)
{
    beginResetModel();
    m_listing = true;
    m_parent = parent;
    collectRows();
    endResetModel();
}

void LinkListModel::listNothing()
{
    if (!m_listing)
        return;
    beginResetModel();
    m_listing = false;
    m_parent = nullptr;
    m_rows.clear();
    endResetModel();
}

void LinkListModel::collectRows()
{
    m_rows.clear();
    const LinkTree &tree = m_source.tree();
    const int count = tree.childCount(m_parent);
    for (int i = 0; i < count; ++i) {
        if (LinkNode *child = tree.child(m_parent, i); !child->isGroup())
            m_rows.push_back(child);
    }
}

LinkNode *LinkListModel::nodeAt(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)] : nullptr;
}

int LinkListModel::rowOf(const LinkNode *node) const
{
    // Found by the link's place among its siblings, so a keystroke never walks the list.
    if (!m_listing || !node || node->isGroup() || node->parent() != m_parent)
        return -1;
    const auto found = std::lower_bound(m_rows.begin(), m_rows.end(), node->row(), bySiblingRow);
    return found != m_rows.end() && *found == node ? int(found - m_rows.begin()) : -1;
}

bool LinkListModel::listsChildrenOf(const QModelIndex &sourceParent) const
{
    return m_listing && m_source.nodeFromIndex(sourceParent) == m_parent
           && (m_parent || !sourceParent.isValid());
}

std::pair<int, int> LinkListModel::rowsOfChildren(int first, int last) const
{
    const auto from = std::lower_bound(m_rows.begin(), m_rows.end(), first, bySiblingRow);
    const auto to = std::lower_bound(from, m_rows.end(), last + 1, bySiblingRow);
    return {int(from - m_rows.begin()), int(to - m_rows.begin())};
}

void LinkListModel::sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last)
{
    if (!listsChildrenOf(parent))
        return;
    const auto [from, to] = rowsOfChildren(first, last);
    if (from == to)
        return;
    beginRemoveRows({}, from, to - 1);
    m_pendingRemoval = {from, to};
}

void LinkListModel::sourceRowsInserted(const QModelIndex &parent, int first, int last)
{
    if (!listsChildrenOf(parent))
        return;
    const LinkTree &tree = m_source.tree();
    std::vector<LinkNode *> links;
    for (int i = first; i <= last; ++i) {
        if (LinkNode *child = tree.child(m_parent, i); !child->isGroup())
            links.push_back(child);
    }
    if (links.empty())
        return;
    // The links after the new ones have already moved on by their number.
    const int at = int(std::lower_bound(m_rows.begin(), m_rows.end(), first, bySiblingRow) - m_rows.begin());
    beginInsertRows({}, at, at + int(links.size()) - 1);
    m_rows.insert(m_rows.begin() + at, links.begin(), links.end());
    endInsertRows();
}

void LinkListModel::sourceRowsAboutToBeMoved(const QModelIndex &from, int first, int last, const QModelIndex &to,
                                             int row)
{
    m_pendingMove = PendingMove::None;
    if (!listsChildrenOf(from))
        return;
    const auto [begin, end] = rowsOfChildren(first, last);
    if (begin == end)
        return;
    if (!listsChildrenOf(to)) {
        beginRemoveRows({}, begin, end - 1);
        m_pendingMove = PendingMove::Out;
        return;
    }
    // Counted, as Qt counts it, before the rows leave their place.
    const int destination = rowsOfChildren(row, row - 1).first;
    if (beginMoveRows({}, begin, end - 1, {}, destination))
        m_pendingMove = PendingMove::Within;
}

void LinkListModel::sourceRowsMoved(const QModelIndex &from, int, int, const QModelIndex &to, int row)
{
    const PendingMove pending = std::exchange(m_pendingMove, PendingMove::None);
    if (pending == PendingMove::Within) {
        collectRows();
        endMoveRows();
        return;
    }
    if (pending == PendingMove::Out) {
        collectRows();
        endRemoveRows();
        return;
    }
    // Links that came in from elsewhere; a move among the listed siblings that changed no row's
    // order only renumbers them.
    if (listsChildrenOf(to) && !listsChildrenOf(from))
        sourceRowsInserted(to, row, row);
    else if (listsChildrenOf(to))
        collectRows();
}

void LinkListModel::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (!m_listing || topLeft.parent() != bottomRight.parent())
        return;
    const QModelIndex parent = topLeft.parent();
    if (!listsChildrenOf(parent))
        return;
    const auto [from, to] = rowsOfChildren(topLeft.row(), bottomRight.row());
    if (from != to)
        emit dataChanged(index(from, 0), index(to - 1, ColumnCount - 1));
}

int LinkListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LinkListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LinkListModel::data(const QModelIndex &index, int role) const
{
    const LinkNode *node = nodeAt(index.row());
    if (!node || index.column() < 0 || index.column() >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return LinkTreeModel::field(node, ColumnFields[index.column()]);
    // Every row shows the link picture.
    if (role == Qt::DecorationRole && index.column() == TextColumn)
        return m_source.data(m_source.indexFromNode(node), Qt::DecorationRole);
    return {};
}

QVariant LinkListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return QString::fromUtf16(ColumnCaptions[section]);
}
