#include "app/editing/EditCommands.h"

#include "app/editing/LinkTreeModel.h"
#include "app/panes/LinkTreeView.h"
#include "app/window/Named.h"
#include "app/editing/NodeSetCommands.h"
#include "app/editing/NodeTransfer.h"
#include "app/panes/TreePane.h"
#include "app/editing/TreeSteps.h"
#include "app/window/WindowContext.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QUndoStack>


namespace {

// A caption that names the step it would undo or redo, after the designed caption.
void nameStep(QAction *action, const QString &caption, const QString &step)
{
    action->setText(step.isEmpty() ? caption : caption + QStringLiteral(": ") + step);
}

// An undo or redo action of the stack, with the form's caption, hint and shortcuts.
QAction *historyAction(QAction *made, const char *name, const QString &caption, const QString &hint,
                       const QList<QKeySequence> &keys, void (QUndoStack::*textChanged)(const QString &),
                       QUndoStack *stack)
{
    named(made, name);
    made->setStatusTip(hint);
    made->setShortcuts(keys);
    // The shortcuts act on the tree and the list; an editor field keeps its own for its text.
    made->setShortcutContext(Qt::WidgetShortcut);
    QObject::disconnect(stack, textChanged, made, nullptr);
    QObject::connect(stack, textChanged, made, [made, caption](const QString &step) { nameStep(made, caption, step); });
    nameStep(made, caption, {});
    return made;
}

} // namespace

EditCommands::EditCommands(WindowContext &context, TreePane &tree, QWidget *window)
    : QObject(window), m_context(context), m_tree(tree), m_window(window),
      m_undoStack(new QUndoStack(this))
{
    context.model().setUndoStack(m_undoStack);
}

void EditCommands::setUp(QMenu *menu, const Actions &actions, const QList<QWidget *> &views)
{
    m_actions = actions;
    QAction *undo = historyAction(m_undoStack->createUndoAction(menu), "UndoAction1", QStringLiteral("元に戻す(&U)"),
                                  QStringLiteral("直前の操作を取り消す"), {QKeySequence(Qt::CTRL | Qt::Key_Z)},
                                  &QUndoStack::undoTextChanged, m_undoStack);
    QAction *redo = historyAction(
        m_undoStack->createRedoAction(menu), "RedoAction1", QStringLiteral("やり直し(&R)"),
        QStringLiteral("取り消した操作をやり直す"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        &QUndoStack::redoTextChanged, m_undoStack);
    menu->insertActions(menu->actions().value(0), {undo, redo});
    // After the stack has moved: the node the step touched is shown.
    connect(undo, &QAction::triggered, this, [this] {
        const auto *step = dynamic_cast<const TreeStep *>(m_undoStack->command(m_undoStack->index()));
        emit historyMoved(step ? step->shownAfter(true) : nullptr);
    });
    connect(redo, &QAction::triggered, this, [this] {
        const auto *step = dynamic_cast<const TreeStep *>(m_undoStack->command(m_undoStack->index() - 1));
        emit historyMoved(step ? step->shownAfter(false) : nullptr);
    });

    const QList<QAction *> all{undo, redo, actions.cut, actions.copy, actions.paste, actions.moveUp,
                               actions.moveDown, actions.outdent, actions.indent};
    for (QWidget *view : views)
        view->addActions(all);

    const auto run = [this](auto handler) { return [this, handler] { m_context.guarded(m_window, handler); }; };
    connect(actions.cut, &QAction::triggered, this, run([this] { cut(); }));
    connect(actions.copy, &QAction::triggered, this, run([this] { copy(); }));
    connect(actions.paste, &QAction::triggered, this, run([this] { paste(); }));
    connect(actions.moveUp, &QAction::triggered, this,
            run([this] { moveSelected(NodeMove::Up, QStringLiteral("上へ移動")); }));
    connect(actions.moveDown, &QAction::triggered, this,
            run([this] { moveSelected(NodeMove::Down, QStringLiteral("下へ移動")); }));
    connect(actions.outdent, &QAction::triggered, this,
            run([this] { moveSelected(NodeMove::Left, QStringLiteral("左へ移動")); }));
    connect(actions.indent, &QAction::triggered, this,
            run([this] { moveSelected(NodeMove::Right, QStringLiteral("右へ移動")); }));

    // The actions follow the selection, the tree's shape and the clipboard.
    LinkTreeModel *model = &m_context.model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, this, &EditCommands::updateActions);
    connect(model, &QAbstractItemModel::rowsMoved, this, &EditCommands::updateActions);
    connect(model, &QAbstractItemModel::layoutChanged, this, &EditCommands::updateActions);
    connect(model, &QAbstractItemModel::modelReset, this, &EditCommands::updateActions);
    connect(m_tree.view()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EditCommands::updateActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &EditCommands::updateActions);
    connect(menu, &QMenu::aboutToShow, this, &EditCommands::updateActions);
}

void EditCommands::updateActions()
{
    const NodeList nodes = m_tree.selectedNodes();
    const LinkTree &tree = m_context.model().tree();
    const QMimeData *clipboard = QGuiApplication::clipboard()->mimeData();
    m_actions.cut->setEnabled(!nodes.empty());
    m_actions.copy->setEnabled(!nodes.empty());
    m_actions.paste->setEnabled(clipboard && clipboard->hasFormat(NodeTransfer::NodesMimeType));
    m_actions.moveUp->setEnabled(NodeSetCommands::canMove(tree, nodes, NodeMove::Up));
    m_actions.moveDown->setEnabled(NodeSetCommands::canMove(tree, nodes, NodeMove::Down));
    m_actions.outdent->setEnabled(NodeSetCommands::canMove(tree, nodes, NodeMove::Left));
    m_actions.indent->setEnabled(NodeSetCommands::canMove(tree, nodes, NodeMove::Right));
}

void EditCommands::copy()
{
    if (QMimeData *data = NodeSetCommands::copy(m_context.model().tree(), m_tree.selectedNodes()))
        QGuiApplication::clipboard()->setMimeData(data);
}

void EditCommands::cut()
{
    copy();
    NodeSetCommands::remove(m_context.model(), m_tree.selectedNodes(), QStringLiteral("切り取り"));
}

void EditCommands::paste()
{
    // Into the selected group as its last children, after the selected link, or at the end of
    // the top level.
    LinkTreeModel &model = m_context.model();
    LinkNode *node = m_tree.selectedNode();
    LinkNode *parent = node && !node->isGroup() ? node->parent() : node;
    const int row = node && !node->isGroup() ? node->row() + 1 : model.tree().childCount(parent);
    if (model.insertFrom(QGuiApplication::clipboard()->mimeData(), parent, row, QStringLiteral("貼り付け")) && parent)
        m_tree.expandNode(parent);
}

void EditCommands::moveSelected(NodeMove move, const QString &caption)
{
    const NodeList nodes = m_tree.selectedNodes();
    if (NodeSetCommands::move(m_context.model(), nodes, move, caption))
        m_tree.scrollToNode(topmostNodes(m_context.model().tree(), nodes).front());
}
