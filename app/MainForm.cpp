#include "app/MainForm.h"

#include "app/CommandGuard.h"
#include "app/ImageLists.h"
#include "app/LinkTreeModel.h"
#include "app/LinkTreeView.h"
#include "app/Named.h"
#include "app/PopupPanel.h"
#include "app/QtPrompts.h"
#include "app/ToolBarButtonDrawing.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QSplitter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

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

// A field shows a node's value whole: a line edit otherwise cuts anything past 32,767
// characters, and the cut value would be written back.
void showsWholeValues(QLineEdit *edit)
{
    edit->setMaxLength(std::numeric_limits<int>::max());
}

// An aid button at its designed size, or larger where the desktop's font needs more room.
void holdsItsCaption(QPushButton *button)
{
    button->setMinimumSize(75, 21);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

// A labelled edit: the label sits above the edit and its accelerator focuses the edit.
QLineEdit *labelledEdit(QWidget *parent, const char *name, const QString &caption, const QString &hint,
                        QGridLayout *grid, int row, int column, int columnSpan)
{
    auto *edit = named(new QLineEdit(parent), name);
    showsWholeValues(edit);
    auto *label = named(new QLabel(caption, parent), (QByteArray(name) + "Label").constData());
    label->setBuddy(edit);
    edit->setStatusTip(hint);
    grid->addWidget(label, row, column, 1, columnSpan);
    grid->addWidget(edit, row + 1, column, 1, columnSpan);
    return edit;
}

} // namespace

TMain::TMain(QWidget *parent) : QMainWindow(parent), m_prompts(std::make_unique<QtPrompts>())
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("ヴォルミク"));
    QFont windowFont = font();
    windowFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP")});
    windowFont.setPixelSize(12);
    setFont(windowFont);
    resize(788, 533);

    ImageList1 = treeImageList();
    MenuImageList = menuImageList();
    m_model = new LinkTreeModel(this);
    m_model->setImages(ImageList1);

    buildActions();
    buildMenus();

    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    setStatusBar(StatusBar1);

    Splitter1 = named(new QSplitter(Qt::Horizontal, this), "Splitter1");
    Splitter1->setHandleWidth(4);
    Splitter1->setChildrenCollapsible(false);
    buildLeftPanel();
    buildRightPanel();
    Splitter1->addWidget(LeftPanel);
    Splitter1->addWidget(RightPanel);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({181, 595});
    setCentralWidget(Splitter1);

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

void TMain::buildActions()
{
    ActionList1 = named(new QObject(this), "ActionList1");
    auto action = [this](const char *name, const QString &caption, const QString &hint) {
        auto *a = named(new QAction(caption, ActionList1), name);
        a->setStatusTip(hint);
        return a;
    };
    TopLevelAddGroupAction1 = action("TopLevelAddGroupAction1", QStringLiteral("トップレベルに作成(&T)..."),
                                     QStringLiteral("Root位置にグループを追加する"));
    ChildAddGroupAction1 = action("ChildAddGroupAction1", QStringLiteral("子要素に作成(&C)..."), {});
    TopLevelAddLinkAction1 = action("TopLevelAddLinkAction1", QStringLiteral("トップレベルに作成(&T)"),
                                    QStringLiteral("Root位置にリンクを追加する"));
    ChildAddLinkAction1 = action("ChildAddLinkAction1", QStringLiteral("子要素に作成(&C)"), {});
    LV_AddLinkAction1 = action("LV_AddLinkAction1", QStringLiteral("リンクの追加(&A)"), {});

    connect(TopLevelAddGroupAction1, &QAction::triggered, this,
            [this] { executeAction(TopLevelAddGroupAction1, &TMain::TopLevelAddGroupAction1Execute); });
    connect(ChildAddGroupAction1, &QAction::triggered, this,
            [this] { executeAction(ChildAddGroupAction1, &TMain::ChildAddGroupAction1Execute); });
    connect(TopLevelAddLinkAction1, &QAction::triggered, this,
            [this] { executeAction(TopLevelAddLinkAction1, &TMain::TopLevelAddLinkAction1Execute); });
    connect(ChildAddLinkAction1, &QAction::triggered, this,
            [this] { executeAction(ChildAddLinkAction1, &TMain::ChildAddLinkAction1Execute); });
    connect(LV_AddLinkAction1, &QAction::triggered, this,
            [this] { executeAction(LV_AddLinkAction1, &TMain::LV_AddLinkAction1Execute); });
}

