#include "app/panes/LinkListModel.h"

#include "app/editing/LinkTreeModel.h"

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

LinkListModel::LinkListModel(LinkTreeModel &source, QObject *parent) : QAbstractProxyModel(parent), m_source(source)
{
    setSourceModel(&source);
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
    // The tree moves one node at a time.
    connect(&source, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex &from, int first, int, const QModelIndex &to, int row) {
                // Qt counts `row` before the node left its place.
                sourceRowMoved(from, to, from == to && row > first ? row - 1 : row);
            });
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

NodeField LinkListModel::fieldOf(int column)
{
    return ColumnFields[column];
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

QModelIndex LinkListModel::mapToSource(const QModelIndex &proxyIndex) const
{
    const LinkNode *node = proxyIndex.isValid() ? nodeAt(proxyIndex.row()) : nullptr;
    return node ? m_source.indexFromNode(node, ColumnFields[proxyIndex.column()]) : QModelIndex();
}

QModelIndex LinkListModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    const int row = rowOf(m_source.nodeFromIndex(sourceIndex));
    if (row < 0)
        return {};
    const auto *column = std::ranges::find(ColumnFields, LinkTreeModel::fieldOf(sourceIndex));
    return column == std::end(ColumnFields) ? QModelIndex() : createIndex(row, int(column - ColumnFields));
}

QModelIndex LinkListModel::index(int row, int column, const QModelIndex &parent) const
{
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex LinkListModel::parent(const QModelIndex &) const
{
    return {};
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

void LinkListModel::sourceRowMoved(const QModelIndex &from, const QModelIndex &to, int row)
{
    const bool out = listsChildrenOf(from), in = listsChildrenOf(to);
    if (!in && !out)
        return;
    LinkNode *node = m_source.nodeFromIndex(m_source.index(row, 0, to));
    const auto listed = std::find(m_rows.begin(), m_rows.end(), node);
    // The other rows keep their order: the new place is counted among them.
    auto placeAmong = [&](auto begin, auto end) {
        return int(std::lower_bound(begin, end, node->row(), bySiblingRow) - begin);
    };
    const int place = placeAmong(m_rows.begin(), listed)
                      + (listed == m_rows.end() ? 0 : placeAmong(listed + 1, m_rows.end()));
    if (listed != m_rows.end() && in) {
        const int current = int(listed - m_rows.begin());
        if (place == current || !beginMoveRows({}, current, current, {}, place > current ? place + 1 : place))
            return;
        if (place > current)
            std::rotate(listed, listed + 1, m_rows.begin() + place + 1);
        else
            std::rotate(m_rows.begin() + place, listed, listed + 1);
        endMoveRows();
    } else if (listed != m_rows.end()) {
        const int current = int(listed - m_rows.begin());
        beginRemoveRows({}, current, current);
        m_rows.erase(listed);
        endRemoveRows();
    } else if (in && !node->isGroup()) {
        beginInsertRows({}, place, place);
        m_rows.insert(m_rows.begin() + place, node);
        endInsertRows();
    }
}

void LinkListModel::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (!m_listing || topLeft.parent() != bottomRight.parent() || !listsChildrenOf(topLeft.parent()))
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

Qt::ItemFlags LinkListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

QVariant LinkListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return QString::fromUtf16(ColumnCaptions[section]);
}
