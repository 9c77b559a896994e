#pragma once

#include "TreeEdits.h"
#include "app/panes/LinkListModel.h"
#include "app/window/MainWindow.h"
#include "app/editing/LinkTreeModel.h"
#include "app/panes/PopupPanel.h"
#include "Controls.h"
#include "TreeSnapshot.h"
#include "ScriptedPrompts.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <memory>
#include <vector>

// The main window's parts, found by the object names its design gives them.
struct MainWindowParts
{
    explicit MainWindowParts(MainWindow &window) : m_window(window) {}

    MainWindow &m_window;
    template<typename T = QWidget>
    T *part(const char *name) const
    {
        return control<T>(m_window, name);
    }
    // The class picker is a window of its own until it pops up.
    template<typename T = QWidget>
    T *pickerPart(const char *name) const
    {
        return freeControl<T>(name);
    }

    QStatusBar *StatusBar1 = part<QStatusBar>("StatusBar1");
    QSplitter *Splitter1 = part<QSplitter>("Splitter1");
    QWidget *LeftPanel = part("LeftPanel");
    QWidget *RightPanel = part("RightPanel");
    QToolBar *ToolBar1 = part<QToolBar>("ToolBar1");
    QToolButton *TlAddGroupBtn1 = part<QToolButton>("TlAddGroupBtn1");
    QToolButton *TlAddLinkBtn1 = part<QToolButton>("TlAddLinkBtn1");
    QToolButton *TlBtn3 = part<QToolButton>("TlBtn3");
    QTreeView *TreeView1 = part<QTreeView>("TreeView1");
    QTreeView *ListView1 = part<QTreeView>("ListView1");
    QWidget *Panel2 = part("Panel2");
    QLineEdit *GroupNameEdit = part<QLineEdit>("GroupNameEdit");
    QLineEdit *LinkTextEdit = part<QLineEdit>("LinkTextEdit");
    QLineEdit *HrefEdit = part<QLineEdit>("HrefEdit");
    QComboBox *TargetCmbBox = part<QComboBox>("TargetCmbBox");
    QLineEdit *ClassEdit = part<QLineEdit>("ClassEdit");
    QPushButton *UsedClassBtn = part<QPushButton>("UsedClassBtn");
    QLineEdit *IDEdit = part<QLineEdit>("IDEdit");
    QPushButton *OverlapIDBtn = part<QPushButton>("OverlapIDBtn");
    PopupPanel *PopupPanel1 = pickerPart<PopupPanel>("PopupPanel1");
    QListWidget *ClassListBox = pickerPart<QListWidget>("ClassListBox");
    QWidget *Panel1 = pickerPart<QWidget>("Panel1");
    QPushButton *ClassOKBtn = pickerPart<QPushButton>("ClassOKBtn");

    QMenuBar *MainMenu1 = part<QMenuBar>("MainMenu1");
    QMenu *mnFile = part<QMenu>("mnFile");
    QMenu *mnEdit = part<QMenu>("mnEdit");
    QMenu *mnHelp = part<QMenu>("mnHelp");
    QAction *mnNew1 = part<QAction>("mnNew1");
    QAction *mnOpen1 = part<QAction>("mnOpen1");
    QAction *mnSaveOverwrite1 = part<QAction>("mnSaveOverwrite1");
    QAction *mnSave1 = part<QAction>("mnSave1");
    QMenu *mnRecent1 = part<QMenu>("mnRecent1");
    QAction *mnOutPutHTML1 = part<QAction>("mnOutPutHTML1");
    QAction *mnExit1 = part<QAction>("mnExit1");
    QAction *mnVormikHelp1 = part<QAction>("mnVormikHelp1");
    QAction *mnReadMe1 = part<QAction>("mnReadMe1");
    QAction *mnAbout1 = part<QAction>("mnAbout1");
    QAction *UndoAction1 = part<QAction>("UndoAction1");
    QAction *RedoAction1 = part<QAction>("RedoAction1");
    QAction *CutAction1 = part<QAction>("CutAction1");
    QAction *CopyAction1 = part<QAction>("CopyAction1");
    QAction *PasteAction1 = part<QAction>("PasteAction1");

    QObject *ActionList1 = part<QObject>("ActionList1");
    QAction *TopLevelAddGroupAction1 = part<QAction>("TopLevelAddGroupAction1");
    QAction *ChildAddGroupAction1 = part<QAction>("ChildAddGroupAction1");
    QAction *TopLevelAddLinkAction1 = part<QAction>("TopLevelAddLinkAction1");
    QAction *ChildAddLinkAction1 = part<QAction>("ChildAddLinkAction1");
    QAction *LV_AddLinkAction1 = part<QAction>("LV_AddLinkAction1");
    QMenu *TVPopUp = part<QMenu>("TVPopUp");
    QMenu *TVPop_AddGroup1 = part<QMenu>("TVPop_AddGroup1");
    QMenu *TVPop_AddLink1 = part<QMenu>("TVPop_AddLink1");
    QAction *TVPop_Delete1 = part<QAction>("TVPop_Delete1");
    QMenu *LVPopUp = part<QMenu>("LVPopUp");
    QAction *LVPop_Delete1 = part<QAction>("LVPop_Delete1");
    QMenu *DDGroupMenu = part<QMenu>("DDGroupMenu");
    QMenu *DDLinkMenu = part<QMenu>("DDLinkMenu");
};

