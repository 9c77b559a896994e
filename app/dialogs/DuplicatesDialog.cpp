#include "app/dialogs/DuplicatesDialog.h"

#include "app/editing/LinkTreeModel.h"
#include "app/window/Named.h"
#include "treetools/SamePage.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

// The groups above a link, outermost first, as the user finds it in the tree.
QString placeOf(const LinkNode *node)
{
    QStringList names;
    for (const LinkNode *up = node->parent(); up; up = up->parent())
        names.prepend(up->text());
    return names.isEmpty() ? QStringLiteral("（最上位）") : names.join(QStringLiteral(" › "));
}

} // namespace

DuplicatesDialog::DuplicatesDialog(LinkTreeModel &model, QWidget *parent)
    : QDialog(parent), m_model(model), m_summary(named(new QLabel(this), "DuplicatesSummary1")),
      m_list(named(new QTreeWidget(this), "DuplicatesList1"))
{
    setObjectName(QStringLiteral("DuplicatesDialog"));
    setWindowTitle(QStringLiteral("重複リンク"));
    m_list->setHeaderLabels({QStringLiteral("名前"), QStringLiteral("リンク先"), QStringLiteral("場所")});
    m_list->setUniformRowHeights(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(560, 360);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemActivated, this, &DuplicatesDialog::rowActivated);
    // Rows hold nodes: they go before any node leaves, and come back once the tree has settled.
    const auto later = [this] {
        if (std::exchange(m_refillPending, true))
            return;
        QTimer::singleShot(0, this, [this] {
            m_refillPending = false;
            if (isVisible())
                refill();
        });
    };
    connect(&m_model, &LinkTreeModel::nodesAboutToBeRemoved, this, [this, later] {
        m_list->clear();
        later();
    });
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, m_list, &QTreeWidget::clear);
    // The sets are in the tree's order.
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, later);
    connect(&m_model, &QAbstractItemModel::rowsMoved, this, later);
    connect(&m_model, &QAbstractItemModel::layoutChanged, this, later);
    connect(&m_model, &QAbstractItemModel::modelReset, this, later);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, later);
}

void DuplicatesDialog::refill()
{
    m_list->clear();
    const auto sets = SamePage::duplicateLinks(m_model.tree());
    QList<QTreeWidgetItem *> items;
    int links = 0;
    for (const std::vector<LinkNode *> &set : sets) {
        auto *page = new QTreeWidgetItem(
            {QStringLiteral("%1 件").arg(set.size()), SamePage::pageKey(set.front()->record().Href)});
        for (LinkNode *node : set) {
            auto *row = new QTreeWidgetItem(page, {node->text(), node->record().Href, placeOf(node)});
            row->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void *>(node)));
        }
        links += static_cast<int>(set.size());
        items << page;
    }
    m_list->addTopLevelItems(items);
    m_list->expandAll();
    m_list->header()->resizeSections(QHeaderView::ResizeToContents);
    m_summary->setText(sets.empty() ? QStringLiteral("同じページへのリンクはありません")
                                    : QStringLiteral("%1 ページに %2 件のリンクがあります").arg(sets.size()).arg(links));
}

void DuplicatesDialog::rowActivated(QTreeWidgetItem *row)
{
    auto *node = static_cast<LinkNode *>(row->data(0, Qt::UserRole).value<void *>());
    if (node && m_model.contains(node))
        emit nodePicked(node);
}
