#include "app/editing/TreeSteps.h"

#include <QHash>

#include <algorithm>
#include <atomic>

namespace {
std::atomic<quint64> lastSerial{0};
} // namespace

TreeStep::TreeStep(TreeChanges &model, const QString &caption)
    : QUndoCommand(caption), m_model(model), m_serial(++lastSerial)
{
}

void TreeStep::renewSerial()
{
    m_serial = ++lastSerial;
}

InsertNodesStep::InsertNodesStep(TreeChanges &model, const QString &caption, LinkNode *parent, int row,
                                 std::vector<std::unique_ptr<LinkNode>> nodes)
    : TreeStep(model, caption), m_parent(parent), m_row(row), m_held(std::move(nodes))
{
    for (const auto &node : m_held)
        m_nodes.push_back(node.get());
}

void InsertNodesStep::redo()
{
    for (size_t i = 0; i < m_held.size(); ++i)
        insert(m_parent, m_row + static_cast<int>(i), std::move(m_held[i]));
    m_held.clear();
}

void InsertNodesStep::undo()
{
    m_held.resize(m_nodes.size());
    for (size_t i = m_nodes.size(); i-- > 0;)
        m_held[i] = take(m_nodes[i]);
}

LinkNode *InsertNodesStep::shownAfter(bool undone) const
{
    if (undone)
        return m_parent;
    return m_nodes.empty() ? nullptr : m_nodes.front();
}

RemoveNodesStep::RemoveNodesStep(TreeChanges &model, const QString &caption, const NodeList &topmost)
    : TreeStep(model, caption)
{
    m_removals.reserve(topmost.size());
    for (LinkNode *node : topmost)
        m_removals.push_back({node, node->parent(), node->row(), nullptr});
}

void RemoveNodesStep::redo()
{
    // From the last: no node's leaving renumbers a sibling still to go.
    for (auto removal = m_removals.rbegin(); removal != m_removals.rend(); ++removal)
        removal->held = take(removal->node);
}

void RemoveNodesStep::undo()
{
    // From the first: each finds the siblings before it back in their places.
    for (Removal &removal : m_removals)
        insert(removal.parent, removal.row, std::move(removal.held));
}

LinkNode *RemoveNodesStep::shownAfter(bool undone) const
{
    return undone && !m_removals.empty() ? m_removals.front().node : nullptr;
}

MoveNodesStep::MoveNodesStep(TreeChanges &model, const QString &caption, const std::vector<NodePlace> &places)
    : TreeStep(model, caption)
{
    m_moves.reserve(places.size());
    for (const NodePlace &place : places)
        m_moves.push_back({place, {}});
}

void MoveNodesStep::redo()
{
    for (Move &m : m_moves) {
        m.from = {m.to.node, m.to.node->parent(), m.to.node->row()};
        move(m.to.node, m.to.parent, m.to.row);
    }
}

void MoveNodesStep::undo()
{
    // Each back to the very place it left, the last first: every move is undone in the tree it made.
    for (auto m = m_moves.rbegin(); m != m_moves.rend(); ++m)
        move(m->from.node, m->from.parent, m->from.row);
}

EditFieldsStep::EditFieldsStep(TreeChanges &model, const QString &caption, NodeField field,
                               const std::vector<Edit> &edits, int burst)
    : TreeStep(model, caption), m_field(field), m_burst(burst)
{
    for (const Edit &edit : edits)
        m_edits.push_back({edit.node, fieldValue(*edit.node, field), edit.value});
}

void EditFieldsStep::redo()
{
    for (const Change &change : m_edits)
        setField(change.node, m_field, change.value);
}

void EditFieldsStep::undo()
{
    for (auto change = m_edits.rbegin(); change != m_edits.rend(); ++change)
        setField(change->node, m_field, change->old);
}

bool EditFieldsStep::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const EditFieldsStep *>(other);
    if (m_burst == NoBurst || next->m_burst != m_burst || next->m_field != m_field)
        return false;
    // A node the later write reaches keeps its first old value; one it alone reaches joins.
    QHash<const LinkNode *, size_t> places;
    for (size_t i = 0; i < m_edits.size(); ++i)
        places.insert(m_edits[i].node, i);
    for (const Change &change : next->m_edits) {
        if (const auto place = places.constFind(change.node); place != places.cend())
            m_edits[*place].value = change.value;
        else
            m_edits.push_back(change);
    }
    setObsolete(std::ranges::all_of(m_edits, [](const Change &change) { return change.value == change.old; }));
    renewSerial();
    return true;
}

ReorderChildrenStep::ReorderChildrenStep(TreeChanges &model, const QString &caption, LinkNode *parent,
                                         std::vector<int> rows)
    : TreeStep(model, caption), m_parent(parent), m_rows(std::move(rows))
{
}

void ReorderChildrenStep::undo()
{
    std::vector<int> back(m_rows.size());
    for (size_t row = 0; row < m_rows.size(); ++row)
        back[static_cast<size_t>(m_rows[row])] = static_cast<int>(row);
    reorder(m_parent, back);
}

ReplaceTreeStep::ReplaceTreeStep(TreeChanges &model, const QString &caption, std::unique_ptr<LinkTree> tree,
                                 std::function<void()> alongside)
    : TreeStep(model, caption), m_other(std::move(tree)), m_alongside(std::move(alongside))
{
}

void ReplaceTreeStep::redo()
{
    if (m_alongside)
        m_alongside();
    swapTree(m_other);
}
