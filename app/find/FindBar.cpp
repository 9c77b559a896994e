#include "app/find/FindBar.h"

#include "app/editing/LinkTreeModel.h"
#include "app/window/Named.h"
#include "app/editing/NodeSelection.h"
#include "find/FindIndex.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

FindBar::FindBar(LinkTreeModel &model, NodeSelection &tree, QWidget *parent)
    : QWidget(parent), m_model(model), m_tree(tree), m_index(std::make_unique<FindIndex>(model.tree()))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 1, 0, 1);
    layout->setSpacing(4);
    FindEdit = named(new QLineEdit(this), "FindEdit");
    FindEdit->setPlaceholderText(QStringLiteral("検索"));
    FindEdit->setStatusTip(QStringLiteral("名前・リンク先・クラス・IDで探す（Enter/F3: 次、Shift+F3: 前、Esc: やめる）"));
    FindEdit->installEventFilter(this);
    m_count = named(new QLabel(this), "FindCount");
    layout->addWidget(FindEdit, 1);
    layout->addWidget(m_count);

    connect(FindEdit, &QLineEdit::textChanged, this, &FindBar::textEdited);
    // Any change of the tree may change what matches. A change of its shape makes the index anew on
    // the next search; an edit of a node, as each keystroke in an editor is, refolds that node.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&model, signal, this, &FindBar::treeChanged);
    connect(&model, &QAbstractItemModel::rowsMoved, this, &FindBar::treeChanged);
    connect(&model, &QAbstractItemModel::layoutChanged, this, &FindBar::treeChanged);
    connect(&model, &QAbstractItemModel::dataChanged, this, &FindBar::nodesChanged);
    // Open and New show another tree object altogether.
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        m_index = std::make_unique<FindIndex>(m_model.tree());
        m_matches.reset();
        showCount();
    });
}

FindBar::~FindBar() = default;

void FindBar::startFind()
{
    FindEdit->setFocus(Qt::ShortcutFocusReason);
    FindEdit->selectAll();
}

const FindMatches &FindBar::matches()
{
    if (!m_matches || m_matchesFor != FindEdit->text()) {
        m_matches = std::make_unique<FindMatches>(m_index->matches(FindEdit->text()));
        m_matchesFor = FindEdit->text();
    }
    return *m_matches;
}

void FindBar::treeChanged()
{
    m_index->invalidate();
    m_matches.reset();
    if (!FindEdit->text().isEmpty())
        showCount();
}

void FindBar::nodesChanged(const QModelIndex &first, const QModelIndex &last)
{
    // Refolding one node moves the rest of the index along, so many nodes at once build it anew.
    constexpr int MostRefolded = 16;
    if (last.row() - first.row() >= MostRefolded) {
        treeChanged();
        return;
    }
    for (int row = first.row(); row <= last.row(); ++row) {
        if (const LinkNode *node = m_model.nodeFromIndex(first.siblingAtRow(row)))
            m_index->update(m_model.tree().absoluteIndex(node));
        else
            m_index->invalidate();
    }
    m_matches.reset();
    if (!FindEdit->text().isEmpty())
        showCount();
}

void FindBar::textEdited()
{
    go(0);
    showCount();
}

void FindBar::go(int step)
{
    const FindMatches &found = matches();
    if (found.isEmpty())
        return;
    const LinkNode *selected = m_tree.selectedNode();
    const int row = selected ? m_model.tree().absoluteIndex(selected) : -1;
    const int at = step == 0 ? 0 : step > 0 ? found.nextAfterRow(row) : found.previousBeforeRow(row);
    if (at < 0)
        return;
    // Scrolling to a node opens the groups above it.
    m_tree.scrollToNode(found.at(at));
    m_tree.selectNode(found.at(at));
}

void FindBar::showCount()
{
    const QString text = FindEdit->text();
    if (text.isEmpty()) {
        m_count->clear();
        return;
    }
    const FindMatches &found = matches();
    const LinkNode *selected = m_tree.selectedNode();
    const int at = selected ? found.indexOfRow(m_model.tree().absoluteIndex(selected)) : -1;
    m_count->setText(at >= 0 ? QStringLiteral("%1 / %2 件").arg(at + 1).arg(found.count())
                             : QStringLiteral("%1 件").arg(found.count()));
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FindEdit || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        go(1);
        return true;
    case Qt::Key_F3:
        go(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
        return true;
    case Qt::Key_Escape:
        FindEdit->clear();
        m_tree.focusTree();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
