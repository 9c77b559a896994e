#include "app/linkcheck/LinkCheckDialog.h"

#include "app/linkcheck/BrokenLinkMarks.h"
#include "app/editing/LinkTreeModel.h"
#include "app/window/Named.h"
#include "app/window/WindowMemory.h"
#include "app/dialogs/Prompts.h"
#include "app/editing/TreeSteps.h"
#include "linkcheck/LinkChecker.h"
#include "files/SafeFileWrite.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { AnswerColumn, NodeColumn, AddressColumn, FinalColumn, ColumnCount };
// Broken answers sort first, then moved links, then the rest.
constexpr int RankRole = Qt::UserRole;

// The node's name after the names of the groups above it.
QString groupPath(const LinkNode *node)
{
    QStringList names{node->text()};
    for (const LinkNode *group = node->parent(); group; group = group->parent())
        names.prepend(group->text());
    return names.join(QStringLiteral(" / "));
}

class AnswerItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : AnswerColumn;
        if (column == AnswerColumn) {
            const int rank = data(AnswerColumn, RankRole).toInt();
            const int otherRank = other.data(AnswerColumn, RankRole).toInt();
            if (rank != otherRank)
                return rank < otherRank;
        }
        return QTreeWidgetItem::operator<(other);
    }
};

QString csvField(QString text)
{
    if (!text.contains(QRegularExpression(QStringLiteral("[\",\r\n]"))))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

} // namespace

