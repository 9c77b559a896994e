#pragma once

#include "app/editing/TreeChanges.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QList>

#include <memory>

class QMimeData;
class QUndoCommand;
class QUndoStack;

// The link tree as the views see it: a row a node, a column a row of the field table. Every
// change the window makes to the tree goes through here, so that every view hears of it.
class LinkTreeModel : public QAbstractItemModel, public TreeChanges
{
    Q_OBJECT

public:
    // A value written with this role is a keystroke: the keystrokes of one burst into one field
    // of one node make one step. Written with Qt::EditRole, a value is a step of its own.
    static constexpr int TypingRole = Qt::UserRole;

    explicit LinkTreeModel(QObject *parent = nullptr);
    ~LinkTreeModel() override;

    // The tree as it is shown; it changes only through steps (perform).
    const LinkTree &tree() const { return *m_tree; }

    // The pictures shown beside the nodes, indexed by the node's image index.
    void setImages(const QList<QIcon> &images);

    LinkNode *nodeFromIndex(const QModelIndex &index) const;
    QModelIndex indexFromNode(const LinkNode *node, NodeField field = NodeField::Text) const;
    static NodeField fieldOf(const QModelIndex &index) { return NodeFields[size_t(index.column())].field; }
    // True when the node belongs to the tree shown now.
    bool contains(const LinkNode *node) const;

    // Where the model's own edits (drops, in-place renames) go as steps that can be undone;
    // without a stack they are simply made.
    void setUndoStack(QUndoStack *stack) { m_undoStack = stack; }
    // The one way the tree changes: as a step pushed on the undo history.
    void perform(QUndoCommand *command);
    // Typing from now on is a step of its own.
    void beginBurst() { ++m_burst; }
    // The burst typing goes to now: the steps of one burst into one field make one.
    int burst() const { return m_burst; }

    // Puts the nodes `data` carries (NodeTransfer) in as children of `parent` from `row` on, as
    // one step. False when it carries none; a damaged fragment throws VormikError.
    bool insertFrom(const QMimeData *data, LinkNode *parent, int row, const QString &caption);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // An edit of a node's field, as a step. No text takes a line break; a group's name put in
    // whole is trimmed and never blank, as the name prompt wants it. An unchanged value is no step.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Drag and drop: a node dropped on a group becomes its last child, dropped between rows it
    // goes there; a drag within the tree moves, with Ctrl it copies. Nothing lands on a link,
    // and no group in itself or below itself. removeRows() stays Qt's refusal: after a move
    // the view asks it to remove the dragged rows, which the drop has already moved.
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    // Sent before a subtree leaves the tree; `root` is null when every node leaves.
    void nodesAboutToBeRemoved(const LinkNode *root);
    // A node's text or one of its fields changed.
    void nodeChanged(LinkNode *node);
    // A drop brought nodes that could not be read.
    void dropFailed(const QString &message);

private:
    // TreeChanges: the steps' primitives.
    std::unique_ptr<LinkNode> take(LinkNode *node) override;
    LinkNode *insert(LinkNode *parent, int row, std::unique_ptr<LinkNode> subtree) override;
    bool move(LinkNode *node, LinkNode *newParent, int row) override;
    void setField(LinkNode *node, NodeField field, const QString &value) override;
    bool reorder(LinkNode *parent, const std::vector<int> &rows) override;
    void swapTree(std::unique_ptr<LinkTree> &tree) override;

    std::unique_ptr<LinkTree> m_tree;
    QList<QIcon> m_images;
    QUndoStack *m_undoStack = nullptr;
    // Counts bursts of typing.
    int m_burst = 0;
};
