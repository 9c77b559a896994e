#pragma once

#include <QIcon>
#include <QList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class ClassPicker;
class LinkListModel;
class LinkNode;
class NodeCommands;
class QLineEdit;
class QMenu;
class QTreeView;
class WindowContext;

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
    void showLinksOf(LinkNode *node);
    // Lists what the tree's selected node calls for, selecting the rows of those of `selected`
    // listed there (a link's own row among them).
    void showSelection(LinkNode *node, const std::vector<LinkNode *> &selected);
    LinkNode *selectedRowNode() const;
    // The nodes of every selected row, in the list's order.
    std::vector<LinkNode *> selectedRowNodes() const;
    // Applies what leaving the editor that has the focus would (a save is about to read the tree).
    void finishEditing();
    // Puts the focus where a new node's name or text is typed.
    void focusEditorFor(const LinkNode *node);
    QTreeView *listView() const;
    // The six editors below the list.
    QList<QWidget *> editorFields() const;

signals:
    // The user picked rows, `current` the last; the tree follows.
    void rowsPicked(const std::vector<LinkNode *> &nodes, LinkNode *current);
    void statusMessage(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectEditors(WindowContext &context);
    // The selected row's first column, or nothing.
    QModelIndex selectedRow() const;
    // The link editors and the list column each one shows and writes.
    QList<std::pair<QLineEdit *, int>> fieldEditors() const;
    // The editors follow the listing and the selected row: empty and disabled when there is no
    // link, or no group, for them to write into.
    void rowSelectionChanged();
    void listingChanged();
    QList<QWidget *> linkEditors() const;
    // Shows the selected row's fields; `sameRow` keeps what the user typed that the row holds alike.
    void showRow(bool sameRow);
    // Shows what several rows hold alike; a field they differ in stays empty, marked so. `sameRow`
    // keeps the editor being typed into as it is.
    void showRows(const std::vector<LinkNode *> &nodes, bool sameRow);
    // Writes `text`, typed into `edit`, into the selected rows' field, as a keystroke.
    void writeRow(const QLineEdit *edit, int column, const QString &text);
    void listViewClicked();
    // A target picked from the list tells what it does and is written as it is shown.
    void targetPicked();
    void classEditLeft();
    void groupNameEdited();
    void groupNameEditLeft();
    void showIdCheck();
    void showClassPicker();
    void classPicked(const QString &classes);

    // Shows a group's name in GroupNameEdit without renaming anything.
    void showGroupName(const QString &name);
    void selectRow(int row);
    // Selects the listed ones of `nodes` alone, unless they are what the list shows selected.
    void selectRows(const std::vector<LinkNode *> &nodes, const LinkNode *current);

    std::unique_ptr<Ui::LinkListPanel> ui;
    WindowContext *m_context = nullptr;
    LinkListModel *m_list = nullptr;
    ClassPicker *m_classPicker = nullptr;
    std::function<LinkNode *()> m_selectedNode;
    QMenu *LVPopUp = nullptr;
    // Set by the user's typing in GroupNameEdit, cleared when the program shows a name there.
    bool m_groupNameEdited = false;
    // Set while TargetCmbBox finishes an edit: an activation then comes from typing.
    bool m_targetEditEnding = false;
};
