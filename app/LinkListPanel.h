#pragma once

#include <QIcon>
#include <QList>
#include <QWidget>

#include <functional>
#include <memory>

class ClassPicker;
class LinkListModel;
class LinkNode;
class NodeCommands;
class QAction;
class QMenu;
class QTreeView;
class WindowContext;
enum class NodeField;

namespace Ui {
class LinkListPanel;
}

// The right pane: the links of one group as a list that follows the tree, the editors of the
// selected link below it, the group-name editor, and the ID check and class picker.
class LinkListPanel : public QWidget
{
    Q_OBJECT

public:
    explicit LinkListPanel(QWidget *parent = nullptr);
    ~LinkListPanel() override;

    // `selectedNode` tells which node the tree shows selected.
    void setUp(WindowContext &context, NodeCommands &commands, const QList<QIcon> &images,
               std::function<LinkNode *()> selectedNode);

    // Lists the links beside `node`: a group's own, a nested link's siblings, or every
    // top-level link for a top-level link. The group-name editor follows.
    void FillLinkList(LinkNode *node);
    // Lists what the tree's selected node calls for, selecting a link's own row.
    void showSelection(LinkNode *node);
    LinkNode *selectedRowNode() const;
    // Empties the editors.
    void clearEditors();
    // Applies what leaving the editor that has the focus would (a save is about to read the tree).
    void finishEditing();
    // Puts the focus where a new node's name or text is typed.
    void focusEditorFor(const LinkNode *node);
    // Typing from now on is a step of its own.
    void beginBurst() { ++m_burst; }
    QTreeView *listView() const;
    // The six editors below the list.
    QList<QWidget *> editorFields() const;

signals:
    // The user picked a row; the tree follows.
    void rowPicked(LinkNode *node);
    void statusMessage(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectEditors(WindowContext &context);
    // The editors follow the listing and the selected row: empty and disabled when there is no
    // link, or no group, for them to write into.
    void rowSelectionChanged();
    void listingChanged();
    QList<QWidget *> linkEditors() const;
    void clearLinkEditors();
    void ListView1SelectItem(LinkNode *node);
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
    void OverlapIDBtnClick();
    void UsedClassBtnClick();
    void classPicked(const QString &classes);

    void nodeChanged(LinkNode *node);
    // Shows a group's name in GroupNameEdit without renaming anything.
    void showGroupName(const QString &name);
    // Writes an editor's text into the selected row's node, as a step of the undo history.
    void writeThrough(NodeField field, const QString &text);
    // Changes one field of a node as a step; a burst of writes to one field merges into one.
    void editField(LinkNode *node, NodeField field, const QString &value, const QString &caption);
    void selectRow(int row);

    std::unique_ptr<Ui::LinkListPanel> ui;
    WindowContext *m_context = nullptr;
    LinkListModel *m_list = nullptr;
    ClassPicker *m_classPicker = nullptr;
    std::function<LinkNode *()> m_selectedNode;
    QMenu *LVPopUp = nullptr;
    QAction *LVPop_Delete1 = nullptr;
    // Counts bursts of typing: a new one begins whenever an editor gets the focus, another row
    // is loaded, or a step is undone or redone.
    int m_burst = 0;
    // Set by the user's typing in GroupNameEdit, cleared when the program shows a name there.
    bool m_groupNameEdited = false;
    // Set while TargetCmbBox finishes an edit: an activation then comes from typing.
    bool m_targetEditEnding = false;
};
