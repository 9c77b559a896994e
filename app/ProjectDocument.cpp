#include "app/ProjectDocument.h"

#include "app/ExportHTMLForm.h"
#include "app/ExportWriter.h"
#include "app/LinkTreeModel.h"
#include "app/Prompts.h"
#include "app/RecentFiles.h"
#include "app/TreeSteps.h"
#include "app/WindowContext.h"
#include "html/WrittenFiles.h"
#include "project/ProjectFile.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTreeView>
#include <QUndoStack>

namespace {

Prompts::FileDialog projectFileDialog(const QString &fileName, const QString &folder, bool confirmOverwrite)
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("ヴォルミクセーブデータ (*.xml)|*.xml;");
    dialog.defaultSuffix = QStringLiteral("xml");
    dialog.fileName = fileName;
    dialog.folder = folder;
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

ProjectDocument::ProjectDocument(WindowContext &context, QUndoStack &history, RecentFiles &recent, QWidget *window)
    : QObject(window), m_context(context), m_history(history), m_recent(recent), m_window(window)
{
    connect(&history, &QUndoStack::indexChanged, this, &ProjectDocument::stateChanged);
    connect(&context.model(), &LinkTreeModel::fileChanged, this, &ProjectDocument::stateChanged);
}

QString ProjectDocument::fileName() const
{
    return m_context.model().file().fileName;
}

quint64 ProjectDocument::currentStep() const
{
    const int index = m_history.index();
    const auto *step = index > 0 ? dynamic_cast<const TreeStep *>(m_history.command(index - 1)) : nullptr;
    return step ? step->serial() : 0;
}

bool ProjectDocument::isModified() const
{
    return m_context.model().file().savedAfter != currentStep();
}

QString ProjectDocument::dialogFolder() const
{
    const QString current = fileName();
    return current.isEmpty() ? m_recent.lastFolder() : QFileInfo(current).absolutePath();
}

const ExportChoice *ProjectDocument::lastExport() const
{
    return m_context.model().file().lastExport.get();
}

void ProjectDocument::setLastExport(const ExportChoice &choice)
{
    LinkTreeModel &model = m_context.model();
    DocumentFile file = model.file();
    file.lastExport = std::make_shared<const ExportChoice>(choice);
    file.exportNames = DocumentFile::ExportNames::Chosen;
    model.setFile(file);
}

bool ProjectDocument::canExportAgain() const
{
    return lastExport() && !lastExport()->settings.outputFileName.isEmpty();
}

QString ProjectDocument::linkBaseFolder() const
{
    return canExportAgain() ? QFileInfo(lastExport()->settings.outputFileName).absolutePath() : dialogFolder();
}

bool ProjectDocument::confirmClose()
{
    if (!isModified())
        return true;
    switch (m_context.prompts().askSaveChanges(m_window, QStringLiteral("変更を保存しますか？"))) {
    case Prompts::SaveChoice::Save:
        return save(false);
    case Prompts::SaveChoice::Discard:
        return true;
    case Prompts::SaveChoice::Cancel:
        break;
    }
    return false;
}

void ProjectDocument::mnNew1Click()
{
    if (!confirmClose())
        return;
    {
        // The emptied tree stays with the step, so New can be undone.
        UpdatesSuspended frozen(m_window);
        LinkTreeModel &model = m_context.model();
        model.perform(new ReplaceTreeStep(model, QStringLiteral("新規"), std::make_unique<LinkTree>()));
    }
    emit cleared();
}

bool ProjectDocument::openFile(const QString &path)
{
    return open(path, false);
}

bool ProjectDocument::openReplacing(const QString &path)
{
    return open(path, true);
}

bool ProjectDocument::open(const QString &path, bool askFirst)
{
    bool opened = false;
    // Guarded here as well as by the menu, so a failure reaches the error box however the
    // command is started; until the new tree is shown, nothing of the document changes.
    m_context.guarded(m_window, [&] {
        if (!QFileInfo::exists(path)) {
            m_context.prompts().warning(m_window, QStringLiteral("指定ファイルが存在しません"));
            return;
        }
        // The file a large node drag hands over lives only while the drag does: never a document.
        if (LinkTreeModel::isHandoverFile(path)) {
            m_context.prompts().warning(m_window, QStringLiteral("ドラッグ中のノードを渡す一時ファイルは開けません"));
            return;
        }
        // Asked before the file is read: a save in answer may write the very file being opened.
        if (askFirst && !confirmClose())
            return;
        // The whole file is read and checked off-screen; only a complete tree replaces the shown one.
        ProjectFile::Project project = ProjectFile::openProject(path);
        const QFileInfo file(path);
        DocumentFile document;
        document.fileName = file.absoluteFilePath();
        if (auto choice = ExportChoices::fromSettings(project.exportSettings, file.absoluteDir()))
            document.lastExport = std::make_shared<const ExportChoice>(std::move(*choice));
        document.exportNames = ExportChoices::namedInsideFolder(project.exportSettings)
                                   ? DocumentFile::ExportNames::InsideProject
                                   : DocumentFile::ExportNames::Elsewhere;
        {
            UpdatesSuspended frozen(m_window);
            LinkTreeModel &model = m_context.model();
            model.perform(new ReplaceTreeStep(model, QStringLiteral("開く"), std::move(project.tree), document));
        }
        m_recent.add(document.fileName);
        opened = true;
    });
    return opened;
}

void ProjectDocument::openRecent(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        m_recent.remove(path);
        m_context.prompts().warning(m_window, QStringLiteral("ファイルが見つかりません: ") + QDir::toNativeSeparators(path));
        return;
    }
    openReplacing(path);
}