void TMain::executeAction(QAction *action, void (TMain::*handler)())
{
    guarded([&] {
        ActionList1Update();
        if (action->isEnabled())
            (this->*handler)();
    });
}

namespace {
// A menu item that shows an action's caption, hint and enabled state and runs it.
QAction *addActionItem(QMenu *menu, const char *name, QAction *source, const QIcon &icon = {})
{
    auto *item = named(new QAction(icon, source->text(), menu), name);
    auto mirror = [item, source] {
        item->setText(source->text());
        item->setStatusTip(source->statusTip());
        item->setEnabled(source->isEnabled());
    };
    mirror();
    QObject::connect(source, &QAction::changed, item, mirror);
    QObject::connect(item, &QAction::triggered, source, [source] { source->activate(QAction::Trigger); });
    menu->addAction(item);
    return item;
}
} // namespace

void TMain::buildMenus()
{
    MainMenu1 = named(menuBar(), "MainMenu1");
    auto item = [](QMenu *menu, const char *name, const QString &caption, const QString &hint) {
        auto *a = named(menu->addAction(caption), name);
        a->setStatusTip(hint);
        return a;
    };

    mnFile = named(MainMenu1->addMenu(QStringLiteral("ファイル(&F)")), "mnFile");
    mnNew1 = item(mnFile, "mnNew1", QStringLiteral("新規(&N)"), QStringLiteral("彼方此方（あちこち）を初期化する"));
    mnNew1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnOpen1 = item(mnFile, "mnOpen1", QStringLiteral("開く(&O)..."),
                   QStringLiteral("過去に作ったのが保存してあれば開けるかも？？"));
    mnOpen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnOpen1->setIcon(MenuImageList.at(0));
    mnSave1 = item(mnFile, "mnSave1", QStringLiteral("保存(&S)..."), QStringLiteral("保存する"));
    mnSave1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnSave1->setIcon(MenuImageList.at(1));
    named(mnFile->addSeparator(), "mnFileSepa1");
    mnOutPutHTML1 = item(mnFile, "mnOutPutHTML1", QStringLiteral("HTML出力(&H)..."), QStringLiteral("出力～"));
    named(mnFile->addSeparator(), "mnFileSepa2");
    mnExit1 = item(mnFile, "mnExit1", QStringLiteral("終了(&X)"), QStringLiteral("ﾏﾁﾞﾃﾞｽｶ???"));

    mnHelp = named(MainMenu1->addMenu(QStringLiteral("ヘルプ(&H)")), "mnHelp");
    mnVormikHelp1 = item(mnHelp, "mnVormikHelp1", QStringLiteral("Vormikヘルプ(&H)"), {});
    mnVormikHelp1->setIcon(MenuImageList.at(2));
    mnReadMe1 = item(mnHelp, "mnReadMe1", QStringLiteral("ReadMeの表示(&R)"),
                     QStringLiteral("このプログラムのReadMe（はじめにお読みください）を表示する"));
    named(mnHelp->addSeparator(), "mnHelpSepa1");
    mnAbout1 = item(mnHelp, "mnAbout1", QStringLiteral("バージョン情報(&A)..."), QStringLiteral("ばーじょんじょ～ほ～"));

    TVPopUp = named(new QMenu(this), "TVPopUp");
    TVPop_AddGroup1 = named(TVPopUp->addMenu(ImageList1.at(GroupImage), QStringLiteral("グループの追加(&G)")),
                            "TVPop_AddGroup1");
    addActionItem(TVPop_AddGroup1, "TVPop_TopLevelAddGroup1", TopLevelAddGroupAction1);
    addActionItem(TVPop_AddGroup1, "TVPop_ChildAddGroup1", ChildAddGroupAction1);
    TVPop_AddLink1 = named(TVPopUp->addMenu(ImageList1.at(LinkImage), QStringLiteral("リンクの追加(&L)")),
                           "TVPop_AddLink1");
    addActionItem(TVPop_AddLink1, "TVPop_TopLevelAddLink1", TopLevelAddLinkAction1);
    addActionItem(TVPop_AddLink1, "TVPop_ChildAddLink1", ChildAddLinkAction1);
    named(TVPopUp->addSeparator(), "TVPop_Sepa1");
    TVPop_Delete1 = named(TVPopUp->addAction(ImageList1.at(DeleteImage), QStringLiteral("削除(&D)")), "TVPop_Delete1");

    LVPopUp = named(new QMenu(this), "LVPopUp");
    addActionItem(LVPopUp, "LVPop_AddLink1", LV_AddLinkAction1, ImageList1.at(LinkImage));
    LVPop_Delete1 = named(LVPopUp->addAction(ImageList1.at(DeleteImage), QStringLiteral("削除(&D)")), "LVPop_Delete1");

    DDGroupMenu = named(new QMenu(this), "DDGroupMenu");
    addActionItem(DDGroupMenu, "DDGroup_AddTop", TopLevelAddGroupAction1);
    addActionItem(DDGroupMenu, "DDGroup_AddChild", ChildAddGroupAction1);
    DDLinkMenu = named(new QMenu(this), "DDLinkMenu");
    addActionItem(DDLinkMenu, "DDLink_AddTop", TopLevelAddLinkAction1);
    addActionItem(DDLinkMenu, "DDLink_AddChild", ChildAddLinkAction1);

    // A pop-up menu opened at a screen point hands its items' hints to itself, a window of its
    // own, where they would stop; the filter passes them on to the status bar.
    for (QMenu *menu : {TVPopUp, TVPop_AddGroup1, TVPop_AddLink1, LVPopUp, DDGroupMenu, DDLinkMenu})
        menu->installEventFilter(this);

    // The update cycle runs before every menu that holds an action opens.
    for (QMenu *menu : {TVPop_AddGroup1, TVPop_AddLink1, DDGroupMenu, DDLinkMenu, LVPopUp})
        connect(menu, &QMenu::aboutToShow, this, &TMain::ActionList1Update);
}

