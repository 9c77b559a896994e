// The parts of the main window that are made in code rather than in the form: the tree
// commands and the menus that reach them, the hand-drawn tool bar, and the class picker.

#include "app/MainForm.h"
#include "ui_MainForm.h"

#include "app/ImageLists.h"
#include "app/Named.h"
#include "app/PopupPanel.h"
#include "app/ToolBarButtonDrawing.h"
#include "tree/LinkTree.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

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

void TMain::buildPopupMenus()
{
    TVPopUp = named(new QMenu(this), "TVPopUp");
    QMenu *addGroup = named(TVPopUp->addMenu(ImageList1.at(GroupImage), QStringLiteral("グループの追加(&G)")),
                            "TVPop_AddGroup1");
    addActionItem(addGroup, "TVPop_TopLevelAddGroup1", TopLevelAddGroupAction1);
    addActionItem(addGroup, "TVPop_ChildAddGroup1", ChildAddGroupAction1);
    QMenu *addLink = named(TVPopUp->addMenu(ImageList1.at(LinkImage), QStringLiteral("リンクの追加(&L)")),
                           "TVPop_AddLink1");
    addActionItem(addLink, "TVPop_TopLevelAddLink1", TopLevelAddLinkAction1);
    addActionItem(addLink, "TVPop_ChildAddLink1", ChildAddLinkAction1);
    named(TVPopUp->addSeparator(), "TVPop_Sepa1");
    TVPop_Delete1 = named(TVPopUp->addAction(ImageList1.at(DeleteImage), QStringLiteral("削除(&D)")), "TVPop_Delete1");

    LVPopUp = named(new QMenu(this), "LVPopUp");
    addActionItem(LVPopUp, "LVPop_AddLink1", LV_AddLinkAction1, ImageList1.at(LinkImage));
    LVPop_Delete1 = named(LVPopUp->addAction(ImageList1.at(DeleteImage), QStringLiteral("削除(&D)")), "LVPop_Delete1");

    // The Delete key runs each view's own delete, in that view only.
    for (auto [action, view] : {std::pair<QAction *, QWidget *>{TVPop_Delete1, ui->TreeView1},
                                std::pair<QAction *, QWidget *>{LVPop_Delete1, ui->ListView1}}) {
        action->setShortcut(QKeySequence::Delete);
        action->setShortcutContext(Qt::WidgetShortcut);
        view->addAction(action);
    }

    DDGroupMenu = named(new QMenu(this), "DDGroupMenu");
    addActionItem(DDGroupMenu, "DDGroup_AddTop", TopLevelAddGroupAction1);
    addActionItem(DDGroupMenu, "DDGroup_AddChild", ChildAddGroupAction1);
    DDLinkMenu = named(new QMenu(this), "DDLinkMenu");
    addActionItem(DDLinkMenu, "DDLink_AddTop", TopLevelAddLinkAction1);
    addActionItem(DDLinkMenu, "DDLink_AddChild", ChildAddLinkAction1);

    // A pop-up menu opened at a screen point hands its items' hints to itself, a window of its
    // own, where they would stop; the filter passes them on to the status bar.
    for (QMenu *menu : {TVPopUp, addGroup, addLink, LVPopUp, DDGroupMenu, DDLinkMenu})
        menu->installEventFilter(this);

    // The update cycle runs before every menu that holds an action opens.
    for (QMenu *menu : {addGroup, addLink, DDGroupMenu, DDLinkMenu, LVPopUp})
        connect(menu, &QMenu::aboutToShow, this, &TMain::ActionList1Update);
}

void TMain::buildToolBar()
{
    ToolBar1 = named(new QToolBar(ui->LeftPanel), "ToolBar1");
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

    auto *divider = named(new QWidget(ToolBar1), "TlSepa1");
    divider->setFixedSize(8, 22);
    auto *dividerLayout = new QHBoxLayout(divider);
    dividerLayout->setContentsMargins(3, 3, 3, 3);
    auto *line = new QFrame(divider);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    dividerLayout->addWidget(line);
    named(ToolBar1->addWidget(divider), "TlSepa1");

    TlBtn3 = button(ToolBarButtonKind::Plain, "TlBtn3", 23, DeleteImage, QStringLiteral("削除"),
                    QStringLiteral("選択ノードを削除"));
    ui->LeftPanelLayout->insertWidget(0, ToolBar1);
}

void TMain::buildClassPicker()
{
    // Designed on the window, shown only when popped up.
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
    auto *strip = named(new QWidget(PopupPanel1), "Panel1");
    strip->setFixedHeight(20);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    ClassOKBtn = named(new QPushButton(QStringLiteral("OK"), strip), "ClassOKBtn");
    ClassOKBtn->setDefault(true);
    ClassOKBtn->setAutoDefault(true);
    stripLayout->addWidget(ClassOKBtn);
    pickerLayout->addWidget(strip);
}
