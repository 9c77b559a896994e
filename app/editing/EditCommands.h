#pragma once

#include "tree/NodeSet.h"

#include <QObject>

class QAction;
class QMenu;
class QUndoStack;
class TreePane;
class WindowContext;

// The Edit menu: the undo history every change of the document is made of, the clipboard, and
// moving the selected node.
class EditCommands : public QObject
{
    Q_OBJECT

public:
    // The Edit menu's actions the form holds.
    struct Actions
    {
        QAction *cut, *copy, *paste, *moveUp, *moveDown, *outdent, *indent;
    };

    EditCommands(WindowContext &context, TreePane &tree, QWidget *window);

    // Puts undo and redo at the top of `menu` and gives every Edit action to `views`.
    void setUp(QMenu *menu, const Actions &actions, const QList<QWidget *> &views);
    QUndoStack *undoStack() const { return m_undoStack; }

signals:
    // A step was undone or redone; `shown` is the node it touched, or null.
    void historyMoved(LinkNode *shown);

private:
    void updateActions();
    // The Edit menu's commands, each one step on the tree's selection.
    void cut();
    void copy();
    void paste();
    void moveSelected(NodeMove move, const QString &caption);

    WindowContext &m_context;
    TreePane &m_tree;
    QWidget *m_window;
    QUndoStack *m_undoStack;
    Actions m_actions{};
};
