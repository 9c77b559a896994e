// The Edit menu: undo and redo of the steps every change of the document is made of, the
// clipboard, and moving the selected node.
#include "app/MainForm.h"
#include "ui_MainForm.h"

#include "app/LinkTreeModel.h"
#include "app/TreeSteps.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTreeView>
#include <QUndoStack>

#include <optional>

namespace {

// Where a move takes the node: child `row` of `parent`, counted once the node has left its place.
struct Place
{
    LinkNode *parent;
    int row;
};

// Nothing where the move is impossible.
std::optional<Place> placeAfter(const LinkTree &tree, const LinkNode *node, NodeMove move)
{
    if (!node)
        return std::nullopt;
    const int row = node->row();
    switch (move) {
    case NodeMove::Up:
        return row > 0 ? std::optional<Place>({node->parent(), row - 1}) : std::nullopt;
    case NodeMove::Down:
        return row + 1 < tree.childCount(node->parent()) ? std::optional<Place>({node->parent(), row + 1})
                                                         : std::nullopt;
    case NodeMove::Left:
        return node->parent() ? std::optional<Place>({node->parent()->parent(), node->parent()->row() + 1})
                              : std::nullopt;
    case NodeMove::Right: {
        LinkNode *above = row > 0 ? tree.child(node->parent(), row - 1) : nullptr;
        return above && above->isGroup() ? std::optional<Place>({above, above->childCount()}) : std::nullopt;
    }
    }
    Q_UNREACHABLE();
}

// A caption that names the step it would undo or redo, after the designed caption.
void nameStep(QAction *action, const QString &caption, const QString &step)
{
    action->setText(step.isEmpty() ? caption : caption + QStringLiteral(": ") + step);
}

} // namespace

void TMain::buildEditMenu()
{
    m_undoStack = new QUndoStack(this);
    m_model->setUndoStack(m_undoStack);

    // The shortcuts act on the tree and the list; an editor field keeps its own for its text.
    ui->RedoAction1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    const QList<QAction *> actions{ui->UndoAction1,   ui->RedoAction1,     ui->CutAction1,
                                   ui->CopyAction1,   ui->PasteAction1,    ui->MoveUpAction1,
                                   ui->MoveDownAction1, ui->OutdentAction1, ui->IndentAction1};
    ui->TreeView1->addActions(actions);
    ui->ListView1->addActions(actions);

    const QString undoCaption = ui->UndoAction1->text();
    const QString redoCaption = ui->RedoAction1->text();
    connect(m_undoStack, &QUndoStack::canUndoChanged, ui->UndoAction1, &QAction::setEnabled);
    connect(m_undoStack, &QUndoStack::canRedoChanged, ui->RedoAction1, &QAction::setEnabled);
    connect(m_undoStack, &QUndoStack::undoTextChanged, this,
            [this, undoCaption](const QString &step) { nameStep(ui->UndoAction1, undoCaption, step); });
    connect(m_undoStack, &QUndoStack::redoTextChanged, this,
            [this, redoCaption](const QString &step) { nameStep(ui->RedoAction1, redoCaption, step); });
}

void TMain::EditActionsUpdate()
{
    const LinkNode *node = selectedNode();
    const LinkTree &tree = treeModel().tree();
    const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
    ui->CutAction1->setEnabled(node);
    ui->CopyAction1->setEnabled(node);
    ui->PasteAction1->setEnabled(clipboard && clipboard->hasFormat(LinkTreeModel::NodesMimeType));
    ui->MoveUpAction1->setEnabled(placeAfter(tree, node, NodeMove::Up).has_value());
    ui->MoveDownAction1->setEnabled(placeAfter(tree, node, NodeMove::Down).has_value());
    ui->OutdentAction1->setEnabled(placeAfter(tree, node, NodeMove::Left).has_value());
    ui->IndentAction1->setEnabled(placeAfter(tree, node, NodeMove::Right).has_value());
}

void TMain::perform(TreeStep *step)
{
    m_undoStack->push(step);
}

