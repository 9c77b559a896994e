#pragma once

#include "html/PageGenerator.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>

class LinkNode;
class LinkTreeModel;
class TreeStep;
enum class NodeField;

// The moves of the Edit menu: up and down among the siblings, left to follow the parent, right
// into the group just above.
enum class NodeMove { Up, Down, Left, Right };
class Prompts;
class TPopupPanel;
class QAction;
class QListWidget;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;
class QTreeWidgetItem;
class QUndoStack;

namespace Ui {
class TMain;
}

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
    // Every change of the document is one step of the undo history.
    void perform(TreeStep *step);

    // Column of ListView1 that holds the absolute index a row had when it was filled.
    static constexpr int AbsIndexColumn = 5;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
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

    // --- The Edit menu (MainFormEdit.cpp) ---
    void UndoAction1Execute();
    void RedoAction1Execute();
    void CutAction1Execute();
    void CopyAction1Execute();
    void PasteAction1Execute();
    void MoveUpAction1Execute();
    void MoveDownAction1Execute();
    void OutdentAction1Execute();
    void IndentAction1Execute();
    void EditActionsUpdate();

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

private:
    // The parts of the frame that are made in code (MainFormParts.cpp).
    void buildActions();
    void buildPopupMenus();
    void buildToolBar();
    void buildClassPicker();
    void buildEditMenu();
    void setUpViews();
    void connectHandlers();
    void FormCreate();
    void FormDestroy();

    // Runs a command through the one guard that shows failures in the error box.
    void guarded(const std::function<void()> &command);
    // Runs a child action after the update cycle, unless the update disabled it.
    void executeAction(QAction *action, void (TMain::*handler)());
    QTreeWidgetItem *selectedRow() const;
    // The six editors below the list.
    QList<QWidget *> editorFields() const;
    // Deletes a node with its subtree, as a step of that name.
    void deleteNode(LinkNode *node, const QString &caption);
    void disconnectHandlers();
    void nodesLeaving(const LinkNode *root);
    void treeSettled();
    // Shows a group's name in GroupNameEdit without renaming anything.
    void showGroupName(const QString &name);
    // Writes an editor's text into the selected row's node, as a step of the undo history.
    void writeThrough(NodeField field, const QString &text);
    // Changes one field of a node as a step; a burst of writes to one field merges into one.
    void editField(LinkNode *node, NodeField field, const QString &value, const QString &caption);
    // A node's text or field changed: its row, the editors and the group name follow.
    void nodeChanged(LinkNode *node);
    QTreeWidgetItem *rowOf(const LinkNode *node) const;
    // After an undo or a redo: shows the node the step touched and lists its group anew.
    void reveal(LinkNode *node);
    // Moves the selected node with its subtree, as a step of that name; nothing where it cannot go.
    void moveSelected(NodeMove move, const QString &caption);
    // A node moved from below `from` to below `to`: the list follows when it showed either.
    void nodesMoved(LinkNode *from, LinkNode *to);
    // Lists anew: the selected node's group, or what the list showed when nothing is selected.
    void relist();

    // The static frame: menus, panels, the tree, the list and the editors.
    std::unique_ptr<Ui::TMain> ui;

    // The tool bar, drawn by hand.
    QToolBar *ToolBar1 = nullptr;
    QToolButton *TlAddGroupBtn1 = nullptr;
    QToolButton *TlAddLinkBtn1 = nullptr;
    QToolButton *TlBtn3 = nullptr;

    // The class picker, a panel that pops up in a window of its own.
    TPopupPanel *PopupPanel1 = nullptr;
    QListWidget *ClassListBox = nullptr;
    QPushButton *ClassOKBtn = nullptr;

    // The tree commands, and the pop-up and drop-down menus that reach them.
    QObject *ActionList1 = nullptr;
    QAction *TopLevelAddGroupAction1 = nullptr;
    QAction *ChildAddGroupAction1 = nullptr;
    QAction *TopLevelAddLinkAction1 = nullptr;
    QAction *ChildAddLinkAction1 = nullptr;
    QAction *LV_AddLinkAction1 = nullptr;
    QMenu *TVPopUp = nullptr;
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
    // The page format of the last export, which the next one proposes.
    PageFormat m_pageFormat = PageFormat::Classic;
    // Set while TargetCmbBox finishes an edit: an activation then comes from typing.
    bool m_targetEditEnding = false;
    // Every change of the document, as steps that can be undone.
    QUndoStack *m_undoStack = nullptr;
    // Counts bursts of typing: a new one begins whenever an editor gets the focus, another row
    // is loaded, or a step is undone or redone.
    int m_burst = 0;
    // The group whose name GroupNameEdit shows; null when it shows none.
    LinkNode *m_listedGroup = nullptr;
    // Whether the list shows the top-level links.
    bool m_listingTopLevel = false;
};
