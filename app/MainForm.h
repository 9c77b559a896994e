#pragma once

#include <QIcon>
#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>

class LinkNode;
class LinkTreeModel;
class Prompts;
class TPopupPanel;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QSplitter;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

// The main window: the link tree on the left, the links of one group and their editors on the
// right. Its implementation is split by concern over the MainForm*.cpp files.
class TMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMain(QWidget *parent = nullptr);
    ~TMain() override;

    // Tests answer the window's questions through a scripted implementation.
    void setPrompts(std::unique_ptr<Prompts> prompts);
    Prompts &prompts() { return *m_prompts; }
    LinkTreeModel &treeModel() { return *m_model; }

    // The node of a list row, or null when the row's node has left the tree.
    LinkNode *rowNode(const QTreeWidgetItem *row) const;
    LinkNode *selectedNode() const;
    void selectNode(LinkNode *node);
    const QString &projectFileName() const { return ProjectFileName; }

    // Column of ListView1 that holds the absolute index a row had when it was filled.
    static constexpr int AbsIndexColumn = 5;

    // --- Link tree (MainForm.cpp) ---
    void TreeView1Deletion(const LinkNode *root);

    // --- Link list and editors (MainFormLinkList.cpp) ---
    void FillLinkList(LinkNode *node);
    void TreeView1Change(LinkNode *node);
    void ListView1SelectItem(QTreeWidgetItem *row, bool selected);
    void ListView1Change(QTreeWidgetItem *row);
    void ListView1Click();
    void LinkTextEditChange();
    void HrefEditChange();
    void TargetCmbBoxChange();
    void TargetCmbBoxSelect(int index);
    void ClassEditChange();
    void ClassEditExit();
    void IDEditChange();
    void GroupNameEditChange();
    void GroupNameEditExit();

    // --- Editing commands (MainFormCommands.cpp) ---
    void TopLevelAddGroupAction1Execute();
    void ChildAddGroupAction1Execute();
    void TopLevelAddLinkAction1Execute();
    void ChildAddLinkAction1Execute();
    void LV_AddLinkAction1Execute();
    void TVPop_Delete1Click();
    void LVPop_Delete1Click();
    void ActionList1Update();

    // --- ID check and class picker (MainFormAids.cpp) ---
    void OverlapIDBtnClick();
    void UsedClassBtnClick();
    void ClassOKBtnClick();

    // --- Project files (MainFormProject.cpp) and export (MainFormExport.cpp) ---
    void mnNew1Click();
    void mnOpen1Click();
    void mnSave1Click();
    void mnOutPutHTML1Click();

    // --- Shell commands (MainFormShell.cpp) ---
    void mnExit1Click();
    void mnVormikHelp1Click();
    void mnReadMe1Click();
    void mnAbout1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Construction of the frame (MainForm.cpp).
    void buildActions();
    void buildMenus();
    void buildLeftPanel();
    void buildRightPanel();
    QWidget *buildEditorPanel();
    void connectHandlers();
    void FormCreate();
    void FormDestroy();

    // Runs a command through the one guard that shows failures in the error box.
    void guarded(const std::function<void()> &command);
    // Runs a child action after the update cycle, unless the update disabled it.
    void executeAction(QAction *action, void (TMain::*handler)());
    QTreeWidgetItem *selectedRow() const;
    void disconnectHandlers();
    void nodesLeaving(const LinkNode *root);
    void treeSettled();
    // Shows a group's name in GroupNameEdit without renaming anything.
    void showGroupName(const QString &name);
    // Writes an editor's text into the selected row's cell and its node.
    void writeThrough(int column, const QString &text);

public:
    // Widgets, named as the window's designer named them.
    QStatusBar *StatusBar1 = nullptr;
    QWidget *LeftPanel = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QToolButton *TlAddGroupBtn1 = nullptr;
    QToolButton *TlAddLinkBtn1 = nullptr;
    QAction *TlSepa1 = nullptr;
    QToolButton *TlBtn3 = nullptr;
    QTreeView *TreeView1 = nullptr;
    QSplitter *Splitter1 = nullptr;
    QWidget *RightPanel = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QWidget *Panel2 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLineEdit *GroupNameEdit = nullptr;
    QLineEdit *LinkTextEdit = nullptr;
    QLineEdit *HrefEdit = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *TargetCmbBox = nullptr;
    QLineEdit *ClassEdit = nullptr;
    QPushButton *UsedClassBtn = nullptr;
    QLineEdit *IDEdit = nullptr;
    QPushButton *OverlapIDBtn = nullptr;
    TPopupPanel *PopupPanel1 = nullptr;
    QListWidget *ClassListBox = nullptr;
    QWidget *Panel1 = nullptr;
    QPushButton *ClassOKBtn = nullptr;

    // Menus and actions.
    QMenuBar *MainMenu1 = nullptr;
    QObject *ActionList1 = nullptr;
    QAction *TopLevelAddGroupAction1 = nullptr;
    QAction *ChildAddGroupAction1 = nullptr;
    QAction *TopLevelAddLinkAction1 = nullptr;
    QAction *ChildAddLinkAction1 = nullptr;
    QAction *LV_AddLinkAction1 = nullptr;

    QMenu *mnFile = nullptr;
    QAction *mnNew1 = nullptr;
    QAction *mnOpen1 = nullptr;
    QAction *mnSave1 = nullptr;
    QAction *mnOutPutHTML1 = nullptr;
    QAction *mnExit1 = nullptr;
    QMenu *mnHelp = nullptr;
    QAction *mnVormikHelp1 = nullptr;
    QAction *mnReadMe1 = nullptr;
    QAction *mnAbout1 = nullptr;

    QMenu *TVPopUp = nullptr;
    QMenu *TVPop_AddGroup1 = nullptr;
    QMenu *TVPop_AddLink1 = nullptr;
    QAction *TVPop_Delete1 = nullptr;
    QMenu *LVPopUp = nullptr;
    QAction *LVPop_Delete1 = nullptr;
    QMenu *DDGroupMenu = nullptr;
    QMenu *DDLinkMenu = nullptr;

    QList<QIcon> ImageList1;
    QList<QIcon> MenuImageList;

private:
    LinkTreeModel *m_model = nullptr;
    std::unique_ptr<Prompts> m_prompts;
    bool SyncingSelection = false;
    QString ProjectFileName;
    // Set while nodes leave the tree: the tree's new selection is acted on once they are gone.
    bool m_treeReshaping = false;
    bool m_treeSelectionMoved = false;
    const LinkNode *m_selectedBeforeReshaping = nullptr;
    // Set by the user's typing in GroupNameEdit, cleared when the program shows a name there.
    bool m_groupNameEdited = false;
    // Set while TargetCmbBox finishes an edit: an activation then comes from typing.
    bool m_targetEditEnding = false;
};
