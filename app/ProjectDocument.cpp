#include "app/ProjectDocument.h"

#include "app/ExportHTMLForm.h"
#include "app/LinkTreeModel.h"
#include "app/NodeTransfer.h"
#include "app/Prompts.h"
#include "app/RecentFiles.h"
#include "app/TreeSteps.h"
#include "app/WindowContext.h"
#include "html/ExportReport.h"
#include "html/WrittenFiles.h"
#include "project/ProjectFile.h"
#include "text/SafeFileWrite.h"
#include "text/VormikError.h"

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

} // namespace

ProjectDocument::ProjectDocument(WindowContext &context, QUndoStack &history, RecentFiles &recent, QWidget *window)
    : QObject(window), m_context(context), m_history(history), m_recent(recent), m_window(window)
{
    // Undo and redo also bring back the file of the tree they show.
    connect(&history, &QUndoStack::indexChanged, this, &ProjectDocument::stateChanged);
}

QString ProjectDocument::fileName() const
{
    return m_file.fileName;
}

void ProjectDocument::setFile(const DocumentFile &file)
{
    m_file = file;
    emit stateChanged();
}

quint64 ProjectDocument::currentStep() const
{
    const int index = m_history.index();
    const auto *step = index > 0 ? dynamic_cast<const TreeStep *>(m_history.command(index - 1)) : nullptr;
    return step ? step->serial() : 0;
}

bool ProjectDocument::isModified() const
{
    return m_file.savedAfter != currentStep();
}

QString ProjectDocument::dialogFolder() const
{
    const QString current = fileName();
    return current.isEmpty() ? m_recent.lastFolder() : QFileInfo(current).absolutePath();
}

const ExportChoice *ProjectDocument::lastExport() const
{
    return m_file.lastExport.get();
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
    // The emptied tree stays with the step, so New can be undone.
    replaceTree(QStringLiteral("新規"), std::make_unique<LinkTree>(), {});
    emit cleared();
}

void ProjectDocument::replaceTree(const QString &caption, std::unique_ptr<LinkTree> tree, const DocumentFile &file)
{
    // The views repaint once, after the whole tree has changed.
    const QList<QTreeView *> views = m_window->findChildren<QTreeView *>();
    for (QTreeView *view : views)
        view->setUpdatesEnabled(false);
    const auto resume = qScopeGuard([&views] {
        for (QTreeView *view : views)
            view->setUpdatesEnabled(true);
    });
    // The file goes with its tree, so undoing an Open brings back the file of the tree before it.
    auto other = std::make_shared<DocumentFile>(file);
    LinkTreeModel &model = m_context.model();
    auto *step = new ReplaceTreeStep(model, caption, std::move(tree), [this, other] { std::swap(m_file, *other); });
    // The new tree is its file's as it stands right after the step.
    other->savedAfter = step->serial();
    model.perform(step);
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
        if (NodeTransfer::isHandoverFile(path)) {
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
        replaceTree(QStringLiteral("開く"), std::move(project.tree), document);
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
        const std::shared_ptr<const ExportChoice> exported = m_file.lastExport;
        ProjectFile::save(model.tree(), path,
                          exported ? ExportChoices::toSettings(*exported, QFileInfo(path).absoluteDir())
                                   : ProjectFile::Settings());
        setFile({path, currentStep(), exported, m_file.exportNames});
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

    TExportHTML settings(m_context.prompts(), m_window);
    settings.OutputFileName = *pageFile;
    settings.setProjectFileName(fileName());
    if (lastExport())
        settings.showChoice(last);
    settings.setExport([this](const ExportChoice &choice) { exportTree(choice); });
    settings.exec();
    if (settings.chosen()) {
        DocumentFile file = m_file;
        file.lastExport = std::make_shared<const ExportChoice>(*settings.chosen());
        file.exportNames = DocumentFile::ExportNames::Chosen;
        setFile(file);
    }
}

bool ProjectDocument::mayExportAgainUnseen() const
{
    switch (m_file.exportNames) {
    case DocumentFile::ExportNames::Chosen:
        return true;
    case DocumentFile::ExportNames::InsideProject: {
        const QStringList paths = WrittenFiles::paths(*m_file.lastExport);
        return WrittenFiles::allInside(paths, QFileInfo(m_file.fileName).absolutePath())
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
    const std::shared_ptr<const ExportChoice> last = m_file.lastExport;
    exportTree(*last);
}

void ProjectDocument::exportTree(const ExportChoice &choice)
{
    LinkTreeModel &model = m_context.model();
    const LinkTree &tree = model.tree();
    const QString &path = choice.settings.outputFileName;
    if (choice.dataFormat) {
        const QString site = DataExport::usesSiteAddress(*choice.dataFormat) ? choice.siteAddress.trimmed() : QString();
        if (!site.isEmpty() && !DataExport::isSiteAddress(site))
            throw VormikError(
                QStringLiteral("サイトのアドレス「%1」は https://example.org/ のような絶対アドレスではありません").arg(site));
        if (const auto failure = writeFileSafely(path, DataExport::write(tree, *choice.dataFormat, site)))
            throw VormikError(QStringLiteral("ファイル %1 に書き込めません: %2").arg(path, failure->reason));
        m_context.prompts().information(m_window, ExportReport::dataSuccessMessage(tree, *choice.dataFormat, site));
        return;
    }
    const PageGenerator::Page page = PageGenerator::buildPage(tree, choice.settings);
    // The ids the page gave the groups become theirs as soon as it is made, written or not, as one
    // step (none when each holds its id), so a project saved afterwards and a data export show them.
    // No page reads them back: each numbers its groups afresh.
    std::vector<EditFieldsStep::Edit> ids;
    const std::vector<LinkNode *> &nodes = tree.nodes();
    for (size_t row = 0; row < nodes.size(); ++row) {
        if (nodes[row]->isGroup() && nodes[row]->record().ObjID != page.groupIds[row])
            ids.push_back({nodes[row], page.groupIds[row]});
    }
    if (!ids.empty())
        model.perform(new EditFieldsStep(model, QStringLiteral("グループIDの付与"), NodeField::ObjID, ids));
    PageGenerator::writePageFiles(path, page);
    m_context.prompts().information(m_window, ExportReport::successMessage(tree, page.report));
}
