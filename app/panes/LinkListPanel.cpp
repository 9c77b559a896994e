#include "app/panes/LinkListPanel.h"
#include "ui_LinkListPanel.h"

#include "app/panes/ClassPicker.h"
#include "app/panes/EditorText.h"
#include "app/panes/LinkListModel.h"
#include "app/editing/LinkTreeModel.h"
#include "app/window/MenuItems.h"
#include "app/window/Named.h"
#include "app/editing/NodeCommands.h"
#include "app/editing/NodeSetCommands.h"
#include "app/dialogs/Prompts.h"
#include "app/editing/SelectionClass.h"
#include "app/panes/ViewLook.h"
#include "app/window/WindowContext.h"
#include "text/TextRules.h"
#include "tree/UsedValues.h"

#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QSet>
#include <QSignalBlocker>

#include <algorithm>

#include <limits>
#include <optional>

using namespace EditorText;

LinkListPanel::LinkListPanel(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::LinkListPanel>())
{
    ui->setupUi(this);
}

LinkListPanel::~LinkListPanel()
{
    // The base class's destruction still moves the focus, which makes the editors signal; no
    // handler may run on a panel that is half gone.
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
}

void LinkListPanel::setUp(WindowContext &context, NodeCommands &commands, const QList<QIcon> &images,
                          std::function<LinkNode *()> selectedNode)
{
    m_context = &context;
    m_selectedNode = std::move(selectedNode);
    m_list = new LinkListModel(context.model(), this);
    // A row that leaves the list takes the selection with it: the view would hand it to a
    // neighbour, which would then drive the tree.
    connect(m_list, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex &, int first, int last) {
        const int current = ui->ListView1->currentIndex().row();
        if (current >= first && current <= last)
            ui->ListView1->selectionModel()->clear();
    });
    ui->ListView1->setModel(m_list);

    const int widths[] = {135, 245, 65, 50, 50};
    for (int column = 0; column < LinkListModel::ColumnCount; ++column)
        ui->ListView1->setColumnWidth(column, widths[column]);
    ui->ListView1->header()->setSectionsClickable(false);
    ui->ListView1->header()->setSectionsMovable(false);
    ui->ListView1->setItemDelegate(new GridLineDelegate(ui->ListView1));
    ui->ListView1->viewport()->installEventFilter(this);
    keepSelectionVisible(ui->ListView1);

    LVPopUp = named(new QMenu(this), "LVPopUp");
    addActionItem(LVPopUp, "LVPop_AddLink1", commands.LV_AddLinkAction1, images.at(LinkImage));
    auto *deleteItem = named(LVPopUp->addAction(images.at(DeleteImage), QStringLiteral("削除(&D)")), "LVPop_Delete1");
    // The Delete key runs the list's own delete, in the list only.
    deleteItem->setShortcut(QKeySequence::Delete);
    deleteItem->setShortcutContext(Qt::WidgetShortcut);
    ui->ListView1->addAction(deleteItem);
    // The rows leave the list together with their nodes.
    connect(deleteItem, &QAction::triggered, this, [this] {
        m_context->guarded(this, [this] {
            NodeSetCommands::remove(m_context->model(), selectedRowNodes(), QStringLiteral("削除"));
        });
    });
    forwardStatusTips(LVPopUp, window());
    connect(LVPopUp, &QMenu::aboutToShow, &commands, &NodeCommands::updateActions);
    connect(&commands, &NodeCommands::nodeAdded, this, &LinkListPanel::focusEditorFor);
    connect(ui->ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { LVPopUp->popup(ui->ListView1->viewport()->mapToGlobal(pos)); });

    // A field shows a node's value whole: a line edit otherwise cuts anything past 32,767
    // characters, and the cut value would be written back.
    for (QLineEdit *edit : ui->Panel2->findChildren<QLineEdit *>())
        edit->setMaxLength(std::numeric_limits<int>::max());
    // A target is stored as typed: a completer would finish "_b" as "_blank" and match "_TOP"
    // to "_top" without regard to case.
    ui->TargetCmbBox->setCompleter(nullptr);
    for (const TargetEntry &entry : TargetEntries)
        ui->TargetCmbBox->addItem(QString::fromUtf16(entry.name));
    ui->TargetCmbBox->setCurrentIndex(-1);
    ui->TargetCmbBox->setEditText(QString());

    m_classPicker = new ClassPicker(window()->font(), this);
    connect(m_classPicker, &ClassPicker::picked, this,
            [this](const QString &classes) { m_context->guarded(this, [&] { classPicked(classes); }); });
    connectEditors(context);
    listingChanged();
}