void TMain::buildLeftPanel()
{
    LeftPanel = named(new QWidget(this), "LeftPanel");
    auto *layout = new QVBoxLayout(LeftPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = named(new QToolBar(LeftPanel), "ToolBar1");
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setSpacing(0);
    ToolBar1->setStyleSheet(QStringLiteral("QToolBar { border: 1px solid palette(mid); padding: 0px; spacing: 0px; }"));

    auto button = [this](ToolBarButtonKind kind, const char *name, int width, int image, const QString &tip,
                         const QString &status) {
        auto *b = named(new TToolBarButton(kind, ToolBar1), name);
        b->setFixedSize(width, 22);
        b->setIcon(ImageList1.at(image));
        b->setToolTip(tip);
        b->setStatusTip(status);
        ToolBar1->addWidget(b);
        return b;
    };
    TlAddGroupBtn1 = button(ToolBarButtonKind::DropDown, "TlAddGroupBtn1", 34, GroupImage,
                            QStringLiteral("グループ追加"), QStringLiteral("グループを追加"));
    TlAddGroupBtn1->setPopupMode(QToolButton::MenuButtonPopup);
    TlAddGroupBtn1->setMenu(DDGroupMenu);
    TlAddLinkBtn1 = button(ToolBarButtonKind::DropDown, "TlAddLinkBtn1", 34, LinkImage,
                           QStringLiteral("リンク追加"), QStringLiteral("リンクを追加"));
    TlAddLinkBtn1->setPopupMode(QToolButton::MenuButtonPopup);
    TlAddLinkBtn1->setMenu(DDLinkMenu);

    auto *divider = new QWidget(ToolBar1);
    divider->setFixedSize(8, 22);
    auto *dividerLayout = new QHBoxLayout(divider);
    dividerLayout->setContentsMargins(3, 3, 3, 3);
    auto *line = new QFrame(divider);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    dividerLayout->addWidget(line);
    TlSepa1 = named(ToolBar1->addWidget(divider), "TlSepa1");
    divider->setObjectName(QStringLiteral("TlSepa1"));

    TlBtn3 = button(ToolBarButtonKind::Plain, "TlBtn3", 23, DeleteImage, QStringLiteral("削除"),
                    QStringLiteral("選択ノードを削除"));
    layout->addWidget(ToolBar1);

    TreeView1 = named(new LinkTreeView(LeftPanel), "TreeView1");
    TreeView1->setModel(m_model);
    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(19);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setDragEnabled(false);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    TreeView1->viewport()->installEventFilter(this);
    keepSelectionVisible(TreeView1);
    layout->addWidget(TreeView1, 1);
}

void TMain::buildRightPanel()
{
    RightPanel = named(new QWidget(this), "RightPanel");
    auto *layout = new QVBoxLayout(RightPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ListView1 = named(new QTreeWidget(RightPanel), "ListView1");
    ListView1->setColumnCount(6);
    ListView1->setHeaderLabels({QStringLiteral("リンクテキスト"), QStringLiteral("リンク先"), QStringLiteral("ターゲット"),
                                QStringLiteral("ID"), QStringLiteral("クラス"), QStringLiteral("AbsIndex")});
    const int widths[] = {135, 245, 65, 50, 50, 62};
    for (int column = 0; column < 6; ++column)
        ListView1->setColumnWidth(column, widths[column]);
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setItemsExpandable(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->header()->setSectionsClickable(false);
    ListView1->header()->setSectionsMovable(false);
    ListView1->setItemDelegate(new GridLineDelegate(ListView1));
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->viewport()->installEventFilter(this);
    keepSelectionVisible(ListView1);
    layout->addWidget(ListView1, 1);

    Panel2 = buildEditorPanel();
    layout->addWidget(Panel2);
}

QWidget *TMain::buildEditorPanel()
{
    auto *panel = named(new QWidget(RightPanel), "Panel2");
    panel->setFixedHeight(238);
    auto *outer = new QVBoxLayout(panel);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // The band across the top: the name of the group whose links are listed.
    auto *band = new QWidget(panel);
    band->setFixedHeight(50);
    auto *bandGrid = new QGridLayout(band);
    bandGrid->setContentsMargins(20, 4, 8, 6);
    bandGrid->setVerticalSpacing(3);
    GroupNameEdit = labelledEdit(band, "GroupNameEdit", QStringLiteral("グループ名"), {}, bandGrid, 0, 0, 1);
    bandGrid->setColumnStretch(0, 167);
    bandGrid->setColumnStretch(1, 408);
    outer->addWidget(band);
    Bevel1 = named(new QFrame(panel), "Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    outer->addWidget(Bevel1);

    auto *editors = new QWidget(panel);
    auto *grid = new QGridLayout(editors);
    grid->setContentsMargins(20, 6, 8, 6);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(3);
    // Columns: 0 the target box, 1 a gap, 2 the class edit, 3 the aid buttons, 4 free space.
    LinkTextEdit = labelledEdit(editors, "LinkTextEdit", QStringLiteral("リンクテキスト(&L)"),
                                QStringLiteral("リンク対象となる文字列"), grid, 0, 0, 1);
    HrefEdit = labelledEdit(editors, "HrefEdit", QStringLiteral("リンク先(&href)"),
                            QStringLiteral("クリック（選択）した際のリンク先"), grid, 2, 0, 4);

    Label1 = named(new QLabel(QStringLiteral("ターゲット(&target)"), editors), "Label1");
    TargetCmbBox = named(new QComboBox(editors), "TargetCmbBox");
    TargetCmbBox->setEditable(true);
    TargetCmbBox->setInsertPolicy(QComboBox::NoInsert);
    TargetCmbBox->addItems({QStringLiteral("_blank"), QStringLiteral("_self"), QStringLiteral("_top"),
                            QStringLiteral("_parent")});
    TargetCmbBox->setCurrentIndex(-1);
    TargetCmbBox->setEditText(QString());
    TargetCmbBox->setStatusTip(QStringLiteral("リンク先の表示方法"));
    // A target is stored as typed: a completer would finish "_b" as "_blank" and match "_TOP"
    // to "_top" without regard to case.
    TargetCmbBox->setCompleter(nullptr);
    showsWholeValues(TargetCmbBox->lineEdit());
    Label1->setBuddy(TargetCmbBox);
    grid->addWidget(Label1, 4, 0);
    grid->addWidget(TargetCmbBox, 5, 0);

    ClassEdit = labelledEdit(editors, "ClassEdit", QStringLiteral("クラス(&class)"),
                             QStringLiteral("スタイルシートのクラス"), grid, 4, 2, 1);
    UsedClassBtn = named(new QPushButton(QStringLiteral("使用クラス"), editors), "UsedClassBtn");
    holdsItsCaption(UsedClassBtn);
    UsedClassBtn->setStatusTip(QStringLiteral("使用しているクラスをリストアップ"));
    grid->addWidget(UsedClassBtn, 5, 3);

    IDEdit = labelledEdit(editors, "IDEdit", QStringLiteral("アイディー(&ID)"), QStringLiteral("リンクオブジェクト<a>のID"),
                          grid, 6, 0, 1);
    if (auto *idLabel = editors->findChild<QLabel *>(QStringLiteral("IDEditLabel")))
        idLabel->setStatusTip(QStringLiteral("1つのHTML文書内に同一IDがあってはいけないとされています"));
    OverlapIDBtn = named(new QPushButton(QStringLiteral("重複チェック"), editors), "OverlapIDBtn");
    holdsItsCaption(OverlapIDBtn);
    OverlapIDBtn->setStatusTip(QStringLiteral("IDの重複がないかのチェック"));
    grid->addWidget(OverlapIDBtn, 7, 1, 1, 2, Qt::AlignLeft);

    grid->setColumnStretch(0, 179);
    grid->setColumnMinimumWidth(1, 20);
    grid->setColumnStretch(2, 133);
    grid->setColumnStretch(4, 160);
    grid->setRowStretch(8, 1);
    outer->addWidget(editors, 1);

    // The class picker: designed on the window, shown only when popped up.
    PopupPanel1 = named(new TPopupPanel(), "PopupPanel1");
    PopupPanel1->resize(117, 117);
    PopupPanel1->setFont(font());
    auto *pickerLayout = new QVBoxLayout(PopupPanel1);
    pickerLayout->setContentsMargins(1, 1, 1, 1);
    pickerLayout->setSpacing(0);
    ClassListBox = named(new QListWidget(PopupPanel1), "ClassListBox");
    QFont listFont = ClassListBox->font();
    listFont.setPixelSize(13);
    ClassListBox->setFont(listFont);
    pickerLayout->addWidget(ClassListBox, 1);
    Panel1 = named(new QWidget(PopupPanel1), "Panel1");
    Panel1->setFixedHeight(20);
    auto *stripLayout = new QHBoxLayout(Panel1);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    ClassOKBtn = named(new QPushButton(QStringLiteral("OK"), Panel1), "ClassOKBtn");
    ClassOKBtn->setDefault(true);
    ClassOKBtn->setAutoDefault(true);
    stripLayout->addWidget(ClassOKBtn);
    pickerLayout->addWidget(Panel1);

    setTabOrder(GroupNameEdit, LinkTextEdit);
    setTabOrder(LinkTextEdit, HrefEdit);
    setTabOrder(HrefEdit, TargetCmbBox);
    setTabOrder(TargetCmbBox, ClassEdit);
    setTabOrder(ClassEdit, UsedClassBtn);
    setTabOrder(UsedClassBtn, IDEdit);
    setTabOrder(IDEdit, OverlapIDBtn);
    return panel;
}

void TMain::connectHandlers()
{
    auto run = [this](void (TMain::*handler)()) { return [this, handler] { guarded([&] { (this->*handler)(); }); }; };

    connect(mnNew1, &QAction::triggered, this, run(&TMain::mnNew1Click));
    connect(mnOpen1, &QAction::triggered, this, run(&TMain::mnOpen1Click));
    connect(mnSave1, &QAction::triggered, this, run(&TMain::mnSave1Click));
    connect(mnOutPutHTML1, &QAction::triggered, this, run(&TMain::mnOutPutHTML1Click));
    connect(mnExit1, &QAction::triggered, this, run(&TMain::mnExit1Click));
    connect(mnVormikHelp1, &QAction::triggered, this, run(&TMain::mnVormikHelp1Click));
    connect(mnReadMe1, &QAction::triggered, this, run(&TMain::mnReadMe1Click));
    connect(mnAbout1, &QAction::triggered, this, run(&TMain::mnAbout1Click));

    // The add buttons call the child commands directly: no action can disable them.
    connect(TlAddGroupBtn1, &QToolButton::clicked, this, run(&TMain::ChildAddGroupAction1Execute));
    connect(TlAddLinkBtn1, &QToolButton::clicked, this, run(&TMain::ChildAddLinkAction1Execute));
    connect(TlBtn3, &QToolButton::clicked, this, run(&TMain::TVPop_Delete1Click));
    connect(TVPop_Delete1, &QAction::triggered, this, run(&TMain::TVPop_Delete1Click));
    connect(LVPop_Delete1, &QAction::triggered, this, run(&TMain::LVPop_Delete1Click));

    connect(m_model, &LinkTreeModel::nodesAboutToBeRemoved, this, &TMain::nodesLeaving);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &TMain::treeSettled);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TMain::treeSettled);
    // Driven by the selection, not the current index: Qt moves the current index without
    // selecting anything (keyboard focus, a closed dialog), and the user never sees it.
    connect(TreeView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        // While nodes leave, the new selection may still hold nodes that are about to go.
        if (m_treeReshaping) {
            m_treeSelectionMoved = true;
            return;
        }
        guarded([&] { TreeView1Change(selectedNode()); });
    });
    connect(TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { TVPopUp->popup(TreeView1->viewport()->mapToGlobal(pos)); });

    // Driven by the selection, not the current item: the editors load, and write into, the
    // selected row's node only. A row that stops being selected asks nothing of the handlers.
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        guarded([&] {
            if (QTreeWidgetItem *row = selectedRow()) {
                ListView1SelectItem(row, true);
                ListView1Change(row);
            }
        });
    });
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { LVPopUp->popup(ListView1->viewport()->mapToGlobal(pos)); });

    connect(LinkTextEdit, &QLineEdit::textChanged, this, run(&TMain::LinkTextEditChange));
    connect(HrefEdit, &QLineEdit::textChanged, this, run(&TMain::HrefEditChange));
    connect(TargetCmbBox, &QComboBox::editTextChanged, this, run(&TMain::TargetCmbBoxChange));
    connect(TargetCmbBox, &QComboBox::activated, this, [this](int index) {
        guarded([&] {
            if (m_targetEditEnding)
                TargetCmbBoxChange();
            else
                TargetCmbBoxSelect(index);
        });
    });
    TargetCmbBox->installEventFilter(this);
    connect(ClassEdit, &QLineEdit::textChanged, this, run(&TMain::ClassEditChange));
    connect(IDEdit, &QLineEdit::textChanged, this, run(&TMain::IDEditChange));
    connect(GroupNameEdit, &QLineEdit::textEdited, this, run(&TMain::GroupNameEditChange));
    ClassEdit->installEventFilter(this);
    GroupNameEdit->installEventFilter(this);

    connect(OverlapIDBtn, &QPushButton::clicked, this, run(&TMain::OverlapIDBtnClick));
    connect(UsedClassBtn, &QPushButton::clicked, this, run(&TMain::UsedClassBtnClick));
    connect(ClassOKBtn, &QPushButton::clicked, this, run(&TMain::ClassOKBtnClick));
}

