#include "app/editing/NodeCommands.h"

#include "app/editing/LinkTreeModel.h"
#include "app/window/Named.h"
#include "app/editing/NodeSetCommands.h"
#include "app/dialogs/Prompts.h"
#include "app/editing/SelectionClass.h"
#include "app/editing/NodeSelection.h"
#include "app/editing/TreeSteps.h"
#include "app/window/WindowContext.h"
#include "import/ImportFile.h"
#include "import/ImportResult.h"
#include "treetools/SamePage.h"
#include "text/TextRules.h"

#include <QAction>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace {

// Asks once for a group name: nothing on Cancel, an empty name when the answer was blank.
std::optional<QString> askGroupName(Prompts &prompts, QWidget *window)
{
    const std::optional<QString> answer = prompts.askText(window, QStringLiteral("グループの追加"),
                                                          QStringLiteral("グループ名の入力（後で変更可）"), 255);
    if (!answer)
        return std::nullopt;
    return TextRules::groupName(*answer);
}

} // namespace

NodeCommands::NodeCommands(WindowContext &context, NodeSelection &tree, QWidget *window)
    : QObject(window), ActionList1(named(new QObject(this), "ActionList1")), m_context(context), m_tree(tree),
      m_window(window)
{
    TopLevelAddGroupAction1 = makeAction("TopLevelAddGroupAction1", QStringLiteral("トップレベルに作成(&T)..."),
                                         QStringLiteral("Root位置にグループを追加する"),
                                         &NodeCommands::addTopLevelGroup);
    ChildAddGroupAction1 = makeAction("ChildAddGroupAction1", QStringLiteral("子要素に作成(&C)..."), {},
                                      &NodeCommands::addChildGroup);
    TopLevelAddLinkAction1 = makeAction("TopLevelAddLinkAction1", QStringLiteral("トップレベルに作成(&T)"),
                                        QStringLiteral("Root位置にリンクを追加する"),
                                        &NodeCommands::addTopLevelLink);
    ChildAddLinkAction1 = makeAction("ChildAddLinkAction1", QStringLiteral("子要素に作成(&C)"), {},
                                     &NodeCommands::addChildLink);
    LV_AddLinkAction1 = makeAction("LV_AddLinkAction1", QStringLiteral("リンクの追加(&A)"), {},
                                   &NodeCommands::addLinkToList);
    InsertLinkAction1 = makeAction("InsertLinkAction1", QStringLiteral("リンクを挿入(&I)"),
                                   QStringLiteral("選択アイテムの次にリンクを挿入する"),
                                   &NodeCommands::insertLink);
    InsertGroupAction1 = makeAction("InsertGroupAction1", QStringLiteral("グループを挿入(&I)"),
                                    QStringLiteral("選択アイテムの次にグループを挿入する"),
                                    &NodeCommands::insertGroup);
    // The keys work wherever the window has the focus, an editor field too: a name typed, the
    // next node follows.
    InsertLinkAction1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    InsertGroupAction1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return));
    window->addActions({InsertLinkAction1, InsertGroupAction1});
}

QAction *NodeCommands::makeAction(const char *name, const QString &caption, const QString &hint,
                                  void (NodeCommands::*handler)())
{
    auto *action = named(new QAction(caption, ActionList1), name);
    action->setStatusTip(hint);
    // The update cycle runs just before the action executes, and may disable it.
    connect(action, &QAction::triggered, this, [this, action, handler] {
        m_context.guarded(m_window, [&] {
            updateActions();
            if (action->isEnabled())
                (this->*handler)();
        });
    });
    return action;
}

LinkNode *NodeCommands::appendNew(LinkNode *parent, std::unique_ptr<LinkNode> node, const QString &caption)
{
    LinkTreeModel &model = m_context.model();
    std::vector<std::unique_ptr<LinkNode>> nodes;
    nodes.push_back(std::move(node));
    auto *step = new InsertNodesStep(model, caption, parent, model.tree().childCount(parent), std::move(nodes));
    LinkNode *added = step->nodes().front();
    model.perform(step);
    showNew(added);
    return added;
}

void NodeCommands::insertNew(std::unique_ptr<LinkNode> node, const QString &caption)
{
    LinkNode *selected = m_tree.selectedNode();
    showNew(NodeSetCommands::insertAt(m_context.model(), selected, selected && m_tree.isExpanded(selected),
                                      std::move(node), caption));
}

void NodeCommands::showNew(LinkNode *node)
{
    // The new node is selected, and its name or text can be typed at once.
    if (node->parent())
        m_tree.expandNode(node->parent());
    m_tree.selectNode(node);
    emit nodeAdded(node);
}

void NodeCommands::addGroupTo(LinkNode *parent)
{
    for (;;) {
        const std::optional<QString> name = askGroupName(m_context.prompts(), m_window);
        if (!name)
            return;
        if (!name->isEmpty()) {
            appendNew(parent, LinkTree::detachedGroup(*name), QStringLiteral("グループの追加"));
            return;
        }
    }
}

void NodeCommands::addTopLevelGroup()
{
    addGroupTo(nullptr);
}

void NodeCommands::addChildGroup()
{
    // With no group selected, the group goes to the top level.
    addGroupTo(owningGroup(m_tree.selectedNode()));
}

void NodeCommands::addTopLevelLink()
{
    appendNew(nullptr, LinkTree::detachedLink({}), QStringLiteral("リンクの追加"));
}

