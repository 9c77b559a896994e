// The commands that add and delete nodes, and the update cycle of their actions.
#include "app/MainForm.h"
#include "ui_MainForm.h"

#include "app/Prompts.h"
#include "app/SelectionClass.h"
#include "text/TextRules.h"
#include "app/LinkTreeModel.h"
#include "app/TreeSteps.h"

#include <QAction>
#include <QTreeView>
#include <QTreeWidget>

#include <optional>

namespace {

// Asks once for a group name: nothing on Cancel, an empty name when the answer was blank.
std::optional<QString> askGroupName(TMain &window)
{
    const std::optional<QString> answer = window.prompts().askText(
        &window, QStringLiteral("グループの追加"), QStringLiteral("グループ名の入力（後で変更可）"), 255);
    if (!answer)
        return std::nullopt;
    return TextRules::groupName(*answer);
}

// One new node as the last child of `parent` (the top level when null), as a step.
LinkNode *appendNew(TMain &window, LinkNode *parent, std::unique_ptr<LinkNode> node, const QString &caption)
{
    LinkTreeModel &model = window.treeModel();
    std::vector<std::unique_ptr<LinkNode>> nodes;
    nodes.push_back(std::move(node));
    auto *step = new InsertNodesStep(model, caption, parent, model.tree().childCount(parent), std::move(nodes));
    LinkNode *added = step->nodes().front();
    window.perform(step);
    return added;
}

LinkNode *appendGroup(TMain &window, LinkNode *parent, const QString &name)
{
    return appendNew(window, parent, LinkTree::detachedGroup(name), QStringLiteral("グループの追加"));
}

LinkNode *appendLink(TMain &window, LinkNode *parent)
{
    return appendNew(window, parent, LinkTree::detachedLink({}), QStringLiteral("リンクの追加"));
}

} // namespace

void TMain::deleteNode(LinkNode *node, const QString &caption)
{
    // The tree then picks its new selection, which refills the list.
    perform(new RemoveNodeStep(treeModel(), caption, node));
    if (!selectedNode())
        ui->ListView1->clear();
}

void TMain::TopLevelAddGroupAction1Execute()
{
    for (;;) {
        const std::optional<QString> name = askGroupName(*this);
        if (!name)
            return;
        if (!name->isEmpty()) {
            appendGroup(*this, nullptr, *name);
            return;
        }
    }
}

void TMain::ChildAddGroupAction1Execute()
{
    for (;;) {
        LinkNode *parent = owningGroup(selectedNode());
        if (!parent) {
            TopLevelAddGroupAction1Execute();
            return;
        }
        const std::optional<QString> name = askGroupName(*this);
        if (!name)
            return;
        if (!name->isEmpty()) {
            appendGroup(*this, parent, *name);
            ui->TreeView1->expand(treeModel().indexFromNode(parent));
            return;
        }
    }
}

void TMain::TopLevelAddLinkAction1Execute()
{
    // The list now shows the top-level links, whatever the tree has selected.
    FillLinkList(appendLink(*this, nullptr));
}

void TMain::ChildAddLinkAction1Execute()
{
    LinkNode *parent = owningGroup(selectedNode());
    if (!parent) {
        TopLevelAddLinkAction1Execute();
        return;
    }
    // The list is not refilled: the new link shows the next time its group is listed.
    appendLink(*this, parent);
    ui->TreeView1->expand(treeModel().indexFromNode(parent));
}

void TMain::LV_AddLinkAction1Execute()
{
    const LinkNode *node = selectedNode();
    if (node && (node->isGroup() || node->level() >= 1))
        ChildAddLinkAction1Execute();
    else
        TopLevelAddLinkAction1Execute();
}

void TMain::TVPop_Delete1Click()
{
    if (LinkNode *node = selectedNode())
        deleteNode(node, QStringLiteral("削除"));
}

void TMain::LVPop_Delete1Click()
{
    // The row leaves the list together with its node.
    if (LinkNode *node = rowNode(selectedRow()))
        deleteNode(node, QStringLiteral("削除"));
}

void TMain::ActionList1Update()
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
    switch (classifySelection(selectedNode())) {
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
