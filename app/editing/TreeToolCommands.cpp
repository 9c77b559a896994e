#include "app/editing/TreeToolCommands.h"

#include "app/dialogs/DuplicatesDialog.h"
#include "app/dialogs/ReplaceDialog.h"
#include "app/panes/TreePane.h"
#include "app/editing/TreeTools.h"
#include "app/window/WindowContext.h"
#include "tree/LinkTree.h"

#include <QAction>

TreeToolCommands::TreeToolCommands(WindowContext &context, TreePane &tree, QWidget *window, const Actions &actions)
    : QObject(window), m_context(context), m_tree(tree), m_window(window), m_actions(actions)
{
    connect(actions.sortAscending, &QAction::triggered, this,
            [this] { m_context.guarded(m_window, [this] { sort(false); }); });
    connect(actions.sortDescending, &QAction::triggered, this,
            [this] { m_context.guarded(m_window, [this] { sort(true); }); });
    connect(actions.replace, &QAction::triggered, this, &TreeToolCommands::showReplace);
    connect(actions.duplicates, &QAction::triggered, this, &TreeToolCommands::showDuplicates);
}

void TreeToolCommands::sort(bool descending)
{
    // The selected group's children; a link's siblings; the top level when nothing is selected.
    LinkNode *selected = m_tree.selectedNode();
    LinkNode *parent = selected && selected->isGroup() ? selected : selected ? selected->parent() : nullptr;
    const bool sorted = TreeTools::sortChildren(m_context.model(), parent,
                                                {descending, m_actions.sortGroupsFirst->isChecked()});
    if (!sorted)
        emit statusMessage(QStringLiteral("すでにその順に並んでいます"));
    else if (parent)
        m_tree.expandNode(parent);
}

void TreeToolCommands::showReplace()
{
    if (!m_replace) {
        m_replace = new ReplaceDialog(m_context.model(), m_context.prompts(), m_window);
        connect(m_replace, &ReplaceDialog::statusMessage, this, &TreeToolCommands::statusMessage);
    }
    m_replace->show();
    m_replace->raise();
    m_replace->activateWindow();
}

void TreeToolCommands::showDuplicates()
{
    if (!m_duplicates) {
        m_duplicates = new DuplicatesDialog(m_context.model(), m_window);
        connect(m_duplicates, &DuplicatesDialog::nodePicked, this, &TreeToolCommands::nodePicked);
    }
    m_duplicates->refill();
    m_duplicates->show();
    m_duplicates->raise();
}