void TMain::reveal(LinkNode *node)
{
    if (node && treeModel().contains(node) && node != selectedNode()) {
        // Selecting lists the node's group and loads the editors.
        ui->TreeView1->scrollTo(treeModel().indexFromNode(node));
        selectNode(node);
        return;
    }
    // The step may have changed what the list shows.
    relist();
}

void TMain::relist()
{
    if (LinkNode *selected = selectedNode()) {
        TreeView1Change(selected);
        return;
    }
    if (m_listedGroup) {
        FillLinkList(m_listedGroup);
        return;
    }
    if (!m_listingTopLevel)
        return;
    // Any top-level link lists them all.
    const LinkTree &tree = treeModel().tree();
    for (int i = 0; i < tree.topLevelCount(); ++i) {
        if (!tree.topLevel(i)->isGroup()) {
            FillLinkList(tree.topLevel(i));
            return;
        }
    }
    ui->ListView1->clear();
}

void TMain::UndoAction1Execute()
{
    if (!m_undoStack->canUndo())
        return;
    ++m_burst;
    m_undoStack->undo();
    const auto *step = dynamic_cast<const TreeStep *>(m_undoStack->command(m_undoStack->index()));
    reveal(step ? step->shownAfter(true) : nullptr);
}

void TMain::RedoAction1Execute()
{
    if (!m_undoStack->canRedo())
        return;
    ++m_burst;
    m_undoStack->redo();
    const auto *step = dynamic_cast<const TreeStep *>(m_undoStack->command(m_undoStack->index() - 1));
    reveal(step ? step->shownAfter(false) : nullptr);
}

void TMain::CopyAction1Execute()
{
    if (const LinkNode *node = selectedNode())
        QGuiApplication::clipboard()->setMimeData(treeModel().fragmentMimeData(node));
}

void TMain::CutAction1Execute()
{
    if (LinkNode *node = selectedNode()) {
        QGuiApplication::clipboard()->setMimeData(treeModel().fragmentMimeData(node));
        deleteNode(node, QStringLiteral("切り取り"));
    }
}

void TMain::PasteAction1Execute()
{
    // Into the selected group as its last children, after the selected link, or at the end of
    // the top level.
    LinkNode *node = selectedNode();
    LinkNode *parent = node && !node->isGroup() ? node->parent() : node;
    const int row = node && !node->isGroup() ? node->row() + 1 : treeModel().tree().childCount(parent);
    if (treeModel().insertFrom(QGuiApplication::clipboard()->mimeData(), parent, row, QStringLiteral("貼り付け"))
        && parent)
        ui->TreeView1->expand(treeModel().indexFromNode(parent));
}

void TMain::moveSelected(NodeMove move, const QString &caption)
{
    LinkNode *node = selectedNode();
    const std::optional<Place> place = placeAfter(treeModel().tree(), node, move);
    if (!place)
        return;
    perform(new MoveNodeStep(treeModel(), caption, node, place->parent, place->row));
    ui->TreeView1->scrollTo(treeModel().indexFromNode(node));
}

void TMain::MoveUpAction1Execute()
{
    moveSelected(NodeMove::Up, QStringLiteral("上へ移動"));
}

void TMain::MoveDownAction1Execute()
{
    moveSelected(NodeMove::Down, QStringLiteral("下へ移動"));
}

void TMain::OutdentAction1Execute()
{
    moveSelected(NodeMove::Left, QStringLiteral("左へ移動"));
}

void TMain::IndentAction1Execute()
{
    moveSelected(NodeMove::Right, QStringLiteral("右へ移動"));
}

void TMain::nodesMoved(LinkNode *from, LinkNode *to)
{
    // A moved node shows where it went.
    if (to)
        ui->TreeView1->expand(treeModel().indexFromNode(to));
    // The listed links keep their order and numbering only when the move passed them by.
    const auto listed = [this](const LinkNode *parent) {
        return parent ? parent == m_listedGroup : m_listingTopLevel;
    };
    if (listed(from) || listed(to))
        relist();
}
