#pragma once

#include <QIcon>
#include <QList>
#include <QWidget>

#include "app/editing/NodeSelection.h"

#include <vector>

class FindBar;
class LinkNode;
class LinkTreeModel;
class LinkTreeView;
class NodeCommands;
class QMenu;
class QToolBar;
class WindowContext;

// The left pane: the link tree, the hand-drawn tool bar above it, and the tree's pop-up and
// drop-down menus. Commands act on the node this pane shows selected.
class TreePane : public QWidget, public NodeSelection
{
    Q_OBJECT

public:
    explicit TreePane(QWidget *parent = nullptr);

    void setUp(WindowContext &context, NodeCommands &commands, const QList<QIcon> &images);

    LinkTreeView *view() const { return TreeView1; }
    FindBar *findBar() const { return m_findBar; }
    LinkNode *selectedNode() const override;
    std::vector<LinkNode *> selectedNodes() const override;
    bool isExpanded(const LinkNode *node) const override;
    void selectNode(const LinkNode *node) override;
    // Selects `nodes` alone, `current` the one the list and editors follow.
    void selectNodes(const std::vector<LinkNode *> &nodes, const LinkNode *current);
    void expandNode(const LinkNode *node) override;
    void scrollToNode(const LinkNode *node) override;
    void focusTree() override;
    // The width the tool bar's buttons need.
    int toolBarWidth() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveCurrentFrom(const QModelIndex &parent, int first, int last);
    void buildPopupMenus(WindowContext &context, NodeCommands &commands, const QList<QIcon> &images);
    void buildToolBar(WindowContext &context, NodeCommands &commands, const QList<QIcon> &images);

    LinkTreeModel *m_model = nullptr;
    FindBar *m_findBar = nullptr;
    LinkTreeView *TreeView1 = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QMenu *TVPopUp = nullptr;
    QMenu *DDGroupMenu = nullptr;
    QMenu *DDLinkMenu = nullptr;
};