void ProjectDocument::mnOpen1Click()
{
    const Prompts::FileDialog dialog = projectFileDialog(fileName(), dialogFolder(), false);
    if (const std::optional<QString> chosen = m_context.prompts().openFileName(m_window, dialog))
        openReplacing(*chosen);
}

bool ProjectDocument::save(bool askName)
{
    QString path = fileName();
    if (askName || path.isEmpty()) {
        const std::optional<QString> chosen =
            m_context.prompts().saveFileName(m_window, projectFileDialog(path, dialogFolder(), true));
        if (!chosen)
            return false;
        path = QFileInfo(*chosen).absoluteFilePath();
    }
    bool saved = false;
    m_context.guarded(m_window, [&] {
        emit aboutToSave();
        LinkTreeModel &model = m_context.model();
        const std::shared_ptr<const ExportChoice> exported = model.file().lastExport;
        ProjectFile::save(model.tree(), path,
                          exported ? ExportChoices::toSettings(*exported, QFileInfo(path).absoluteDir())
                                   : ProjectFile::Settings());
        model.setFile({path, currentStep(), exported, model.file().exportNames});
        // The history never merges typing into the step the file was saved after.
        m_history.setClean();
        m_recent.add(path);
        saved = true;
    });
    return saved;
}

void ProjectDocument::mnSave1Click()
{
    save(true);
}

void ProjectDocument::mnSaveOverwrite1Click()
{
    save(false);
}

void ProjectDocument::mnOutPutHTML1Click()
{
    // The last export's choices come back, its file's name included.
    const ExportChoice last = lastExport() ? *lastExport() : ExportChoice();
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("HTMLドキュメント (*.html;*.htm)|*.html;*.htm;");
    dialog.defaultSuffix = PageGenerator::suggestedSuffix(last.settings.format);
    dialog.fileName = last.settings.outputFileName;
    dialog.folder = linkBaseFolder();
    dialog.confirmOverwrite = true;
    const std::optional<QString> pageFile = m_context.prompts().saveFileName(m_window, dialog);
    if (!pageFile)
        return;

    LinkTreeModel &model = m_context.model();
    TExportHTML settings(model.tree(), m_context.prompts(), m_window);
    settings.OutputFileName = *pageFile;
    settings.setProjectFileName(fileName());
    if (lastExport())
        settings.showChoice(last);
    settings.exec();
    if (settings.written())
        setLastExport(*settings.written());
    // The page's group ids become the groups' own, as every export leaves them: not a step, and
    // no change that asks to be saved.
    model.setGeneratedIds(settings.generatedIds());
}

bool ProjectDocument::mayExportAgainUnseen() const
{
    const DocumentFile &file = m_context.model().file();
    switch (file.exportNames) {
    case DocumentFile::ExportNames::Chosen:
        return true;
    case DocumentFile::ExportNames::InsideProject: {
        const QStringList paths = WrittenFiles::paths(*file.lastExport);
        return WrittenFiles::allInside(paths, QFileInfo(file.fileName).absolutePath())
            && WrittenFiles::othersIn(paths).isEmpty();
    }
    case DocumentFile::ExportNames::Elsewhere:
        break;
    }
    return false;
}

void ProjectDocument::mnExportAgain1Click()
{
    if (!canExportAgain())
        return;
    // Names a project file brought are shown to the user before they replace anything not ours.
    if (!mayExportAgainUnseen()) {
        mnOutPutHTML1Click();
        return;
    }
    const ExportChoice last = *lastExport();
    LinkTreeModel &model = m_context.model();
    std::vector<QString> groupIds;
    TSystemStruct system;
    const auto keepIds = qScopeGuard([&] { model.setGeneratedIds(groupIds); });
    ExportWriter::write(model.tree(), last, m_context.prompts(), m_window, system, groupIds);
}