bool TMain::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (type == QEvent::StatusTip && qobject_cast<QMenu *>(watched)) {
        QCoreApplication::sendEvent(this, event);
        return true;
    }
    if (TreeView1 && watched == TreeView1->viewport()) {
        // A right-click never moves the tree's selection: the pop-up acts on the node already selected.
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
            || type == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
                return true;
        }
    }
    if (ListView1 && watched == ListView1->viewport()) {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
            || type == QEvent::MouseButtonDblClick) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton)
                return true;
            if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
                QMetaObject::invokeMethod(this, [this] { guarded([this] { ListView1Click(); }); }, Qt::QueuedConnection);
        }
    }
    if (watched == TargetCmbBox && (type == QEvent::FocusOut || isReturnKey(event))) {
        // When its editing ends, an editable combo box turns a typed entry that names a listed
        // target into an activation. That is still typing, not a pick from the list.
        m_targetEditEnding = true;
        const auto done = qScopeGuard([this] { m_targetEditEnding = false; });
        TargetCmbBox->event(event);
        return true;
    }
    // Leaving an editor means moving to another control, not switching windows or opening a menu.
    const auto isExit = [event] {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    };
    if (type == QEvent::FocusOut && isExit()) {
        if (watched == ClassEdit)
            guarded([this] { ClassEditExit(); });
        else if (watched == GroupNameEdit)
            guarded([this] { GroupNameEditExit(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMain::FormCreate()
{
    // The absolute index stays in every row, out of sight.
    ListView1->setColumnHidden(AbsIndexColumn, true);

    int buttonWidths = 0;
    for (QAction *action : ToolBar1->actions()) {
        if (QWidget *widget = ToolBar1->widgetForAction(action))
            buttonWidths += widget->minimumWidth();
    }
    LeftPanel->setMinimumWidth(buttonWidths + 5);
    RightPanel->setMinimumWidth(buttonWidths + 5);
}

void TMain::FormDestroy()
{
    // The class picker is a top-level panel when closed; it goes with the window.
    delete PopupPanel1;
    PopupPanel1 = nullptr;
}

void TMain::TreeView1Deletion(const LinkNode *root)
{
    // Rows of nodes that leave the tree leave the list at once, so no row can reach a stale node.
    for (int i = ListView1->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem *row = ListView1->topLevelItem(i);
        const LinkNode *node = rowNode(row);
        if (!root || !node || node->isWithin(root))
            delete ListView1->takeTopLevelItem(i);
    }
}

void TMain::disconnectHandlers()
{
    // The base classes' destruction still closes the window and moves the focus, which makes
    // widgets signal; no handler may run on a window that is half gone.
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
}

void TMain::nodesLeaving(const LinkNode *root)
{
    m_treeReshaping = true;
    m_selectedBeforeReshaping = selectedNode();
    // A list that loses its current row would hand the selection to a neighbour, which would
    // then drive the tree; the selection goes with the row instead.
    const LinkNode *current = rowNode(ListView1->currentItem());
    if (current && (!root || current->isWithin(root)))
        ListView1->selectionModel()->clear();
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
    const QModelIndexList selected = TreeView1->selectionModel()->selectedRows();
    return selected.isEmpty() ? nullptr : m_model->nodeFromIndex(selected.constFirst());
}

void TMain::selectNode(LinkNode *node)
{
    const QModelIndex index = m_model->indexFromNode(node);
    TreeView1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

QTreeWidgetItem *TMain::selectedRow() const
{
    const QList<QTreeWidgetItem *> rows = ListView1->selectedItems();
    return rows.isEmpty() ? nullptr : rows.constFirst();
}