void LinkListPanel::connectEditors(WindowContext &context)
{
    auto run = [this, &context](void (LinkListPanel::*handler)()) { return context.command(this, this, handler); };

    // Driven by the selection, not the current row: the editors load, and write into, the
    // selected row's node only. A row that stops being selected asks nothing of the handlers.
    connect(ui->ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            run(&LinkListPanel::rowSelectionChanged));
    // A new listing drops the selection without a word from the selection model.
    connect(m_list, &QAbstractItemModel::modelReset, this, run(&LinkListPanel::listingChanged));
    connect(m_list, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &first, const QModelIndex &last) {
        // Any selected row counts: several edited at once show what they hold alike.
        for (int row = first.row(); row <= last.row(); ++row) {
            if (ui->ListView1->selectionModel()->isRowSelected(row)) {
                showRow(true);
                return;
            }
        }
    });
    connect(&context.model(), &LinkTreeModel::nodeChanged, this, [this](LinkNode *node) {
        if (node == m_list->listedParent() && ui->GroupNameEdit->text() != node->text())
            showGroupName(node->text());
    });

    for (const auto &[edit, column] : fieldEditors()) {
        auto write = [this, edit = edit, column = column] {
            const bool text = column == LinkListModel::TextColumn;
            m_context->guarded(this, [&] { writeRow(edit, column, text ? singleLineText(edit) : edit->text()); });
        };
        // The target box speaks for its line edit: blocking the box silences both.
        if (edit == ui->TargetCmbBox->lineEdit())
            connect(ui->TargetCmbBox, &QComboBox::editTextChanged, this, write);
        else
            connect(edit, &QLineEdit::textChanged, this, write);
    }
    connect(ui->TargetCmbBox, &QComboBox::activated, this, [this] {
        if (!m_targetEditEnding)
            m_context->guarded(this, [this] { targetPicked(); });
    });
    connect(ui->GroupNameEdit, &QLineEdit::textEdited, this, run(&LinkListPanel::groupNameEdited));
    for (QWidget *editor : editorFields())
        editor->installEventFilter(this);

    connect(ui->OverlapIDBtn, &QPushButton::clicked, this, run(&LinkListPanel::showIdCheck));
    connect(ui->UsedClassBtn, &QPushButton::clicked, this, run(&LinkListPanel::showClassPicker));
}

QList<std::pair<QLineEdit *, int>> LinkListPanel::fieldEditors() const
{
    return {{ui->LinkTextEdit, LinkListModel::TextColumn},
            {ui->HrefEdit, LinkListModel::HrefColumn},
            {ui->TargetCmbBox->lineEdit(), LinkListModel::TargetColumn},
            {ui->ClassEdit, LinkListModel::ClassColumn},
            {ui->IDEdit, LinkListModel::IDColumn}};
}

