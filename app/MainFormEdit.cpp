// The Edit menu: undo and redo of the steps every change of the document is made of.
#include "app/MainForm.h"
#include "ui_MainForm.h"

#include "app/LinkTreeModel.h"
#include "app/TreeSteps.h"

#include <QAction>
#include <QTreeView>
#include <QUndoStack>

namespace {

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
    for (QAction *action : {ui->UndoAction1, ui->RedoAction1}) {
        ui->TreeView1->addAction(action);
        ui->ListView1->addAction(action);
    }

    const QString undoCaption = ui->UndoAction1->text();
    const QString redoCaption = ui->RedoAction1->text();
    connect(m_undoStack, &QUndoStack::canUndoChanged, ui->UndoAction1, &QAction::setEnabled);
    connect(m_undoStack, &QUndoStack::canRedoChanged, ui->RedoAction1, &QAction::setEnabled);
    connect(m_undoStack, &QUndoStack::undoTextChanged, this,
            [this, undoCaption](const QString &step) { nameStep(ui->UndoAction1, undoCaption, step); });
    connect(m_undoStack, &QUndoStack::redoTextChanged, this,
            [this, redoCaption](const QString &step) { nameStep(ui->RedoAction1, redoCaption, step); });
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
    // The step may have changed what the list shows for the node already selected.
    if (LinkNode *selected = selectedNode())
        TreeView1Change(selected);
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