// A node as the window's tree holds it, the node's identity included.
struct NodeState
{
    const LinkNode *node;
    int level;
    QString text;
    LinkAttr record;
    bool operator==(const NodeState &) const = default;
};

// Everything a failed command must leave alone: the tree, the list's rows and the editors.
struct WindowState
{
    std::vector<NodeState> nodes;
    QStringList rows;
    QStringList editors;
    bool operator==(const WindowState &) const = default;

    explicit WindowState(MainWindow &window)
    {
        const MainWindowParts ui(window);
        for (const LinkNode *node : window.treeModel().tree().nodes())
            nodes.push_back({node, node->level(), node->text(), node->record()});
        const QAbstractItemModel *list = ui.ListView1->model();
        for (int r = 0; r < list->rowCount(); ++r) {
            for (int c = 0; c < list->columnCount(); ++c)
                rows << list->index(r, c).data().toString();
        }
        editors = {ui.GroupNameEdit->text(), ui.LinkTextEdit->text(), ui.HrefEdit->text(),
                   ui.TargetCmbBox->currentText(), ui.ClassEdit->text(), ui.IDEdit->text()};
    }
};

// A main window with scripted prompts, and the ways a user reaches its tree, list and menus.
class WindowFixture
{
public:
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<MainWindowParts> ui;
    ScriptedPrompts *prompts = nullptr;

    // Makes the window without showing it, with fresh settings unless told to keep the last window's.
    void make(bool freshSettings = true)
    {
        // The recent files and folders go to a test's own settings, never the user's.
        QStandardPaths::setTestModeEnabled(true);
        if (freshSettings)
            QSettings().clear();
        window = std::make_unique<MainWindow>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window->setPrompts(std::move(scripted));
        ui = std::make_unique<MainWindowParts>(*window);
    }
    // Makes the window and shows it, active.
    bool open()
    {
        make();
        window->resize(900, 600);
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    // Every question the window asked was one the test meant to answer.
    void close()
    {
        const int unexpected = prompts->unexpected;
        ui.reset();
        window.reset();
        QCOMPARE(unexpected, 0);
    }
    WindowState state() { return WindowState(*window); }

    LinkTreeModel &model() { return window->treeModel(); }
    const LinkTree &tree() { return window->treeModel().tree(); }

    // The node with this text; texts are unique in every test tree.
    LinkNode *node(const QString &text)
    {
        for (LinkNode *n : tree().nodes()) {
            if (n->text() == text)
                return n;
        }
        return nullptr;
    }

    // A link whose fields all name it, so a write into the wrong node shows.
    LinkNode *addLink(LinkNode *parent, const QString &text)
    {
        LinkAttr fields;
        fields.Href = "h-" + text;
        fields.Target = "_self";
        fields.ObjID = "id-" + text;
        fields.Class = "c-" + text;
        return TreeEdits::appendLink(model(), parent, text, fields);
    }

    // Every node's text and fields in absolute order.
    QStringList snapshot() { return snapshotOf(tree()); }

    // Clicks the node in the tree, opening its parents first.
    void clickNode(const LinkNode *node, Qt::KeyboardModifiers keys = {})
    {
        const QModelIndex index = model().indexFromNode(node);
        ui->TreeView1->scrollTo(index);
        QTest::mouseClick(ui->TreeView1->viewport(), Qt::LeftButton, keys,
                          ui->TreeView1->visualRect(index).center());
    }
    void clickNode(const QString &text, Qt::KeyboardModifiers keys = {}) { clickNode(node(text), keys); }

    // The list's rows and what they show.
    LinkListModel &list() { return *static_cast<LinkListModel *>(ui->ListView1->model()); }
    int rowCount() { return list().rowCount(); }
    QString rowText(int row, int column) { return list().index(row, column).data().toString(); }
    LinkNode *rowNode(int row) { return list().nodeAt(row); }

    void clickRow(int row, Qt::KeyboardModifiers keys = {})
    {
        QTest::mouseClick(ui->ListView1->viewport(), Qt::LeftButton, keys,
                          ui->ListView1->visualRect(list().index(row, 0)).center());
    }

    QStringList rowCaptions()
    {
        QStringList captions;
        for (int i = 0; i < rowCount(); ++i)
            captions << rowText(i, 0);
        return captions;
    }

    // The index of the selected row, or -1.
    int selectedRowIndex()
    {
        const QModelIndexList rows = ui->ListView1->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    // Opens the menu that holds the item, as the user would, and clicks the item.
    void clickMenuItem(const QString &name)
    {
        auto *item = window->findChild<QAction *>(name);
        QVERIFY2(item, qPrintable(name));
        QMenu *menu = nullptr;
        for (QObject *holder : item->associatedObjects()) {
            if ((menu = qobject_cast<QMenu *>(holder)))
                break;
        }
        QVERIFY(menu);
        menu->popup(window->mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        menu->close();
    }

    // Opens a combo box's drop-down list and clicks the entry at `entry`.
    static void pickEntry(QComboBox *box, int entry)
    {
        box->showPopup();
        QAbstractItemView *list = box->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QRect item = list->visualRect(list->model()->index(entry, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTRY_VERIFY(!list->isVisible());
    }

    // The main part of a tool-bar button, not its drop-down arrow.
    void clickButton(QWidget *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
};
