#pragma once

#include <QHash>
#include <QStyledItemDelegate>

class LinkNode;
class LinkTreeModel;
class QAbstractItemView;

// Links a check found broken, drawn red in the tree with the check's answer as their tip, until
// the next check or an edit of the link. The marks are the link check's, no part of the document.
class BrokenLinkMarks : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // Draws the nodes of `view`, which shows `model`.
    BrokenLinkMarks(LinkTreeModel &model, QAbstractItemView &view);

    // Marks these links, each with its answer, in place of the marks there were.
    void mark(const QHash<const LinkNode *, QString> &answers);
    bool isMarked(const LinkNode *node) const { return m_answers.contains(node); }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    LinkTreeModel &m_model;
    QHash<const LinkNode *, QString> m_answers;
};
