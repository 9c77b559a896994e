#include "app/panes/TreePane.h"

#include "app/panes/EditorText.h"
#include "app/find/FindBar.h"
#include "app/editing/LinkTreeModel.h"
#include "app/panes/LinkTreeView.h"
#include "app/window/MenuItems.h"
#include "app/window/Named.h"
#include "app/editing/NodeCommands.h"
#include "app/panes/ViewLook.h"
#include "app/window/ToolBarButtonDrawing.h"
#include "app/window/WindowContext.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <QVBoxLayout>

TreePane::TreePane(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("LeftPanelLayout"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    TreeView1 = named(new LinkTreeView(this), "TreeView1");
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    TreeView1->setEditTriggers(QAbstractItemView::EditKeyPressed);
    TreeView1->setDragDropMode(QAbstractItemView::DragDrop);
    TreeView1->setDefaultDropAction(Qt::MoveAction);
    TreeView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    TreeView1->setIndentation(19);
    TreeView1->header()->setVisible(false);
    layout->addWidget(TreeView1, 1);
}

void TreePane::setUp(WindowContext &context, NodeCommands &commands, const QList<QIcon> &images)
{
    m_model = &context.model();
    // Ahead of the selection model, which would hand the current node to the one before.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &TreePane::moveCurrentFrom);
    TreeView1->setModel(m_model);
    // The tree shows a node's text; the other fields are columns for the list and its editors.
    for (int column = 1; column < m_model->columnCount(); ++column)
        TreeView1->hideColumn(column);
    TreeView1->viewport()->installEventFilter(this);
    keepSelectionVisible(TreeView1);
    // Nodes deleted from the selection hand it to the row the view moved to, as one node does.
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] {
        QItemSelectionModel *selection = TreeView1->selectionModel();
        if (!selection->hasSelection() && selection->currentIndex().isValid())
            selection->select(selection->currentIndex(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    });
    buildPopupMenus(context, commands, images);
    buildToolBar(context, commands, images);
    m_findBar = new FindBar(*m_model, *this, this);
    connect(TreeView1->selectionModel(), &QItemSelectionModel::selectionChanged, m_findBar, &FindBar::showCount);
    static_cast<QVBoxLayout *>(layout())->insertWidget(1, m_findBar);
    connect(TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { TVPopUp->popup(TreeView1->viewport()->mapToGlobal(pos)); });
}

void TreePane::buildPopupMenus(WindowContext &context, NodeCommands &commands, const QList<QIcon> &images)
{
    TVPopUp = named(new QMenu(this), "TVPopUp");
    QMenu *addGroup = named(TVPopUp->addMenu(images.at(GroupImage), QStringLiteral("グループの追加(&G)")),
                            "TVPop_AddGroup1");
    addActionItem(addGroup, "TVPop_TopLevelAddGroup1", commands.TopLevelAddGroupAction1);
    addActionItem(addGroup, "TVPop_ChildAddGroup1", commands.ChildAddGroupAction1);
    addActionItem(addGroup, "TVPop_InsertGroup1", commands.InsertGroupAction1);
    QMenu *addLink = named(TVPopUp->addMenu(images.at(LinkImage), QStringLiteral("リンクの追加(&L)")),
                           "TVPop_AddLink1");
    addActionItem(addLink, "TVPop_TopLevelAddLink1", commands.TopLevelAddLinkAction1);
    addActionItem(addLink, "TVPop_ChildAddLink1", commands.ChildAddLinkAction1);
    addActionItem(addLink, "TVPop_InsertLink1", commands.InsertLinkAction1);
    named(TVPopUp->addSeparator(), "TVPop_Sepa1");
    auto *deleteItem = named(TVPopUp->addAction(images.at(DeleteImage), QStringLiteral("削除(&D)")), "TVPop_Delete1");
    // The Delete key runs the tree's own delete, in the tree only.
    deleteItem->setShortcut(QKeySequence::Delete);
    deleteItem->setShortcutContext(Qt::WidgetShortcut);
    TreeView1->addAction(deleteItem);
    connect(deleteItem, &QAction::triggered, this,
            context.command(this, &commands, &NodeCommands::deleteTreeNode));

    DDGroupMenu = named(new QMenu(this), "DDGroupMenu");
    addActionItem(DDGroupMenu, "DDGroup_AddTop", commands.TopLevelAddGroupAction1);
    addActionItem(DDGroupMenu, "DDGroup_AddChild", commands.ChildAddGroupAction1);
    addActionItem(DDGroupMenu, "DDGroup_Insert", commands.InsertGroupAction1);
    DDLinkMenu = named(new QMenu(this), "DDLinkMenu");
    addActionItem(DDLinkMenu, "DDLink_AddTop", commands.TopLevelAddLinkAction1);
    addActionItem(DDLinkMenu, "DDLink_AddChild", commands.ChildAddLinkAction1);
    addActionItem(DDLinkMenu, "DDLink_Insert", commands.InsertLinkAction1);

    for (QMenu *menu : {TVPopUp, addGroup, addLink, DDGroupMenu, DDLinkMenu})
        forwardStatusTips(menu, window());
    // The update cycle runs before every menu that holds an action opens.
    for (QMenu *menu : {addGroup, addLink, DDGroupMenu, DDLinkMenu})
        connect(menu, &QMenu::aboutToShow, &commands, &NodeCommands::updateActions);
}

void TreePane::buildToolBar(WindowContext &context, NodeCommands &commands, const QList<QIcon> &images)
{
    ToolBar1 = named(new QToolBar(this), "ToolBar1");
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setSpacing(0);
    ToolBar1->setStyleSheet(QStringLiteral("QToolBar { border: 1px solid palette(mid); padding: 0px; spacing: 0px; }"));

    auto button = [this, &images](ToolBarButtonKind kind, const char *name, int width, int image, const QString &tip,
                                  const QString &status) {
        auto *b = named(new ToolBarButton(kind, ToolBar1), name);
        b->setFixedSize(width, 22);
        b->setIcon(images.at(image));
        b->setToolTip(tip);
        b->setStatusTip(status);
        ToolBar1->addWidget(b);
        return b;
    };
    auto *addGroupButton = button(ToolBarButtonKind::DropDown, "TlAddGroupBtn1", 34, GroupImage,
                            QStringLiteral("グループ追加"), QStringLiteral("グループを追加"));
    addGroupButton->setPopupMode(QToolButton::MenuButtonPopup);
    addGroupButton->setMenu(DDGroupMenu);
    auto *addLinkButton = button(ToolBarButtonKind::DropDown, "TlAddLinkBtn1", 34, LinkImage,
                           QStringLiteral("リンク追加"), QStringLiteral("リンクを追加"));
    addLinkButton->setPopupMode(QToolButton::MenuButtonPopup);
    addLinkButton->setMenu(DDLinkMenu);

    auto *divider = named(new QWidget(ToolBar1), "TlSepa1");
    divider->setFixedSize(8, 22);
    auto *dividerLayout = new QHBoxLayout(divider);
    dividerLayout->setContentsMargins(3, 3, 3, 3);
    auto *line = new QFrame(divider);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    dividerLayout->addWidget(line);
    named(ToolBar1->addWidget(divider), "TlSepa1");

    auto *deleteButton = button(ToolBarButtonKind::Plain, "TlBtn3", 23, DeleteImage, QStringLiteral("削除"),
                    QStringLiteral("選択ノードを削除"));
    static_cast<QVBoxLayout *>(layout())->insertWidget(0, ToolBar1);

    // The add buttons call the child commands directly: no action can disable them.
    connect(addGroupButton, &QToolButton::clicked, this,
            context.command(this, &commands, &NodeCommands::addChildGroup));
    connect(addLinkButton, &QToolButton::clicked, this,
            context.command(this, &commands, &NodeCommands::addChildLink));
    connect(deleteButton, &QToolButton::clicked, this, context.command(this, &commands, &NodeCommands::deleteTreeNode));
}

int TreePane::toolBarWidth() const
{
    int width = 0;
    for (QAction *action : ToolBar1->actions()) {
        if (QWidget *widget = ToolBar1->widgetForAction(action))
            width += widget->minimumWidth();
    }
    return width;
}

LinkNode *TreePane::selectedNode() const
{
    // Of several, the one last clicked or reached by the keys.
    const QItemSelectionModel *selection = TreeView1->selectionModel();
    if (const QModelIndex current = selection->currentIndex(); selection->isSelected(current))
        return m_model->nodeFromIndex(current);
    const QModelIndexList selected = selection->selectedIndexes();
    return selected.isEmpty() ? nullptr : m_model->nodeFromIndex(selected.constFirst());
}

std::vector<LinkNode *> TreePane::selectedNodes() const
{
    std::vector<LinkNode *> nodes;
    // A node's fields are columns of the model; the tree selects its name's column.
    for (const QModelIndex &index : TreeView1->selectionModel()->selectedIndexes())
        if (index.column() == 0)
            nodes.push_back(m_model->nodeFromIndex(index));
    return nodes;
}

void TreePane::focusTree()
{
    TreeView1->setFocus(Qt::OtherFocusReason);
}

bool TreePane::isExpanded(const LinkNode *node) const
{
    return TreeView1->isExpanded(m_model->indexFromNode(node));
}

void TreePane::selectNode(const LinkNode *node)
{
    TreeView1->selectionModel()->setCurrentIndex(m_model->indexFromNode(node), QItemSelectionModel::ClearAndSelect);
}

void TreePane::selectNodes(const std::vector<LinkNode *> &nodes, const LinkNode *current)
{
    QItemSelection selection;
    for (const LinkNode *node : nodes) {
        const QModelIndex index = m_model->indexFromNode(node);
        selection.select(index, index);
    }
    QItemSelectionModel *model = TreeView1->selectionModel();
    model->setCurrentIndex(m_model->indexFromNode(current), QItemSelectionModel::NoUpdate);
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TreePane::expandNode(const LinkNode *node)
{
    TreeView1->expand(m_model->indexFromNode(node));
}

void TreePane::scrollToNode(const LinkNode *node)
{
    TreeView1->scrollTo(m_model->indexFromNode(node));
}

void TreePane::moveCurrentFrom(const QModelIndex &parent, int first, int last)
{
    // A view that selects one node moves it this way by itself; one that selects several leaves
    // the current node to vanish. The node leaving, or holding the current one, hands it on to
    // the sibling after it, else the one before, else its group.
    QModelIndex leaving = TreeView1->currentIndex().siblingAtColumn(0);
    while (leaving.isValid() && leaving.parent() != parent)
        leaving = leaving.parent();
    if (!leaving.isValid() || leaving.row() < first || leaving.row() > last)
        return;
    const int rows = m_model->rowCount(parent);
    QModelIndex next = parent;
    if (last + 1 < rows)
        next = m_model->index(last + 1, 0, parent);
    else if (first > 0)
        next = m_model->index(first - 1, 0, parent);
    if (next.isValid())
        TreeView1->selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect
                                                               | QItemSelectionModel::Rows);
}

bool TreePane::eventFilter(QObject *watched, QEvent *event)
{
    // A right-click selects the node under the pointer, so the pop-up acts on the node it was
    // opened over; beside the rows it keeps the selection. It never starts a drag or an edit.
    const auto type = event->type();
    if (watched == TreeView1->viewport() && EditorText::isMouseButtonEvent(type)
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        const QModelIndex under = TreeView1->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (type == QEvent::MouseButtonPress && under.isValid())
            selectNode(m_model->nodeFromIndex(under));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
