#pragma once

#include "app/editing/TreeChanges.h"
#include "tree/NodeSet.h"

#include <QUndoCommand>

#include <functional>
#include <memory>
#include <vector>

// The steps the undo stack holds. Each changes the tree only through the model, and keeps the
// nodes it takes out rather than copies of them, so undoing gives back the very nodes and the
// steps around it still find theirs.
class TreeStep : public QUndoCommand
{
public:
    TreeStep(TreeChanges &model, const QString &caption);
    // Tells this step from every other of the run, also from one made later at its address.
    quint64 serial() const { return m_serial; }
    // The node to show once the step has been undone (or redone); null leaves the selection be.
    virtual LinkNode *shownAfter(bool undone) const = 0;

protected:
    // The model's primitives, open to steps alone: every change of the tree is a step.
    std::unique_ptr<LinkNode> take(LinkNode *node) { return m_model.take(node); }
    LinkNode *insert(LinkNode *parent, int row, std::unique_ptr<LinkNode> subtree)
    {
        return m_model.insert(parent, row, std::move(subtree));
    }
    bool move(LinkNode *node, LinkNode *newParent, int row) { return m_model.move(node, newParent, row); }
    void setField(LinkNode *node, NodeField field, const QString &value) { m_model.setField(node, field, value); }
    void swapTree(std::unique_ptr<LinkTree> &tree) { m_model.swapTree(tree); }
    bool reorder(LinkNode *parent, const std::vector<int> &rows) { return m_model.reorder(parent, rows); }
    // A step that takes in another becomes a new point of the history.
    void renewSerial();

    TreeChanges &m_model;

private:
    quint64 m_serial;
};

// New nodes, or copies, put in side by side as children of one parent.
class InsertNodesStep : public TreeStep
{
public:
    InsertNodesStep(TreeChanges &model, const QString &caption, LinkNode *parent, int row,
                    std::vector<std::unique_ptr<LinkNode>> nodes);
    void redo() override;
    void undo() override;
    LinkNode *shownAfter(bool undone) const override;
    const std::vector<LinkNode *> &nodes() const { return m_nodes; }

private:
    LinkNode *m_parent;
    int m_row;
    std::vector<LinkNode *> m_nodes;
    std::vector<std::unique_ptr<LinkNode>> m_held;
};

// Nodes with their subtrees taken out, the topmost of a set in absolute order; undone, they come
// back in their places with every field.
class RemoveNodesStep : public TreeStep
{
public:
    RemoveNodesStep(TreeChanges &model, const QString &caption, const NodeList &topmost);
    void redo() override;
    void undo() override;
    LinkNode *shownAfter(bool undone) const override;

private:
    struct Removal
    {
        LinkNode *node;
        LinkNode *parent;
        int row;
        std::unique_ptr<LinkNode> held;
    };
    std::vector<Removal> m_removals;
};

// Nodes with their subtrees moved, one after the other, to the places given.
class MoveNodesStep : public TreeStep
{
public:
    MoveNodesStep(TreeChanges &model, const QString &caption, const std::vector<NodePlace> &places);
    void redo() override;
    void undo() override;
    LinkNode *shownAfter(bool) const override { return m_moves.empty() ? nullptr : m_moves.front().to.node; }

private:
    struct Move
    {
        NodePlace to;
        NodePlace from; // where the node stood just before its move
    };
    std::vector<Move> m_moves;
};

// One field of one node or of several written at once, e.g. the new addresses of links that moved.
// Consecutive writes of the same field within one burst of typing merge into one step; a burst
// that ends where it began is no step at all.
class EditFieldsStep : public TreeStep
{
public:
    struct Edit
    {
        LinkNode *node;
        QString value;
    };
    // A write that is a step of its own, never merged.
    static constexpr int NoBurst = -1;
    EditFieldsStep(TreeChanges &model, const QString &caption, NodeField field, const std::vector<Edit> &edits,
                   int burst = NoBurst);
    void redo() override;
    void undo() override;
    int id() const override { return 2; }
    bool mergeWith(const QUndoCommand *other) override;
    LinkNode *shownAfter(bool) const override { return m_edits.empty() ? nullptr : m_edits.front().node; }

private:
    struct Change
    {
        LinkNode *node;
        QString old;
        QString value;
    };
    NodeField m_field;
    std::vector<Change> m_edits;
    int m_burst;
};

// The children of one group, or the top level, put in a new order (sorting).
class ReorderChildrenStep : public TreeStep
{
public:
    // `rows` as LinkTreeModel::reorder takes it.
    ReorderChildrenStep(TreeChanges &model, const QString &caption, LinkNode *parent, std::vector<int> rows);
    void redo() override { reorder(m_parent, m_rows); }
    void undo() override;
    // Every node stays where the user sees it, so the selection stays too.
    LinkNode *shownAfter(bool) const override { return nullptr; }

private:
    LinkNode *m_parent;
    std::vector<int> m_rows;
};

// The whole tree replaced (New, Open); the step keeps the tree that is not shown.
class ReplaceTreeStep : public TreeStep
{
public:
    // `alongside` exchanges what belongs to the tree and goes with it, just before the tree.
    ReplaceTreeStep(TreeChanges &model, const QString &caption, std::unique_ptr<LinkTree> tree,
                    std::function<void()> alongside = {});
    void redo() override;
    void undo() override { redo(); }
    LinkNode *shownAfter(bool) const override { return nullptr; }

private:
    std::unique_ptr<LinkTree> m_other;
    std::function<void()> m_alongside;
};
