// The HTML export command.
#include "app/MainForm.h"

#include "app/Prompts.h"
#include "app/ExportHTMLForm.h"
#include "app/LinkTreeModel.h"

void TMain::mnOutPutHTML1Click()
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("HTMLドキュメント (*.html;*.htm)|*.html;*.htm;");
    dialog.defaultSuffix = PageGenerator::suggestedSuffix(m_pageFormat);
    dialog.confirmOverwrite = true;
    const std::optional<QString> fileName = prompts().saveFileName(this, dialog);
    if (!fileName)
        return;

    // A fresh dialog every time, so nothing of an earlier export carries over.
    TExportHTML settings(treeModel().tree(), prompts(), this);
    settings.OutputFileName = *fileName;
    // The format is the one choice carried over: a user who moved to HTML5 keeps it for the run.
    settings.setFormat(m_pageFormat);
    settings.setProjectFileName(ProjectFileName);
    if (settings.exec() == QDialog::Accepted)
        m_pageFormat = settings.settings().Format;
}
