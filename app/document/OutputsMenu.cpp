#include "app/document/OutputsMenu.h"

#include "app/document/ProjectDocument.h"
#include "html/ExportChoice.h"

#include <QActionGroup>
#include <QDir>
#include <QMenu>

OutputsMenu::OutputsMenu(ProjectDocument &document, QMenu *menu) : QObject(menu), m_document(document), m_menu(menu)
{
    connect(&document, &ProjectDocument::outputsChanged, this, &OutputsMenu::refill);
    refill();
}

void OutputsMenu::refill()
{
    m_menu->clear();
    const OutputList &outputs = m_document.outputs();
    m_menu->setEnabled(!outputs.empty());
    auto *group = new QActionGroup(m_menu);
    for (size_t i = 0; i < outputs.size(); ++i) {
        const ExportChoice &choice = outputs[i].choice;
        const QString file = choice.settings.outputFileName.isEmpty()
                                 ? QStringLiteral("（ファイル名なし）")
                                 : QDir::toNativeSeparators(choice.settings.outputFileName);
        QAction *action = m_menu->addAction(QStringLiteral("%1 (%2)").arg(file, ExportChoices::formatName(choice)));
        action->setCheckable(true);
        action->setChecked(i == 0);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] { m_document.selectOutput(int(i)); });
    }
    m_menu->addSeparator();
    QAction *remove = m_menu->addAction(QStringLiteral("現在の出力先を一覧から外す(&D)"));
    remove->setObjectName(QStringLiteral("mnRemoveOutput1"));
    remove->setStatusTip(QStringLiteral("チェックの付いた出力先をプロジェクトから外す（ファイルは消さない）"));
    connect(remove, &QAction::triggered, this, [this] { m_document.removeOutput(0); });
}
