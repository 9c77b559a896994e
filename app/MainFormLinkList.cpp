// The link list and the property editors below it.
#include "app/MainForm.h"
#include "ui_MainForm.h"

#include "app/Prompts.h"
#include "app/SelectionClass.h"
#include "text/TextRules.h"
#include "app/LinkTreeModel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTreeWidget>

namespace {

// Columns of ListView1: the caption, then the sub-items.
enum ListColumn : int { CaptionColumn = 0, HrefColumn, TargetColumn, IDColumn, ClassColumn };
static_assert(ClassColumn + 1 == TMain::AbsIndexColumn);

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

void TMain::writeThrough(int column, const QString &text)
{
    QTreeWidgetItem *row = selectedRow();
    LinkNode *node = rowNode(row);
    if (!node)
        return;
    row->setText(column, text);
    LinkAttr &record = node->record();
    switch (column) {
    case CaptionColumn:
        treeModel().setNodeText(node, text);
        break;
    case HrefColumn:
        record.Href = text;
        break;
    case TargetColumn:
        record.Target = text;
        break;
    case IDColumn:
        record.ObjID = text;
        break;
    case ClassColumn:
        record.Class = text;
        break;
    default:
        Q_UNREACHABLE();
    }
}

void TMain::LinkTextEditChange()
{
    writeThrough(CaptionColumn, singleLineText(ui->LinkTextEdit));
}

void TMain::HrefEditChange()
{
    writeThrough(HrefColumn, ui->HrefEdit->text());
}

void TMain::TargetCmbBoxChange()
{
    writeThrough(TargetColumn, ui->TargetCmbBox->currentText());
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
    writeThrough(ClassColumn, ui->ClassEdit->text());
}

void TMain::ClassEditExit()
{
    // The node keeps the class trimmed; the editor keeps what was typed.
    writeThrough(ClassColumn, TextRules::trimmed(ui->ClassEdit->text()));
}

void TMain::IDEditChange()
{
    writeThrough(IDColumn, ui->IDEdit->text());
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
        treeModel().setNodeText(group, name);
}

void TMain::GroupNameEditExit()
{
    // Only a name the user emptied is warned about, not an editor the program emptied and disabled.
    if (!m_groupNameEdited || !selectedNode() || !TextRules::trimmed(ui->GroupNameEdit->text()).isEmpty())
        return;
    prompts().warning(this, QStringLiteral("グル－プ名に空白を用いるのはやめて下さい"));
    ui->GroupNameEdit->setFocus();
}
