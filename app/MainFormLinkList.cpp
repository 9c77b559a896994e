// The link list and the property editors below it.
#include "app/MainForm.h"
#include "ui_MainForm.h"

#include "app/Prompts.h"
#include "app/SelectionClass.h"
#include "text/TextRules.h"
#include "app/LinkTreeModel.h"
#include "app/TreeSteps.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTreeWidget>
#include <QUndoStack>

namespace {

// Columns of ListView1: the caption, then the sub-items.
enum ListColumn : int { CaptionColumn = 0, HrefColumn, TargetColumn, IDColumn, ClassColumn };
static_assert(ClassColumn + 1 == TMain::AbsIndexColumn);

// Where each field a link editor writes shows in its row, and the name of a step that types it.
struct FieldPlace
{
    NodeField field;
    int column;
    const char16_t *caption;
};

constexpr FieldPlace FieldPlaces[] = {
    {NodeField::Text, CaptionColumn, u"リンクテキストの入力"}, {NodeField::Href, HrefColumn, u"リンク先の入力"},
    {NodeField::Target, TargetColumn, u"ターゲットの入力"},    {NodeField::ObjID, IDColumn, u"IDの入力"},
    {NodeField::Class, ClassColumn, u"クラスの入力"},
};

const FieldPlace &placeOf(NodeField field)
{
    for (const FieldPlace &place : FieldPlaces) {
        if (place.field == field)
            return place;
    }
    Q_UNREACHABLE();
}

// Sets an editor's text only when it differs, so that the cursor and the editor's own undo stay
// where the user left them.
void showText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

struct TargetEntry
{
    const char16_t *name;
    const char16_t *description;
};

constexpr TargetEntry TargetEntries[] = {
    {u"_blank", u"_blank : 名前無しのウィンドウを新規に開いて表示"},
    {u"_self", u"_self : 自分自身のウィンドウ（フレーム）に表示"},
    {u"_top", u"_top : フレーム分割をすべて解除して表示"},
    {u"_parent", u"_parent : フレームを一段解除してその親フレームに表示"},
};

// The editor's text with any line break dropped, also from the editor itself, so that it shows
// what the node stores. A break in a node's text would split the node in a saved outline.
QString singleLineText(QLineEdit *edit)
{
    const QString text = edit->text();
    const QString single = TextRules::withoutLineBreaks(text);
    if (single != text) {
        const int cursor = int(TextRules::withoutLineBreaks(text.left(edit->cursorPosition())).size());
        edit->setText(single);
        edit->setCursorPosition(cursor);
    }
    return single;
}

} // namespace

void TMain::FillLinkList(LinkNode *node)
{
    ui->ListView1->setUpdatesEnabled(false);
    const auto resume = qScopeGuard([this] { ui->ListView1->setUpdatesEnabled(true); });
    ui->ListView1->clear();

    // Setting the text from here never renames anything: only the user's edits do.
    ui->GroupNameEdit->setEnabled(true);
    const SelectionClass kind = classifySelection(node);
    m_listedGroup = owningGroup(node);
    m_listingTopLevel = kind == SelectionClass::TopLevelLink;
    if (kind == SelectionClass::Group)
        showGroupName(node->text());
    else if (kind == SelectionClass::NestedLink)
        showGroupName(node->parent()->text());
    else if (kind == SelectionClass::TopLevelLink) {
        showGroupName({});
        ui->GroupNameEdit->setEnabled(false);
    }
    if (kind == SelectionClass::None)
        return;

    const LinkTree &tree = treeModel().tree();
    const LinkNode *listed = kind == SelectionClass::TopLevelLink ? nullptr : node;
    const QIcon &linkPicture = ImageList1.at(LinkImage);
    QList<QTreeWidgetItem *> rows;
    const int count = tree.childCount(listed);
    for (int i = 0; i < count; ++i) {
        LinkNode *link = tree.child(listed, i);
        if (link->isGroup())
            continue;
        const LinkAttr &record = link->record();
        auto *row = new QTreeWidgetItem({link->text(), record.Href, record.Target, record.ObjID, record.Class,
                                         QString::number(tree.absoluteIndex(link))});
        row->setIcon(CaptionColumn, linkPicture);
        row->setData(CaptionColumn, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(link)));
        rows.append(row);
    }
    ui->ListView1->addTopLevelItems(rows);
}

void TMain::TreeView1Change(LinkNode *node)
{
    if (SyncingSelection || !node)
        return;
    SyncingSelection = true;
    const auto done = qScopeGuard([this] { SyncingSelection = false; });

    const SelectionClass kind = classifySelection(node);
    if (kind == SelectionClass::Group) {
        FillLinkList(node);
        return;
    }
    // A link: list its siblings, number them as the rows are numbered, and select its own row.
    LinkNode *listed = kind == SelectionClass::TopLevelLink ? nullptr : node->parent();
    FillLinkList(listed ? listed : node);
    const LinkTree &tree = treeModel().tree();
    qint32 listIndex = 0;
    const int count = tree.childCount(listed);
    for (int i = 0; i < count; ++i) {
        LinkNode *sibling = tree.child(listed, i);
        if (!sibling->isGroup())
            sibling->record().ListIndex = listIndex++;
    }
    QTreeWidgetItem *row = ui->ListView1->topLevelItem(node->record().ListIndex);
    if (row && rowNode(row) == node)
        ui->ListView1->setCurrentItem(row);
}

