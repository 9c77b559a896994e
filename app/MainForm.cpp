#include "app/MainForm.h"
#include "ui_MainForm.h"

#include "app/CommandGuard.h"
#include "app/ImageLists.h"
#include "app/LinkTreeModel.h"
#include "app/PopupPanel.h"
#include "app/QtPrompts.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QToolButton>

#include <limits>
#include <utility>

namespace {

// The list's grid lines.
class GridLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
};

// Keeps the selection drawn as selected when the view loses the focus.
void keepSelectionVisible(QWidget *view)
{
    QPalette palette = view->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    view->setPalette(palette);
}

bool isReturnKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TMain::TMain(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TMain>()), m_prompts(std::make_unique<QtPrompts>())
{
    QFont windowFont = font();
    windowFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP")});
    windowFont.setPixelSize(12);
    setFont(windowFont);

    ImageList1 = treeImageList();
    MenuImageList = menuImageList();
    m_model = new LinkTreeModel(this);
    m_model->setImages(ImageList1);

    ui->setupUi(this);
    ui->mnOpen1->setIcon(MenuImageList.at(0));
    ui->mnSave1->setIcon(MenuImageList.at(1));
    ui->mnVormikHelp1->setIcon(MenuImageList.at(2));
    buildActions();
    buildPopupMenus();
    buildToolBar();
    buildClassPicker();
    buildEditMenu();
    setUpViews();
    ui->Splitter1->setStretchFactor(0, 0);
    ui->Splitter1->setStretchFactor(1, 1);
    ui->Splitter1->setSizes({181, 595});

    connectHandlers();
    FormCreate();
}

TMain::~TMain()
{
    disconnectHandlers();
    FormDestroy();
}

void TMain::setPrompts(std::unique_ptr<Prompts> prompts)
{
    m_prompts = std::move(prompts);
}

void TMain::guarded(const std::function<void()> &command)
{
    runCommand(*m_prompts, this, command);
}

void TMain::executeAction(QAction *action, void (TMain::*handler)())
{
    guarded([&] {
        ActionList1Update();
        if (action->isEnabled())
            (this->*handler)();
    });
}

void TMain::setUpViews()
{
    ui->TreeView1->setModel(m_model);
    ui->TreeView1->viewport()->installEventFilter(this);
    keepSelectionVisible(ui->TreeView1);

    const int widths[] = {135, 245, 65, 50, 50, 62};
    for (int column = 0; column < 6; ++column)
        ui->ListView1->setColumnWidth(column, widths[column]);
    ui->ListView1->header()->setSectionsClickable(false);
    ui->ListView1->header()->setSectionsMovable(false);
    ui->ListView1->setItemDelegate(new GridLineDelegate(ui->ListView1));
    ui->ListView1->viewport()->installEventFilter(this);
    keepSelectionVisible(ui->ListView1);

    // A field shows a node's value whole: a line edit otherwise cuts anything past 32,767
    // characters, and the cut value would be written back.
    for (QLineEdit *edit : ui->Panel2->findChildren<QLineEdit *>())
        edit->setMaxLength(std::numeric_limits<int>::max());
    // A target is stored as typed: a completer would finish "_b" as "_blank" and match "_TOP"
    // to "_top" without regard to case.
    ui->TargetCmbBox->setCompleter(nullptr);
    ui->TargetCmbBox->addItems({QStringLiteral("_blank"), QStringLiteral("_self"), QStringLiteral("_top"),
                                QStringLiteral("_parent")});
    ui->TargetCmbBox->setCurrentIndex(-1);
    ui->TargetCmbBox->setEditText(QString());
}

