// The ID check and the class picker.
#include "app/MainForm.h"
#include "ui_MainForm.h"

#include "app/PopupPanel.h"
#include "app/Prompts.h"
#include "tree/UsedValues.h"
#include "text/TextRules.h"
#include "app/LinkTreeModel.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSizePolicy>

void TMain::OverlapIDBtnClick()
{
    const QString id = TextRules::trimmed(ui->IDEdit->text());
    // The link being edited may keep its own ID; with no row selected every node counts.
    if (!id.isEmpty() && UsedValues::idInUse(m_model->tree(), id, rowNode(selectedRow()))) {
        prompts().warning(this, QStringLiteral("ID : ") + id + QStringLiteral(" は既に使われています"));
        return;
    }
    prompts().information(this, QStringLiteral("IDの重複はありませんでした　　"));
}

void TMain::UsedClassBtnClick()
{
    // The OK button takes the whole strip at the panel's bottom.
    ClassOKBtn->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    ClassOKBtn->setMinimumHeight(0);

    ClassListBox->clear();
    for (const QString &value : UsedValues::classes(m_model->tree())) {
        // Set up before it joins the list, so the list hears of each item once.
        auto *item = new QListWidgetItem(value);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        ClassListBox->addItem(item);
    }

    // The panel covers the button and rises above it: left edges aligned, its bottom edge one
    // pixel above the button's.
    const QPoint buttonTopLeft = ui->UsedClassBtn->mapToGlobal(QPoint(0, 0));
    PopupPanel1->PopupAt(buttonTopLeft.x(),
                         buttonTopLeft.y() + ui->UsedClassBtn->height() - PopupPanel1->height() - 1);
}

void TMain::ClassOKBtnClick()
{
    QString chosen;
    for (int i = 0; i < ClassListBox->count(); ++i) {
        const QListWidgetItem *item = ClassListBox->item(i);
        if (item->checkState() == Qt::Checked)
            chosen += item->text() + QLatin1Char(' ');
    }
    // The pick is a step of its own, never part of typing in the class editor. ClassEditChange
    // then finds the link holding the text already. An unchanged text is already what the link
    // holds, since the editor was loaded from it and writes through.
    const QString picked = TextRules::trimmed(chosen);
    ++m_burst;
    if (LinkNode *node = rowNode(selectedRow()))
        editField(node, NodeField::Class, picked, QStringLiteral("クラスの選択"));
    ui->ClassEdit->setText(picked);
    ++m_burst;
    PopupPanel1->ClosePopup(ClassOKBtn);
}
