// New, Open and Save.
#include "app/MainForm.h"
#include "ui_MainForm.h"

#include "app/Prompts.h"
#include "project/ProjectFile.h"
#include "app/LinkTreeModel.h"
#include "app/TreeSteps.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QTreeView>
#include <QTreeWidget>

namespace {

Prompts::FileDialog projectFileDialog(const QString &fileName, bool confirmOverwrite)
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("ヴォルミクセーブデータ (*.xml)|*.xml;");
    dialog.defaultSuffix = QStringLiteral("xml");
    dialog.fileName = fileName;
    dialog.confirmOverwrite = confirmOverwrite;
    return dialog;
}

// Suspends a widget's repainting while a whole-tree change runs.
class UpdatesSuspended
{
public:
    explicit UpdatesSuspended(QWidget *widget) : m_widget(widget), m_was(widget->updatesEnabled())
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesSuspended() { m_widget->setUpdatesEnabled(m_was); }
    UpdatesSuspended(const UpdatesSuspended &) = delete;
    UpdatesSuspended &operator=(const UpdatesSuspended &) = delete;

private:
    QWidget *m_widget;
    bool m_was;
};

} // namespace

void TMain::mnNew1Click()
{
    {
        // The emptied tree stays with the step, so New can be undone.
        UpdatesSuspended frozen(ui->TreeView1);
        perform(new ReplaceTreeStep(treeModel(), QStringLiteral("新規"), std::make_unique<LinkTree>()));
    }
    {
        UpdatesSuspended frozen(ui->ListView1);
        ui->ListView1->clear();
    }
    showGroupName({});
    ui->LinkTextEdit->setText({});
    ui->HrefEdit->setText({});
    ui->TargetCmbBox->setEditText({});
    ui->ClassEdit->setText({});
    ui->IDEdit->setText({});
}

void TMain::mnOpen1Click()
{
    // Guarded here as well as by the menu, so a failure reaches the error box however the
    // command is started.
    guarded([this] {
        const std::optional<QString> chosen = prompts().openFileName(this, projectFileDialog(ProjectFileName, false));
        if (!chosen)
            return;
        ProjectFileName = *chosen;
        if (!QFileInfo::exists(ProjectFileName)) {
            prompts().warning(this, QStringLiteral("指定ファイルが存在しません"));
            return;
        }
        // The whole file is read and checked off-screen; only a complete tree replaces the shown one.
        std::unique_ptr<LinkTree> tree = ProjectFile::open(ProjectFileName);
        UpdatesSuspended frozen(ui->TreeView1);
        perform(new ReplaceTreeStep(treeModel(), QStringLiteral("開く"), std::move(tree)));
    });
}

void TMain::mnSave1Click()
{
    guarded([this] {
        const std::optional<QString> chosen = prompts().saveFileName(this, projectFileDialog(ProjectFileName, true));
        if (!chosen)
            return;
        ProjectFileName = *chosen;
        ProjectFile::save(treeModel().tree(), ProjectFileName);
    });
}