void TMain::connectHandlers()
{
    auto run = [this](void (TMain::*handler)()) { return [this, handler] { guarded([&] { (this->*handler)(); }); }; };

    connect(ui->mnNew1, &QAction::triggered, this, run(&TMain::mnNew1Click));
    connect(ui->mnOpen1, &QAction::triggered, this, run(&TMain::mnOpen1Click));
    connect(ui->mnSave1, &QAction::triggered, this, run(&TMain::mnSave1Click));
    connect(ui->mnOutPutHTML1, &QAction::triggered, this, run(&TMain::mnOutPutHTML1Click));
    connect(ui->mnExit1, &QAction::triggered, this, run(&TMain::mnExit1Click));
    connect(ui->mnVormikHelp1, &QAction::triggered, this, run(&TMain::mnVormikHelp1Click));
    connect(ui->mnReadMe1, &QAction::triggered, this, run(&TMain::mnReadMe1Click));
    connect(ui->mnAbout1, &QAction::triggered, this, run(&TMain::mnAbout1Click));

    // The add buttons call the child commands directly: no action can disable them.
    connect(TlAddGroupBtn1, &QToolButton::clicked, this, run(&TMain::ChildAddGroupAction1Execute));
    connect(TlAddLinkBtn1, &QToolButton::clicked, this, run(&TMain::ChildAddLinkAction1Execute));
    connect(TlBtn3, &QToolButton::clicked, this, run(&TMain::TVPop_Delete1Click));
    connect(TVPop_Delete1, &QAction::triggered, this, run(&TMain::TVPop_Delete1Click));
    connect(LVPop_Delete1, &QAction::triggered, this, run(&TMain::LVPop_Delete1Click));

    const std::pair<QAction *, void (TMain::*)()> editCommands[] = {
        {ui->UndoAction1, &TMain::UndoAction1Execute},         {ui->RedoAction1, &TMain::RedoAction1Execute},
        {ui->CutAction1, &TMain::CutAction1Execute},           {ui->CopyAction1, &TMain::CopyAction1Execute},
        {ui->PasteAction1, &TMain::PasteAction1Execute},       {ui->MoveUpAction1, &TMain::MoveUpAction1Execute},
        {ui->MoveDownAction1, &TMain::MoveDownAction1Execute}, {ui->OutdentAction1, &TMain::OutdentAction1Execute},
        {ui->IndentAction1, &TMain::IndentAction1Execute},
    };
    for (const auto &[action, handler] : editCommands)
        connect(action, &QAction::triggered, this, run(handler));
    // The Edit actions follow the selection, the tree's shape and the clipboard.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_model, signal, this, &TMain::EditActionsUpdate);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, &TMain::EditActionsUpdate);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TMain::EditActionsUpdate);
    connect(ui->TreeView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TMain::EditActionsUpdate);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TMain::EditActionsUpdate);
    connect(ui->mnEdit, &QMenu::aboutToShow, this, &TMain::EditActionsUpdate);
    connect(m_model, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex &from, int, int, const QModelIndex &to) {
                guarded([&] { nodesMoved(m_model->nodeFromIndex(from), m_model->nodeFromIndex(to)); });
            });
    connect(m_model, &LinkTreeModel::dropFailed, this,
            [this](const QString &message) { prompts().error(this, message); });

    connect(m_model, &LinkTreeModel::nodesAboutToBeRemoved, this, &TMain::nodesLeaving);
    connect(m_model, &LinkTreeModel::nodeChanged, this, [this](LinkNode *node) { guarded([&] { nodeChanged(node); }); });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &TMain::treeSettled);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TMain::treeSettled);
    // Driven by the selection, not the current index: Qt moves the current index without
    // selecting anything (keyboard focus, a closed dialog), and the user never sees it.
    connect(ui->TreeView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        // While nodes leave, the new selection may still hold nodes that are about to go.
        if (m_treeReshaping) {
            m_treeSelectionMoved = true;
            return;
        }
        guarded([&] { TreeView1Change(selectedNode()); });
    });
    connect(ui->TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { TVPopUp->popup(ui->TreeView1->viewport()->mapToGlobal(pos)); });

    // Driven by the selection, not the current item: the editors load, and write into, the
    // selected row's node only. A row that stops being selected asks nothing of the handlers.
    connect(ui->ListView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        guarded([&] {
            if (QTreeWidgetItem *row = selectedRow()) {
                ListView1SelectItem(row, true);
                ListView1Change(row);
            }
        });
    });
    connect(ui->ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { LVPopUp->popup(ui->ListView1->viewport()->mapToGlobal(pos)); });

    connect(ui->LinkTextEdit, &QLineEdit::textChanged, this, run(&TMain::LinkTextEditChange));
    connect(ui->HrefEdit, &QLineEdit::textChanged, this, run(&TMain::HrefEditChange));
    connect(ui->TargetCmbBox, &QComboBox::editTextChanged, this, run(&TMain::TargetCmbBoxChange));
    connect(ui->TargetCmbBox, &QComboBox::activated, this, [this](int index) {
        guarded([&] {
            if (m_targetEditEnding)
                TargetCmbBoxChange();
            else
                TargetCmbBoxSelect(index);
        });
    });
    connect(ui->ClassEdit, &QLineEdit::textChanged, this, run(&TMain::ClassEditChange));
    connect(ui->IDEdit, &QLineEdit::textChanged, this, run(&TMain::IDEditChange));
    connect(ui->GroupNameEdit, &QLineEdit::textEdited, this, run(&TMain::GroupNameEditChange));
    for (QWidget *editor : editorFields())
        editor->installEventFilter(this);

    connect(ui->OverlapIDBtn, &QPushButton::clicked, this, run(&TMain::OverlapIDBtnClick));
    connect(ui->UsedClassBtn, &QPushButton::clicked, this, run(&TMain::UsedClassBtnClick));
    connect(ClassOKBtn, &QPushButton::clicked, this, run(&TMain::ClassOKBtnClick));
}

