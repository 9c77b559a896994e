#pragma once

#include <QDialog>
#include <QHash>
#include <QSet>

#include <functional>

class BrokenLinkMarks;
class LinkChecker;
class LinkNode;
class LinkTreeModel;
class Prompts;
class QAbstractItemView;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// ツール → リンクチェック: checks every link's address while the window stays usable, with a
// progress bar and a cancel button, listing each answer as it comes, broken ones first; a
// double-click selects the link. The check changes nothing in the document (broken links are
// only marked in the tree) until the user updates moved links to their new addresses.
class LinkCheckDialog : public QDialog
{
    Q_OBJECT

public:
    // Marks the broken links in `treeView`, which shows `model`.
    LinkCheckDialog(LinkTreeModel &model, QAbstractItemView &treeView, Prompts &prompts, QWidget *parent);
    ~LinkCheckDialog() override;

    // Checks anew; a relative address is a file under `baseFolder`, a root-relative one under
    // `rootFolder`.
    void start(const QString &baseFolder, const QString &rootFolder = {});
    // Puts the window beside `window`'s frame, where it hides nothing of `keepVisible`.
    void placeBeside(const QWidget &window, const QWidget &keepVisible);
    LinkChecker &checker() { return *m_checker; }

signals:
    void nodePicked(LinkNode *node);

protected:
    // Its size and column widths are kept for the next check, in this run and the next.
    void hideEvent(QHideEvent *event) override;

private:
    struct Row
    {
        LinkNode *node = nullptr;
        QString address;
        QString movedTo;
        bool broken = false;
    };

    void run(const std::function<bool(const LinkNode *)> &only);
    void answered(int index);
    void finished(bool cancelled);
    // Nodes that leave the tree leave the answers too; a tree replaced ends the check.
    void nodesLeaving(const LinkNode *root);
    void rowActivated(QTreeWidgetItem *row);
    void showBrokenOnly(bool brokenOnly);
    void checkBrokenAgain();
    void updateMoved();
    void saveAnswers();
    void showSummary();

    LinkTreeModel &m_model;
    Prompts &m_prompts;
    LinkChecker *m_checker;
    BrokenLinkMarks *m_marks;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    QLabel *m_summary;
    QTreeWidget *m_results;
    QCheckBox *m_brokenOnly;
    QPushButton *m_again;
    QPushButton *m_update;
    QPushButton *m_save;
    QString m_baseFolder;
    QString m_rootFolder;
    QString m_ending; // said before the counts: why the check ended early
    QHash<QTreeWidgetItem *, Row> m_rows;
    // Links of this check that left the tree: their answers are dropped, never read.
    QSet<const LinkNode *> m_gone;
};
