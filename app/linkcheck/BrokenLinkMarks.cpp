#include "app/linkcheck/BrokenLinkMarks.h"

#include "app/editing/LinkTreeModel.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

BrokenLinkMarks::BrokenLinkMarks(LinkTreeModel &model, QAbstractItemView &view)
    : QStyledItemDelegate(&view), m_model(model)
{
    view.setItemDelegate(this);
    // An edited link is no longer known to be broken; a node that leaves takes its mark along.
    connect(&model, &LinkTreeModel::nodeChanged, this, [this](LinkNode *node) { m_answers.remove(node); });
    connect(&model, &LinkTreeModel::nodesAboutToBeRemoved, this, [this](const LinkNode *root) {
        if (!root)
            m_answers.clear();
        else if (!m_answers.isEmpty())
            for (const LinkNode *leaving : m_model.tree().subtree(root))
                m_answers.remove(leaving);
    });
}

void BrokenLinkMarks::mark(const QHash<const LinkNode *, QString> &answers)
{
    m_answers = answers;
    static_cast<QAbstractItemView *>(parent())->viewport()->update();
}

void BrokenLinkMarks::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (isMarked(m_model.nodeFromIndex(index)))
        option->palette.setBrush(QPalette::Text, QColor(Qt::red));
}

bool BrokenLinkMarks::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                const QModelIndex &index)
{
    const auto answer = m_answers.constFind(m_model.nodeFromIndex(index));
    if (event->type() != QEvent::ToolTip || answer == m_answers.cend())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QToolTip::showText(event->globalPos(), *answer, view);
    return true;
}