bool TMain::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (type == QEvent::StatusTip && qobject_cast<QMenu *>(watched)) {
        QCoreApplication::sendEvent(this, event);
        return true;
    }
    if (watched == ui->TreeView1->viewport()) {
        // A right-click never moves the tree's selection: the pop-up acts on the node already selected.
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
            || type == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
                return true;
        }
    }
    if (watched == ui->ListView1->viewport()) {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
            || type == QEvent::MouseButtonDblClick) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton)
                return true;
            if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
                QMetaObject::invokeMethod(this, [this] { guarded([this] { ListView1Click(); }); }, Qt::QueuedConnection);
        }
    }
    // Typing into an editor it has just entered begins a new step of the undo history.
    if (type == QEvent::FocusIn && editorFields().contains(watched))
        ++m_burst;
    if (watched == ui->TargetCmbBox && (type == QEvent::FocusOut || isReturnKey(event))) {
        // When its editing ends, an editable combo box turns a typed entry that names a listed
        // target into an activation. That is still typing, not a pick from the list.
        m_targetEditEnding = true;
        const auto done = qScopeGuard([this] { m_targetEditEnding = false; });
        ui->TargetCmbBox->event(event);
        return true;
    }
    // Leaving an editor means moving to another control, not switching windows or opening a menu.
    const auto isExit = [event] {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    };
    if (type == QEvent::FocusOut && isExit()) {
        if (watched == ui->ClassEdit)
            guarded([this] { ClassEditExit(); });
        else if (watched == ui->GroupNameEdit)
            guarded([this] { GroupNameEditExit(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMain::FormCreate()
{
    // The absolute index stays in every row, out of sight.
    ui->ListView1->setColumnHidden(AbsIndexColumn, true);

    int buttonWidths = 0;
    for (QAction *action : ToolBar1->actions()) {
        if (QWidget *widget = ToolBar1->widgetForAction(action))
            buttonWidths += widget->minimumWidth();
    }
    ui->LeftPanel->setMinimumWidth(buttonWidths + 5);
    ui->RightPanel->setMinimumWidth(buttonWidths + 5);
}

void TMain::FormDestroy()
{
    // The class picker is a top-level panel when closed; it goes with the window.
    delete PopupPanel1;
    PopupPanel1 = nullptr;
}

void TMain::TreeView1Deletion(const LinkNode *root)
{
    if (!root || (m_listedGroup && m_listedGroup->isWithin(root)))
        m_listedGroup = nullptr;
    // Rows of nodes that leave the tree leave the list at once, so no row can reach a stale node.
    for (int i = ui->ListView1->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem *row = ui->ListView1->topLevelItem(i);
        const LinkNode *node = rowNode(row);
        if (!root || !node || node->isWithin(root))
            delete ui->ListView1->takeTopLevelItem(i);
    }
}

void TMain::disconnectHandlers()
{
    // The base classes' destruction still closes the window and moves the focus, which makes
    // widgets signal; no handler may run on a window that is half gone.
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
    QGuiApplication::clipboard()->disconnect(this);
}

void TMain::nodesLeaving(const LinkNode *root)
{
    m_treeReshaping = true;
    m_selectedBeforeReshaping = selectedNode();
    // A list that loses its current row would hand the selection to a neighbour, which would
    // then drive the tree; the selection goes with the row instead.
    const LinkNode *current = rowNode(ui->ListView1->currentItem());
    if (current && (!root || current->isWithin(root)))
        ui->ListView1->selectionModel()->clear();
    TreeView1Deletion(root);
}

void TMain::treeSettled()
{
    if (!m_treeReshaping)
        return;
    m_treeReshaping = false;
    // The selection model also signals when the selected row merely moves; only a node the tree
    // newly picked is listed anew. No node is made while others leave, so the address compares safely.
    if (std::exchange(m_treeSelectionMoved, false) && selectedNode() != m_selectedBeforeReshaping)
        guarded([this] { TreeView1Change(selectedNode()); });
}

LinkNode *TMain::rowNode(const QTreeWidgetItem *row) const
{
    if (!row)
        return nullptr;
    return reinterpret_cast<LinkNode *>(row->data(0, Qt::UserRole).value<quintptr>());
}

LinkNode *TMain::selectedNode() const
{
    const QModelIndexList selected = ui->TreeView1->selectionModel()->selectedRows();
    return selected.isEmpty() ? nullptr : m_model->nodeFromIndex(selected.constFirst());
}

void TMain::selectNode(LinkNode *node)
{
    const QModelIndex index = m_model->indexFromNode(node);
    ui->TreeView1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

QList<QWidget *> TMain::editorFields() const
{
    return {ui->GroupNameEdit, ui->LinkTextEdit, ui->HrefEdit, ui->TargetCmbBox, ui->ClassEdit, ui->IDEdit};
}

QTreeWidgetItem *TMain::selectedRow() const
{
    const QList<QTreeWidgetItem *> rows = ui->ListView1->selectedItems();
    return rows.isEmpty() ? nullptr : rows.constFirst();
}
