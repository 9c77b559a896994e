#pragma once

#include <QObject>

#include <memory>

class LinkNode;
class NodeSelection;
class QAction;
class WindowContext;

// The commands that add and delete nodes, the action list that holds them, and its update
// cycle, which names and enables the actions by what the tree has selected.
class NodeCommands : public QObject
{
    Q_OBJECT

public:
    NodeCommands(WindowContext &context, NodeSelection &tree, QWidget *window);

    QObject *ActionList1;
    QAction *TopLevelAddGroupAction1;
    QAction *ChildAddGroupAction1;
    QAction *TopLevelAddLinkAction1;
    QAction *ChildAddLinkAction1;
    QAction *LV_AddLinkAction1;
    QAction *InsertLinkAction1;
    QAction *InsertGroupAction1;

    void addTopLevelGroup();
    void addChildGroup();
    void addTopLevelLink();
    void addChildLink();
    void addLinkToList();
    // A new node right after the selected one, or first in an open group, ready for its name.
    void insertLink();
    void insertGroup();
    void deleteTreeNode();
    void updateActions();
    // Reads bookmarks, OPML, JSON or an exported page and puts the nodes under the selected
    // group (or at the top level) as one step.
    void importLinks();

signals:
    // A node just made is selected, ready for its name or text to be typed.
    void nodeAdded(const LinkNode *node);

private:
    // Asks for the name until one is given, and puts the group last under `parent`.
    void addGroupTo(LinkNode *parent);
    QAction *makeAction(const char *name, const QString &caption, const QString &hint,
                        void (NodeCommands::*handler)());
    LinkNode *appendNew(LinkNode *parent, std::unique_ptr<LinkNode> node, const QString &caption);
    void insertNew(std::unique_ptr<LinkNode> node, const QString &caption);
    // Selects a node just made, so that its name can be typed at once.
    void showNew(LinkNode *node);

    WindowContext &m_context;
    NodeSelection &m_tree;
    QWidget *m_window;
};
