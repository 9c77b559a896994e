#pragma once

#include <QDialog>

#include <vector>

class LinkChecker;
class LinkNode;
class LinkTreeModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// ツール → リンクチェック: checks every link's address while the window stays usable, with a
// progress bar and a cancel button, then lists the answers; a double-click selects the link.
// The check changes nothing in the document: broken links are only marked in the tree.
class LinkCheckDialog : public QDialog
{
    Q_OBJECT

public:
    LinkCheckDialog(LinkTreeModel &model, QWidget *parent);
    ~LinkCheckDialog() override;

    // Checks anew; a relative address is a file under `baseFolder`.
    void start(const QString &baseFolder);
    LinkChecker &checker() { return *m_checker; }

signals:
    void nodePicked(LinkNode *node);

protected:
    // Its size and column widths are kept for the next check, in this run and the next.
    void hideEvent(QHideEvent *event) override;

private:
    void finished(bool cancelled);
    // Nodes that leave the tree leave the answers too; a check under way stops.
    void nodesLeaving(const LinkNode *root);
    void rowActivated(QTreeWidgetItem *row);

    LinkTreeModel &m_model;
    LinkChecker *m_checker;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    QLabel *m_summary;
    QTreeWidget *m_results;
    // The link of each answer row, by the row's number; null once it has left the tree.
    std::vector<LinkNode *> m_rowNodes;
};