LinkCheckDialog::LinkCheckDialog(LinkTreeModel &model, QAbstractItemView &treeView, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_model(model), m_prompts(prompts), m_checker(new LinkChecker(this)),
      m_marks(new BrokenLinkMarks(model, treeView))
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
    m_results->sortByColumn(AnswerColumn, Qt::AscendingOrder);
    m_results->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_results->header()->setSectionResizeMode(QHeaderView::Interactive);
    layout->addWidget(m_results, 1);
    auto *buttonRow = new QHBoxLayout;
    m_brokenOnly = named(new QCheckBox(QStringLiteral("切れているリンクだけ"), this), "LinkCheckBrokenOnly");
    m_again = named(new QPushButton(QStringLiteral("もう一度（切れたリンク）"), this), "LinkCheckAgainBtn");
    m_update = named(new QPushButton(QStringLiteral("新しいアドレスに更新"), this), "LinkCheckUpdateBtn");
    m_save = named(new QPushButton(QStringLiteral("保存"), this), "LinkCheckSaveBtn");
    buttonRow->addWidget(m_brokenOnly);
    buttonRow->addStretch(1);
    for (QPushButton *button : {m_again, m_update, m_save}) {
        button->setAutoDefault(false);
        buttonRow->addWidget(button);
    }
    layout->addLayout(buttonRow);
    WindowMemory::restore(*this, QStringLiteral("linkCheck"));
    WindowMemory::restore(*m_results->header(), QStringLiteral("linkCheckColumns"));

    connect(m_cancel, &QPushButton::clicked, m_checker, &LinkChecker::cancel);
    connect(m_checker, &LinkChecker::progress, this, [this](int done, int total) {
        m_progress->setMaximum(total);
        m_progress->setValue(done);
    });
    connect(m_checker, &LinkChecker::answered, this, &LinkCheckDialog::answered);
    connect(m_checker, &LinkChecker::finished, this, &LinkCheckDialog::finished);
    connect(m_results, &QTreeWidget::itemActivated, this, &LinkCheckDialog::rowActivated);
    connect(m_brokenOnly, &QCheckBox::toggled, this, &LinkCheckDialog::showBrokenOnly);
    connect(m_again, &QPushButton::clicked, this, &LinkCheckDialog::checkBrokenAgain);
    connect(m_update, &QPushButton::clicked, this, &LinkCheckDialog::updateMoved);
    connect(m_save, &QPushButton::clicked, this, &LinkCheckDialog::saveAnswers);
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

void LinkCheckDialog::placeBeside(const QWidget &window, const QWidget &keepVisible)
{
    const QRect frame = window.frameGeometry();
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : frame;
    const QSize size = frameGeometry().size().expandedTo(this->size());
    QPoint place(frame.right() + 1, frame.top());
    if (place.x() + size.width() > room.right() + 1) {
        if (frame.left() - size.width() >= room.left())
            place.setX(frame.left() - size.width());
        else
            place.setX(std::max(room.right() + 1 - size.width(),
                                keepVisible.mapToGlobal(QPoint(keepVisible.width(), 0)).x()));
    }
    place.setY(std::clamp(place.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
    move(place);
}

void LinkCheckDialog::start(const QString &baseFolder, const QString &rootFolder)
{
    m_baseFolder = baseFolder;
    m_rootFolder = rootFolder;
    run({});
}

void LinkCheckDialog::run(const std::function<bool(const LinkNode *)> &only)
{
    m_checker->cancel();
    m_results->clear();
    m_rows.clear();
    m_gone.clear();
    m_ending.clear();
    m_summary->setText(QStringLiteral("チェック中…"));
    m_cancel->setEnabled(true);
    m_again->setEnabled(false);
    m_progress->setRange(0, 0);
    // A new check forgets the marks of the last.
    m_marks->mark({});
    m_checker->start(m_model.tree(), m_baseFolder, m_rootFolder, only);
}

void LinkCheckDialog::answered(int index)
{
    const LinkCheckResult &result = m_checker->results()[size_t(index)];
    if (m_gone.contains(result.node))
        return;
    auto *item = new AnswerItem({result.answer, groupPath(result.node), result.address, result.finalAddress});
    const int rank = result.broken ? 0 : result.movedTo.isEmpty() ? 2 : 1;
    item->setData(AnswerColumn, RankRole, rank);
    if (result.broken)
        item->setForeground(AnswerColumn, QColor(Qt::red));
    m_rows.insert(item, {const_cast<LinkNode *>(result.node), result.address, result.movedTo, result.broken});
    m_results->addTopLevelItem(item);
    item->setHidden(m_brokenOnly->isChecked() && !result.broken);
}

void LinkCheckDialog::finished(bool cancelled)
{
    m_cancel->setEnabled(false);
    m_again->setEnabled(true);
    m_progress->setRange(0, 1);
    m_progress->setValue(cancelled ? 0 : 1);
    if (cancelled && m_ending.isEmpty())
        m_ending = QStringLiteral("中止しました。");
    // A link edited since it was asked about keeps no mark from its old address.
    QHash<const LinkNode *, QString> broken;
    for (auto row = m_rows.cbegin(); row != m_rows.cend(); ++row) {
        if (row->broken && row->node->record().Href == row->address)
            broken.insert(row->node, row.key()->text(AnswerColumn));
    }
    m_marks->mark(broken);
    for (int column = 0; column < ColumnCount; ++column)
        m_results->resizeColumnToContents(column);
    showSummary();
}

void LinkCheckDialog::showSummary()
{
    int broken = 0;
    int moved = 0;
    for (const Row &row : std::as_const(m_rows)) {
        broken += row.broken ? 1 : 0;
        moved += row.movedTo.isEmpty() ? 0 : 1;
    }
    int skipped = 0;
    for (const auto &[reason, count] : m_checker->skipped())
        skipped += count;
    m_summary->setText(m_ending
                       + QStringLiteral("%1 件をチェック、切れているリンク %2 件、移動したリンク %3 件、"
                                        "チェックしなかったリンク %4 件")
                             .arg(m_rows.size())
                             .arg(broken)
                             .arg(moved)
                             .arg(skipped));
}

void LinkCheckDialog::nodesLeaving(const LinkNode *root)
{
    if (!root) {
        // Another tree: no answer belongs to it.
        m_results->clear();
        m_rows.clear();
        if (m_checker->isRunning()) {
            m_ending = QStringLiteral("ツリーが置き換えられたため、チェックを終えました。");
            m_checker->cancel();
        } else {
            showSummary();
        }
        return;
    }
    for (const LinkNode *node : m_model.tree().subtree(root))
        m_gone.insert(node);
    for (auto row = m_rows.begin(); row != m_rows.end();) {
        if (m_gone.contains(row->node)) {
            delete row.key();
            row = m_rows.erase(row);
        } else {
            ++row;
        }
    }
    if (!m_checker->isRunning())
        showSummary();
}

void LinkCheckDialog::rowActivated(QTreeWidgetItem *item)
{
    const auto row = m_rows.constFind(item);
    if (row != m_rows.cend())
        emit nodePicked(row->node);
}

void LinkCheckDialog::showBrokenOnly(bool brokenOnly)
{
    for (auto row = m_rows.cbegin(); row != m_rows.cend(); ++row)
        row.key()->setHidden(brokenOnly && !row->broken);
}

void LinkCheckDialog::checkBrokenAgain()
{
    QSet<const LinkNode *> broken;
    for (const Row &row : std::as_const(m_rows)) {
        if (row.broken)
            broken.insert(row.node);
    }
    run([broken](const LinkNode *node) { return broken.contains(node); });
}

void LinkCheckDialog::updateMoved()
{
    std::vector<EditFieldsStep::Edit> edits;
    for (QTreeWidgetItem *item : m_results->selectedItems()) {
        Row &row = m_rows[item];
        // A link edited since the check keeps what the user wrote.
        if (row.movedTo.isEmpty() || row.node->record().Href != row.address)
            continue;
        edits.push_back({row.node, row.movedTo});
        item->setText(AddressColumn, row.movedTo);
        row.address = std::exchange(row.movedTo, {});
    }
    if (!edits.empty())
        m_model.perform(new EditFieldsStep(m_model, QStringLiteral("新しいアドレスに更新"), NodeField::Href, edits));
}

void LinkCheckDialog::saveAnswers()
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("CSV ファイル (*.csv)|*.csv;");
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.folder = m_baseFolder;
    dialog.confirmOverwrite = true;
    const std::optional<QString> file = m_prompts.saveFileName(this, dialog);
    if (!file)
        return;
    // The header is an item too, so it is written as the rows are.
    const auto csvLine = [](const QTreeWidgetItem *item) {
        QStringList fields;
        for (int column = 0; column < ColumnCount; ++column)
            fields << csvField(item->text(column));
        return fields.join(QLatin1Char(','));
    };
    QStringList lines{csvLine(m_results->headerItem())};
    for (int i = 0; i < m_results->topLevelItemCount(); ++i)
        lines << csvLine(m_results->topLevelItem(i));
    if (const auto failure = writeFileSafely(*file, (lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8()))
        m_prompts.error(this, QStringLiteral("%1 に書き込めませんでした（%2）").arg(*file, *failure));
}