void TMain::ListView1SelectItem(QTreeWidgetItem *row, bool selected)
{
    // Loading a row that is not the selected one would write its values into another node.
    if (!selected || !row || row != selectedRow())
        return;
    const LinkNode *node = rowNode(row);
    if (!node)
        return;
    ++m_burst;
    const LinkAttr &record = node->record();
    ui->LinkTextEdit->setText(row->text(CaptionColumn));
    ui->HrefEdit->setText(record.Href);
    ui->TargetCmbBox->setEditText(record.Target);
    ui->ClassEdit->setText(record.Class);
    ui->IDEdit->setText(record.ObjID);
}

void TMain::ListView1Change(QTreeWidgetItem *row)
{
    if (SyncingSelection || !selectedRow())
        return;
    LinkNode *node = rowNode(row);
    if (!node)
        return;
    SyncingSelection = true;
    const auto done = qScopeGuard([this] { SyncingSelection = false; });
    selectNode(node);
}

void TMain::ListView1Click()
{
    const int count = ui->ListView1->topLevelItemCount();
    if (!selectedRow() && count > 0)
        ui->ListView1->setCurrentItem(ui->ListView1->topLevelItem(count - 1));
}

void TMain::writeThrough(NodeField field, const QString &text)
{
    if (LinkNode *node = rowNode(selectedRow()))
        editField(node, field, text, QString::fromUtf16(placeOf(field).caption));
}

void TMain::editField(LinkNode *node, NodeField field, const QString &value, const QString &caption)
{
    // Loading an editor writes back the value it was given, which is no change.
    if (LinkTreeModel::field(node, field) == value)
        return;
    perform(new EditFieldStep(treeModel(), caption, node, field, value, m_burst));
}

QTreeWidgetItem *TMain::rowOf(const LinkNode *node) const
{
    // Groups have no rows. The selected row, or the one the link's ListIndex names, is found at
    // once: a keystroke must not cost a walk over the list.
    if (node->isGroup())
        return nullptr;
    if (QTreeWidgetItem *row = selectedRow(); row && rowNode(row) == node)
        return row;
    if (QTreeWidgetItem *row = ui->ListView1->topLevelItem(node->record().ListIndex); row && rowNode(row) == node)
        return row;
    for (int i = 0; i < ui->ListView1->topLevelItemCount(); ++i) {
        if (rowNode(ui->ListView1->topLevelItem(i)) == node)
            return ui->ListView1->topLevelItem(i);
    }
    return nullptr;
}

void TMain::nodeChanged(LinkNode *node)
{
    if (node == m_listedGroup && ui->GroupNameEdit->text() != node->text())
        showGroupName(node->text());
    QTreeWidgetItem *row = rowOf(node);
    if (!row)
        return;
    for (const FieldPlace &place : FieldPlaces) {
        const QString value = LinkTreeModel::field(node, place.field);
        if (row->text(place.column) != value)
            row->setText(place.column, value);
    }
    if (row != selectedRow())
        return;
    // The editors show the selected row's node. The class editor may keep the blanks the user
    // typed around the class the node holds trimmed.
    const LinkAttr &record = node->record();
    showText(ui->LinkTextEdit, node->text());
    showText(ui->HrefEdit, record.Href);
    if (ui->TargetCmbBox->currentText() != record.Target)
        ui->TargetCmbBox->setEditText(record.Target);
    if (TextRules::trimmed(ui->ClassEdit->text()) != record.Class)
        showText(ui->ClassEdit, record.Class);
    showText(ui->IDEdit, record.ObjID);
}

void TMain::LinkTextEditChange()
{
    writeThrough(NodeField::Text, singleLineText(ui->LinkTextEdit));
}

void TMain::HrefEditChange()
{
    writeThrough(NodeField::Href, ui->HrefEdit->text());
}

void TMain::TargetCmbBoxChange()
{
    writeThrough(NodeField::Target, ui->TargetCmbBox->currentText());
}

void TMain::TargetCmbBoxSelect(int)
{
    const QString picked = ui->TargetCmbBox->currentText();
    for (const TargetEntry &entry : TargetEntries) {
        if (picked == QStringView(entry.name))
            ui->StatusBar1->showMessage(QString::fromUtf16(entry.description));
    }
    TargetCmbBoxChange();
}

void TMain::ClassEditChange()
{
    writeThrough(NodeField::Class, ui->ClassEdit->text());
}

void TMain::ClassEditExit()
{
    // The node keeps the class trimmed; the editor keeps what was typed.
    writeThrough(NodeField::Class, TextRules::trimmed(ui->ClassEdit->text()));
}

void TMain::IDEditChange()
{
    writeThrough(NodeField::ObjID, ui->IDEdit->text());
}

void TMain::showGroupName(const QString &name)
{
    ui->GroupNameEdit->setText(name);
    m_groupNameEdited = false;
}

void TMain::GroupNameEditChange()
{
    m_groupNameEdited = true;
    const QString name = singleLineText(ui->GroupNameEdit);
    if (LinkNode *group = owningGroup(selectedNode()))
        editField(group, NodeField::Text, name, QStringLiteral("グループ名の変更"));
}

void TMain::GroupNameEditExit()
{
    // Only a name the user emptied is warned about, not an editor the program emptied and disabled.
    if (!m_groupNameEdited || !selectedNode() || !TextRules::trimmed(ui->GroupNameEdit->text()).isEmpty())
        return;
    prompts().warning(this, QStringLiteral("グル－プ名に空白を用いるのはやめて下さい"));
    ui->GroupNameEdit->setFocus();
}