void NodeCommands::addChildLink()
{
    appendNew(owningGroup(m_tree.selectedNode()), LinkTree::detachedLink({}), QStringLiteral("リンクの追加"));
}

void NodeCommands::addLinkToList()
{
    const LinkNode *node = m_tree.selectedNode();
    if (node && (node->isGroup() || node->level() >= 1))
        addChildLink();
    else
        addTopLevelLink();
}

void NodeCommands::insertLink()
{
    insertNew(LinkTree::detachedLink({}), QStringLiteral("リンクの挿入"));
}

void NodeCommands::insertGroup()
{
    // A group is never nameless; the name stands selected in its editor, to be typed over.
    insertNew(LinkTree::detachedGroup(QStringLiteral("新しいグループ")), QStringLiteral("グループの挿入"));
}

void NodeCommands::deleteTreeNode()
{
    // The tree then picks its new selection, which lists its group.
    NodeSetCommands::remove(m_context.model(), m_tree.selectedNodes(), QStringLiteral("削除"));
}

void NodeCommands::updateActions()
{
    const QString childGroupCaption = QStringLiteral("選択アイテムの子要素に作成(&C)...");
    const QString childGroupHint = QStringLiteral("選択アイテムに子要素としてグループを追加");
    const QString childLinkCaption = QStringLiteral("選択アイテムの子要素に作成(&C)");
    const QString childLinkHint = QStringLiteral("選択アイテムの子要素としてリンクを追加");
    const QString siblingLinkCaption = QStringLiteral("選択アイテムと同レベルに作成(&C)");
    const QString siblingLinkHint = QStringLiteral("選択アイテムと同レベルにリンクを追加");

    auto set = [](QAction *action, bool enabled, const QString &caption, const QString &hint) {
        action->setEnabled(enabled);
        action->setText(caption);
        action->setStatusTip(hint);
    };
    switch (classifySelection(m_tree.selectedNode())) {
    case SelectionClass::None:
        set(ChildAddGroupAction1, false, childGroupCaption, childGroupHint);
        set(ChildAddLinkAction1, false, childLinkCaption, childLinkHint);
        break;
    case SelectionClass::Group:
        set(ChildAddGroupAction1, true, childGroupCaption, childGroupHint);
        set(ChildAddLinkAction1, true, childLinkCaption, childLinkHint);
        break;
    case SelectionClass::TopLevelLink:
        // The group action keeps whatever caption and hint it had.
        ChildAddGroupAction1->setEnabled(false);
        set(ChildAddLinkAction1, true, siblingLinkCaption, siblingLinkHint);
        break;
    case SelectionClass::NestedLink:
        set(ChildAddGroupAction1, true, QStringLiteral("選択アイテムの親に子要素として作成(&C)..."),
            QStringLiteral("つまり選択アイテムと同レベルにグループを追加するってこと"));
        set(ChildAddLinkAction1, true, siblingLinkCaption, siblingLinkHint);
        break;
    }
}

void NodeCommands::importLinks()
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("ブックマーク・OPML・JSON・出力したページ (*.html;*.htm;*.opml;*.xml;*.json)|"
                                   "*.html;*.htm;*.opml;*.xml;*.json|すべてのファイル (*)|*;");
    const std::optional<QString> chosen = m_context.prompts().openFileName(m_window, dialog);
    if (!chosen)
        return;
    // Read whole before anything changes; a fault leaves the tree as it was.
    ImportResult result = Import::readFile(*chosen);
    // The report names what a page should not take unseen; script addresses come in only when the
    // user keeps them, which the report asks.
    QStringList parts{result.summary()};
    if (const QString losses = result.lossReport(); !losses.isEmpty())
        parts << losses;
    const QString report = (parts + result.screening.lines()).join(QStringLiteral("\n\n"));
    bool asked = result.screening.hasScriptAddresses();
    if (asked) {
        if (m_context.prompts().question(m_window, QStringLiteral("インポート"),
                                         report + QStringLiteral("\n\nこれらのアドレスも読み込みますか？"
                                                                 "ページでスクリプトが動くようになります")))
            result.keepScriptAddresses();
    }
    // Links to pages the tree already has: counted in the report, and left out when the user says so.
    LinkTreeModel &model = m_context.model();
    if (const auto already = SamePage::linksAlreadyIn(model.tree(), *result.tree); !already.empty()) {
        const QString count = QStringLiteral("%1 件のリンクはすでにツリーにあるページへのリンクです。").arg(already.size());
        const QString text = (asked ? count : report + QStringLiteral("\n\n") + count)
            + QStringLiteral("\nこれらを読み込まずに飛ばしますか？");
        if (m_context.prompts().question(m_window, QStringLiteral("インポート"), text)) {
            result.tree->removeAll(already);
        }
        asked = true;
    }
    std::vector<std::unique_ptr<LinkNode>> nodes;
    for (int i = result.tree->topLevelCount(); i-- > 0;)
        nodes.push_back(result.tree->take(result.tree->topLevel(i)));
    std::reverse(nodes.begin(), nodes.end());
    if (!nodes.empty()) {
        LinkNode *parent = owningGroup(m_tree.selectedNode());
        model.perform(new InsertNodesStep(model, QStringLiteral("インポート"), parent, model.tree().childCount(parent),
                                          std::move(nodes)));
        if (parent)
            m_tree.expandNode(parent);
    }
    if (!asked)
        m_context.prompts().information(m_window, report);
}
