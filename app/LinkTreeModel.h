#pragma once

#include "app/DocumentFile.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QList>

#include <memory>
#include <vector>

class QMimeData;
class QUndoCommand;
class QUndoStack;

// The link tree as the tree view sees it. Every change the window makes to the tree goes through
// here, so that the view always hears of it.
class LinkTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit LinkTreeModel(QObject *parent = nullptr);
    ~LinkTreeModel() override;

    // The tree as it is shown; it changes only through steps (perform).
    const LinkTree &tree() const { return *m_tree; }

    // The file the shown tree belongs to. Saving changes it without changing the tree.
    const DocumentFile &file() const { return m_file; }
    void setFile(const DocumentFile &file);

    // Links a check found broken, with its answer: drawn so in the tree until the next check or
    // an edit of the link. No change of the document.
    void markBrokenLinks(const QHash<const LinkNode *, QString> &answers);
    bool isMarkedBroken(const LinkNode *node) const { return m_broken.contains(node); }

    // The pictures shown beside the nodes, indexed by the node's image index.
    void setImages(const QList<QIcon> &images);

    LinkNode *nodeFromIndex(const QModelIndex &index) const;
    QModelIndex indexFromNode(const LinkNode *node) const;
    // True when the node belongs to the tree shown now.
    bool contains(const LinkNode *node) const;

    static QString field(const LinkNode *node, NodeField field);
    // Gives the groups the ids an export generated (`ids` in absolute order, a link's entry unused;
    // nothing when they are not the tree's). The program's own bookkeeping, not an edit: no step.
    void setGeneratedIds(const std::vector<QString> &ids);

    // Where the model's own edits (drops, in-place renames) go as steps that can be undone;
    // without a stack they are simply made.
    void setUndoStack(QUndoStack *stack) { m_undoStack = stack; }
    // The one way the tree changes: as a step pushed on the undo history.
    void perform(QUndoCommand *command);

    // Nodes between editors (clipboard, drag and drop): a project-file fragment under its own
    // type, and the outline as plain text.
    static inline const QString NodesMimeType = QStringLiteral("application/x-vormik-nodes");
    // A drag larger than this hands its nodes over in a temporary file it names under this type:
    // well below what an X11 display takes in one request.
    static inline const QString NodesFileMimeType = QStringLiteral("application/x-vormik-nodes-file");
    static constexpr qsizetype MaxDragBytes = 1 << 20;
    // True for such a file, which only a drop into a tree reads.
    static bool isHandoverFile(const QString &path);
    // The node with its subtree in both forms.
    QMimeData *fragmentMimeData(const LinkNode *node) const;
    // New nodes read from such data; a damaged fragment throws VormikError.
    static std::vector<std::unique_ptr<LinkNode>> nodesFrom(const QMimeData *data);
    // Puts the nodes `data` carries in as children of `parent` from `row` on, as one step.
    // False when it carries none.
    bool insertFrom(const QMimeData *data, LinkNode *parent, int row, const QString &caption);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // An in-place edit of a node's text, as a step. No text takes a line break; a group's name
    // is trimmed and never blank, as the name prompt wants it.
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
    // The file the tree belongs to changed, or how far the tree is from it.
    void fileChanged();
    // A drop brought nodes that could not be read.
    void dropFailed(const QString &message);

private:
    friend class TreeStep;
    // The moves and swaps that undo and redo are made of. Each keeps the nodes themselves, so a
    // step undone gives back the very nodes it took, and later steps still find them.
    // Takes a subtree out of the tree; null when the node is not in it.
    std::unique_ptr<LinkNode> take(LinkNode *node);
    // Puts a subtree in as child `row` of `parent` (the top level when null).
    LinkNode *insert(LinkNode *parent, int row, std::unique_ptr<LinkNode> subtree);
    // Moves a node with its subtree to child `row` of `newParent`, counted after it has left
    // its place. Refused (false) when the place lies within the node.
    bool move(LinkNode *node, LinkNode *newParent, int row);
    void setField(LinkNode *node, NodeField field, const QString &value);
    // Shows `tree`, which belongs to `file`, and hands back the tree and file shown until now.
    void swapTree(std::unique_ptr<LinkTree> &tree, DocumentFile &file);

    std::unique_ptr<LinkTree> m_tree;
    DocumentFile m_file;
    QHash<const LinkNode *, QString> m_broken;
    QList<QIcon> m_images;
    QUndoStack *m_undoStack = nullptr;
};