bool LinkListPanel::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (watched == ui->ListView1->viewport() && isMouseButtonEvent(type)) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        // A right-click selects the row under the pointer, so the pop-up acts on it; below the
        // rows it keeps the selection.
        if (mouse->button() == Qt::RightButton) {
            const QModelIndex under = ui->ListView1->indexAt(mouse->position().toPoint());
            if (type == QEvent::MouseButtonPress && under.isValid())
                selectRow(under.row());
            return true;
        }
        if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
            QMetaObject::invokeMethod(
                this, [this] { m_context->guarded(this, [this] { listViewClicked(); }); }, Qt::QueuedConnection);
    }
    // Typing into an editor it has just entered begins a new step of the undo history.
    if (type == QEvent::FocusIn && editorFields().contains(watched))
        m_context->model().beginBurst();
    if (watched == ui->TargetCmbBox && (type == QEvent::FocusOut || isReturnKey(event))) {
        // When its editing ends, an editable combo box turns a typed entry that names a listed
        // target into an activation. That is still typing, not a pick from the list.
        m_targetEditEnding = true;
        const auto done = qScopeGuard([this] { m_targetEditEnding = false; });
        ui->TargetCmbBox->event(event);
        return true;
    }
    // Leaving an editor means moving to another control, not switching windows or opening a menu.
    if (type == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == ui->ClassEdit)
                m_context->guarded(this, [this] { classEditLeft(); });
            else if (watched == ui->GroupNameEdit)
                m_context->guarded(this, [this] { groupNameEditLeft(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LinkListPanel::rowSelectionChanged()
{
    LinkNode *node = selectedRowNode();
    for (QWidget *editor : linkEditors())
        editor->setEnabled(node);
    // With nothing to write into, the editors show nothing rather than a node no longer selected.
    m_context->model().beginBurst();
    showRow(false);
    if (node)
        emit rowsPicked(selectedRowNodes(), m_list->nodeAt(ui->ListView1->currentIndex().row()));
}

void LinkListPanel::listingChanged()
{
    const LinkNode *group = m_list->listedParent();
    ui->GroupNameEdit->setEnabled(group);
    if (!group)
        showGroupName({});
    rowSelectionChanged();
}

QList<QWidget *> LinkListPanel::linkEditors() const
{
    return {ui->LinkTextEdit, ui->HrefEdit,    ui->TargetCmbBox, ui->ClassEdit,
            ui->UsedClassBtn, ui->IDEdit,      ui->OverlapIDBtn};
}

void LinkListPanel::finishEditing()
{
    if (ui->ClassEdit->hasFocus())
        classEditLeft();
}

void LinkListPanel::focusEditorFor(const LinkNode *node)
{
    QLineEdit *editor = node->isGroup() ? ui->GroupNameEdit : ui->LinkTextEdit;
    if (!editor->isEnabled())
        return;
    editor->setFocus(Qt::OtherFocusReason);
    editor->selectAll();
}

QTreeView *LinkListPanel::listView() const
{
    return ui->ListView1;
}

QList<QWidget *> LinkListPanel::editorFields() const
{
    return {ui->GroupNameEdit, ui->LinkTextEdit, ui->HrefEdit, ui->TargetCmbBox, ui->ClassEdit, ui->IDEdit};
}

QModelIndex LinkListPanel::selectedRow() const
{
    const QModelIndexList rows = ui->ListView1->selectionModel()->selectedRows();
    return rows.isEmpty() ? QModelIndex() : rows.constFirst();
}

LinkNode *LinkListPanel::selectedRowNode() const
{
    return m_list->nodeAt(selectedRow().row());
}

std::vector<LinkNode *> LinkListPanel::selectedRowNodes() const
{
    QModelIndexList rows = ui->ListView1->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    std::vector<LinkNode *> nodes;
    for (const QModelIndex &row : rows)
        nodes.push_back(m_list->nodeAt(row.row()));
    return nodes;
}

void LinkListPanel::selectRow(int row)
{
    // Never as the view would, which reads the keys held down: Ctrl+Return would toggle the row.
    ui->ListView1->selectionModel()->setCurrentIndex(m_list->index(row, 0), QItemSelectionModel::ClearAndSelect
                                                                                | QItemSelectionModel::Rows);
}

void LinkListPanel::selectRows(const std::vector<LinkNode *> &nodes, const LinkNode *current)
{
    QSet<int> wanted;
    for (const LinkNode *node : nodes) {
        if (const int row = m_list->rowOf(node); row >= 0)
            wanted.insert(row);
    }
    QSet<int> shown;
    for (const QModelIndex &row : ui->ListView1->selectionModel()->selectedRows())
        shown.insert(row.row());
    if (wanted == shown)
        return;
    if (wanted.size() <= 1) {
        // One row is picked as before, so the view's own current row follows it.
        if (wanted.isEmpty())
            ui->ListView1->selectionModel()->clearSelection();
        else
            selectRow(*wanted.cbegin());
        return;
    }
    QItemSelection selection;
    for (const int row : wanted)
        selection.select(m_list->index(row, 0), m_list->index(row, LinkListModel::ColumnCount - 1));
    QItemSelectionModel *model = ui->ListView1->selectionModel();
    if (const int row = m_list->rowOf(current); row >= 0)
        model->setCurrentIndex(m_list->index(row, 0), QItemSelectionModel::NoUpdate);
    model->select(selection, QItemSelectionModel::ClearAndSelect);
}

void LinkListPanel::showLinksOf(LinkNode *node)
{
    if (!node) {
        m_list->listNothing();
        return;
    }
    // Setting the text from here never renames anything: only the user's edits do. Whether the
    // editor is enabled follows the listing.
    const LinkNode *group = owningGroup(node);
    showGroupName(group ? group->text() : QString());
    m_list->listChildrenOf(group);
}

void LinkListPanel::showSelection(LinkNode *node, const std::vector<LinkNode *> &selected)
{
    if (!node)
        return;
    if (node->isGroup() || !m_list->isListing() || m_list->listedParent() != node->parent())
        showLinksOf(node);
    selectRows(selected, node);
}

void LinkListPanel::showRow(bool sameRow)
{
    if (const std::vector<LinkNode *> nodes = selectedRowNodes(); nodes.size() > 1) {
        showRows(nodes, sameRow);
        return;
    }
    const QModelIndex row = selectedRow();
    for (const auto &[edit, column] : fieldEditors()) {
        edit->setPlaceholderText({});
        const QString value = row.siblingAtColumn(column).data().toString();
        // Another row shows its own; the class editor may keep the blanks the user typed around
        // the class the node holds trimmed.
        if (!sameRow)
            edit->setText(value);
        else if (column != LinkListModel::ClassColumn || TextRules::trimmed(edit->text()) != value)
            showText(edit, value);
    }
}

void LinkListPanel::showRows(const std::vector<LinkNode *> &nodes, bool sameRow)
{
    for (const auto &[edit, column] : fieldEditors()) {
        if (sameRow && edit->hasFocus())
            continue;
        const std::optional<QString> common = commonValue(nodes, LinkListModel::fieldOf(column));
        // Shown, not written: an editor emptied for differing values would empty every link.
        const QSignalBlocker quiet(edit);
        edit->setPlaceholderText(common ? QString() : QStringLiteral("（複数の値）"));
        showText(edit, common.value_or(QString()));
        edit->setModified(false);
    }
}

void LinkListPanel::writeRow(const QLineEdit *edit, int column, const QString &text)
{
    if (const std::vector<LinkNode *> nodes = selectedRowNodes(); nodes.size() > 1) {
        // A field the links differ in is written only once the user has typed into it.
        if (!edit->placeholderText().isEmpty() && !edit->isModified())
            return;
        const NodeField field = LinkListModel::fieldOf(column);
        NodeSetCommands::setField(m_context->model(), nodes, field, text, stepCaption(field, false, true), true);
        return;
    }
    // Loading an editor writes back the value it was given, which the model takes as no change.
    if (const QModelIndex row = selectedRow(); row.isValid())
        m_list->setData(row.siblingAtColumn(column), text, LinkTreeModel::TypingRole);
}

void LinkListPanel::listViewClicked()
{
    const int count = m_list->rowCount();
    if (!selectedRowNode() && count > 0)
        selectRow(count - 1);
}

void LinkListPanel::targetPicked()
{
    const QString picked = ui->TargetCmbBox->currentText();
    for (const TargetEntry &entry : TargetEntries) {
        if (picked == QStringView(entry.name))
            emit statusMessage(QString::fromUtf16(entry.description));
    }
    // A pick is an entry of the user's, also over links whose targets differ.
    ui->TargetCmbBox->lineEdit()->setModified(true);
    writeRow(ui->TargetCmbBox->lineEdit(), LinkListModel::TargetColumn, picked);
}

void LinkListPanel::classEditLeft()
{
    // The node keeps the class trimmed; the editor keeps what was typed.
    writeRow(ui->ClassEdit, LinkListModel::ClassColumn, TextRules::trimmed(ui->ClassEdit->text()));
}

void LinkListPanel::showGroupName(const QString &name)
{
    ui->GroupNameEdit->setText(name);
    m_groupNameEdited = false;
}

void LinkListPanel::groupNameEdited()
{
    m_groupNameEdited = true;
    const QString name = singleLineText(ui->GroupNameEdit);
    if (LinkNode *group = owningGroup(m_selectedNode()))
        m_context->model().setData(m_context->model().indexFromNode(group), name, LinkTreeModel::TypingRole);
}

void LinkListPanel::groupNameEditLeft()
{
    // Only a name the user emptied is warned about, not an editor the program emptied and disabled.
    if (!m_groupNameEdited || !m_selectedNode() || !TextRules::trimmed(ui->GroupNameEdit->text()).isEmpty())
        return;
    m_context->prompts().warning(window(), QStringLiteral("グル－プ名に空白を用いるのはやめて下さい"));
    ui->GroupNameEdit->setFocus();
}

void LinkListPanel::showIdCheck()
{
    const QString id = TextRules::trimmed(ui->IDEdit->text());
    // The link being edited may keep its own ID; with no row selected every node counts.
    if (!id.isEmpty() && UsedValues::idInUse(m_context->model().tree(), id, selectedRowNode())) {
        m_context->prompts().warning(window(), QStringLiteral("ID : ") + id + QStringLiteral(" は既に使われています"));
        return;
    }
    m_context->prompts().information(window(), QStringLiteral("IDの重複はありませんでした　　"));
}

void LinkListPanel::showClassPicker()
{
    m_classPicker->popUpOver(ui->UsedClassBtn, UsedValues::classes(m_context->model().tree()));
}

void LinkListPanel::classPicked(const QString &classes)
{
    // The pick is a step of its own, never part of typing in the class editor, which then finds
    // the link holding the text already. Several links each gain the picked classes.
    if (const std::vector<LinkNode *> nodes = selectedRowNodes(); nodes.size() > 1) {
        NodeSetCommands::addClasses(m_context->model(), nodes, classes,
                                    stepCaption(NodeField::Class, false, false));
        showRows(nodes, false);
    } else if (selectedRowNode())
        m_list->setData(selectedRow().siblingAtColumn(LinkListModel::ClassColumn), classes);
    if (selectedRowNodes().size() <= 1)
        ui->ClassEdit->setText(classes);
    m_context->model().beginBurst();
}
