#include "app/ProjectDocument.h"

#include "app/ExportHTMLForm.h"
#include "app/LinkTreeModel.h"
#include "app/Prompts.h"
#include "app/TreeSteps.h"
#include "app/WindowContext.h"
#include "project/ProjectFile.h"

#include <QFileInfo>
#include <QTreeView>
#include <QUndoStack>

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

// Suspends the repainting of the window's views while a whole-tree change runs.
class UpdatesSuspended
{
public:
    explicit UpdatesSuspended(QWidget *window) : m_views(window->findChildren<QTreeView *>())
    {
        for (QWidget *view : m_views)
            view->setUpdatesEnabled(false);
    }
    ~UpdatesSuspended()
    {
        for (QWidget *view : m_views)
            view->setUpdatesEnabled(true);
    }
    UpdatesSuspended(const UpdatesSuspended &) = delete;
    UpdatesSuspended &operator=(const UpdatesSuspended &) = delete;

private:
    QList<QTreeView *> m_views;
};

} // namespace

ProjectDocument::ProjectDocument(WindowContext &context, QUndoStack &history, QWidget *window)
    : QObject(window), m_context(context), m_history(history), m_window(window)
{
}

bool ProjectDocument::isModified() const
{
    return !m_history.isClean();
}

void ProjectDocument::mnNew1Click()
{
    {
        // The emptied tree stays with the step, so New can be undone.
        UpdatesSuspended frozen(m_window);
        LinkTreeModel &model = m_context.model();
        model.perform(new ReplaceTreeStep(model, QStringLiteral("新規"), std::make_unique<LinkTree>()));
    }
    emit cleared();
}

void ProjectDocument::mnOpen1Click()
{
    // Guarded here as well as by the menu, so a failure reaches the error box however the
    // command is started.
    m_context.guarded(m_window, [this] {
        Prompts &prompts = m_context.prompts();
        const std::optional<QString> chosen = prompts.openFileName(m_window, projectFileDialog(ProjectFileName, false));
        if (!chosen)
            return;
        ProjectFileName = *chosen;
        if (!QFileInfo::exists(ProjectFileName)) {
            prompts.warning(m_window, QStringLiteral("指定ファイルが存在しません"));
            return;
        }
        // The whole file is read and checked off-screen; only a complete tree replaces the shown one.
        std::unique_ptr<LinkTree> tree = ProjectFile::open(ProjectFileName);
        UpdatesSuspended frozen(m_window);
        LinkTreeModel &model = m_context.model();
        model.perform(new ReplaceTreeStep(model, QStringLiteral("開く"), std::move(tree)));
        m_history.setClean();
    });
}

void ProjectDocument::mnSave1Click()
{
    m_context.guarded(m_window, [this] {
        const std::optional<QString> chosen =
            m_context.prompts().saveFileName(m_window, projectFileDialog(ProjectFileName, true));
        if (!chosen)
            return;
        ProjectFileName = *chosen;
        ProjectFile::save(m_context.model().tree(), ProjectFileName);
        m_history.setClean();
    });
}

void ProjectDocument::mnOutPutHTML1Click()
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("HTMLドキュメント (*.html;*.htm)|*.html;*.htm;");
    dialog.defaultSuffix = PageGenerator::suggestedSuffix(m_pageFormat);
    dialog.confirmOverwrite = true;
    const std::optional<QString> fileName = m_context.prompts().saveFileName(m_window, dialog);
    if (!fileName)
        return;

    // A fresh dialog every time, so nothing of an earlier export carries over.
    TExportHTML settings(const_cast<LinkTree &>(m_context.model().tree()), m_context.prompts(), m_window);
    settings.OutputFileName = *fileName;
    // The format is the one choice carried over: a user who moved to HTML5 keeps it for the run.
    settings.setFormat(m_pageFormat);
    if (settings.exec() == QDialog::Accepted)
        m_pageFormat = settings.settings().Format;
}
