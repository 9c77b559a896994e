#pragma once

#include <QWidget>

#include <memory>

class FindIndex;
class FindMatches;
class LinkTreeModel;
class QLabel;
class QLineEdit;
class QModelIndex;
class NodeSelection;

// The search field above the tree: typing selects the first node whose name, address, class or
// ID holds the text (case, width and kana aside), Enter or F3 the next, Shift+F3 the one before,
// Escape clears it and goes back to the tree. The tree is not filtered, so every command acts
// on the node shown selected.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    FindBar(LinkTreeModel &model, NodeSelection &tree, QWidget *parent = nullptr);
    ~FindBar() override;

    // Ctrl+F: the field takes the focus with its text selected.
    void startFind();
    // Shows how many nodes match and which of them is selected; the tree calls it when its
    // selection moves.
    void showCount();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void textEdited();
    void treeChanged();
    void nodesChanged(const QModelIndex &first, const QModelIndex &last);
    // Selects the match `step` places from the selected node (0: the first match).
    void go(int step);
    // The matches of the field's text, found once for each text and shape of the tree.
    const FindMatches &matches();

    LinkTreeModel &m_model;
    NodeSelection &m_tree;
    std::unique_ptr<FindIndex> m_index;
    std::unique_ptr<FindMatches> m_matches;
    QString m_matchesFor;
    QLineEdit *FindEdit;
    QLabel *m_count;
};
