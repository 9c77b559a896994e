#include "app/LinkCheckDialog.h"

#include "app/LinkTreeModel.h"
#include "app/Named.h"
#include "app/WindowMemory.h"
#include "import/LinkChecker.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <unordered_set>

namespace {

enum Column { AnswerColumn, NodeColumn, AddressColumn, FinalColumn };

// The node's name after the names of the groups above it.
QString groupPath(const LinkNode *node)
{
    QStringList names{node->text()};
    for (const LinkNode *group = node->parent(); group; group = group->parent())
        names.prepend(group->text());
    return names.join(QStringLiteral(" / "));
}

} // namespace

LinkCheckDialog::LinkCheckDialog(LinkTreeModel &model, QWidget *parent)
    : QDialog(parent), m_model(model), m_checker(new LinkChecker(this))
{
    setObjectName(QStringLiteral("LinkCheckDialog"));
    setWindowTitle(QStringLiteral("リンクチェック"));
    setModal(false);
    resize(720, 420);
    auto *layout = new QVBoxLayout(this);
    auto *progressRow = new QHBoxLayout;
    m_progress = named(new QProgressBar(this), "LinkCheckProgress");
    m_cancel = named(new QPushButton(QStringLiteral("中止"), this), "LinkCheckCancelBtn");
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_cancel);
    layout->addLayout(progressRow);
    m_summary = named(new QLabel(this), "LinkCheckSummary");
    layout->addWidget(m_summary);
    m_results = named(new QTreeWidget(this), "LinkCheckResults");
    m_results->setHeaderLabels({QStringLiteral("結果"), QStringLiteral("ノード"), QStringLiteral("リンク先"),
                                QStringLiteral("最終的なリンク先")});
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->setSortingEnabled(true);
    m_results->header()->setSectionResizeMode(QHeaderView::Interactive);
    layout->addWidget(m_results, 1);
    WindowMemory::restore(*this, QStringLiteral("linkCheck"));
    WindowMemory::restore(*m_results->header(), QStringLiteral("linkCheckColumns"));

    connect(m_cancel, &QPushButton::clicked, m_checker, &LinkChecker::cancel);
    connect(m_checker, &LinkChecker::progress, this, [this](int done, int total) {
        m_progress->setMaximum(total);
        m_progress->setValue(done);
    });
    connect(m_checker, &LinkChecker::finished, this, &LinkCheckDialog::finished);
    connect(m_results, &QTreeWidget::itemActivated, this, &LinkCheckDialog::rowActivated);
    connect(&model, &LinkTreeModel::nodesAboutToBeRemoved, this, &LinkCheckDialog::nodesLeaving);
}

LinkCheckDialog::~LinkCheckDialog()
{
    m_checker->disconnect(this);
    m_checker->cancel();
}

void LinkCheckDialog::hideEvent(QHideEvent *event)
{
    WindowMemory::save(*this, QStringLiteral("linkCheck"));
    WindowMemory::save(*m_results->header(), QStringLiteral("linkCheckColumns"));
    QDialog::hideEvent(event);
}

void LinkCheckDialog::start(const QString &baseFolder)
{
    m_results->clear();
    m_rowNodes.clear();
    m_summary->setText(QStringLiteral("チェック中…"));
    m_cancel->setEnabled(true);
    m_progress->setRange(0, 0);
    // A new check forgets the marks of the last.
    m_model.markBrokenLinks({});
    m_checker->start(m_model.tree(), baseFolder);
}

void LinkCheckDialog::finished(bool cancelled)
{
    m_cancel->setEnabled(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(cancelled ? 0 : 1);
    QHash<const LinkNode *, QString> broken;
    m_results->setSortingEnabled(false);
    for (const LinkCheckResult &result : m_checker->results()) {
        auto *row = new QTreeWidgetItem(m_results, {result.answer, groupPath(result.node), result.address,
                                                    result.finalAddress});
        row->setData(AnswerColumn, Qt::UserRole, int(m_rowNodes.size()));
        m_rowNodes.push_back(const_cast<LinkNode *>(result.node));
        if (result.broken) {
            row->setForeground(AnswerColumn, QColor(Qt::red));
            broken.insert(result.node, result.answer);
        }
    }
    m_results->setSortingEnabled(true);
    m_results->sortByColumn(AnswerColumn, Qt::AscendingOrder);
    m_model.markBrokenLinks(broken);
    int skipped = 0;
    for (const auto &[reason, count] : m_checker->skipped())
        skipped += count;
    m_summary->setText((cancelled ? QStringLiteral("中止しました。") : QString())
                       + QStringLiteral("%1 件をチェック、切れているリンク %2 件、チェックしなかったリンク %3 件")
                             .arg(m_checker->results().size())
                             .arg(broken.size())
                             .arg(skipped));
}

void LinkCheckDialog::nodesLeaving(const LinkNode *root)
{
    if (m_checker->isRunning())
        m_checker->cancel();
    if (m_rowNodes.empty())
        return;
    std::unordered_set<const LinkNode *> leaving;
    if (root) {
        for (const LinkNode *node : m_model.tree().subtree(root))
            leaving.insert(node);
    }
    for (LinkNode *&node : m_rowNodes) {
        if (!root || leaving.count(node))
            node = nullptr;
    }
}

void LinkCheckDialog::rowActivated(QTreeWidgetItem *row)
{
    const int index = row->data(AnswerColumn, Qt::UserRole).toInt();
    if (index >= 0 && index < int(m_rowNodes.size()) && m_rowNodes[size_t(index)])
        emit nodePicked(m_rowNodes[size_t(index)]);
}
