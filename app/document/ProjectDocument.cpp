#include "app/document/ProjectDocument.h"

#include "app/dialogs/ExportDialog.h"
#include "app/editing/LinkTreeModel.h"
#include "app/editing/NodeTransfer.h"
#include "app/dialogs/Prompts.h"
#include "app/document/RecentFiles.h"
#include "app/editing/TreeSteps.h"
#include "app/window/WindowContext.h"
#include "html/ExportReport.h"
#include "html/PageGenerator.h"
#include "html/WrittenFiles.h"
#include "project/ProjectFile.h"
#include "files/SafeFileWrite.h"
#include "text/VormikError.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTreeView>
#include <QUndoStack>
#include <QUrl>

namespace {

Prompts::FileDialog projectFileDialog(const QString &fileName, const QString &folder, bool confirmOverwrite)
{
    return {.filter = QStringLiteral("ヴォルミクセーブデータ (*.xml)|*.xml;"),
            .defaultSuffix = QStringLiteral("xml"),
            .fileName = fileName,
            .folder = folder,
            .confirmOverwrite = confirmOverwrite};
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
    emit outputsChanged();
}

void ProjectDocument::setOutputs(OutputList outputs, bool edited)
{
    DocumentFile file = m_file;
    file.outputs = std::move(outputs);
    // An edit of the list itself is work the file does not hold yet: closing asks, as for a
    // change of the tree. An export's output rides along, as its choice always has.
    if (edited)
        file.savedAfter.reset();
    setFile(file);
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

const OutputList &ProjectDocument::outputs() const
{
    return m_file.outputs;
}

const ExportChoice *ProjectDocument::currentOutput() const
{
    return m_file.outputs.empty() ? nullptr : &m_file.outputs.front().choice;
}

void ProjectDocument::selectOutput(int index)
{
    if (index <= 0 || size_t(index) >= m_file.outputs.size())
        return;
    OutputList list = m_file.outputs;
    std::rotate(list.begin(), list.begin() + index, list.begin() + index + 1);
    setOutputs(std::move(list), true);
}

void ProjectDocument::removeOutput(int index)
{
    if (index < 0 || size_t(index) >= m_file.outputs.size())
        return;
    OutputList list = m_file.outputs;
    list.erase(list.begin() + index);
    setOutputs(std::move(list), true);
}

bool ProjectDocument::canExportAgain() const
{
    return currentOutput() && !currentOutput()->settings.outputFileName.isEmpty();
}

QString ProjectDocument::linkBaseFolder() const
{
    return canExportAgain() ? QFileInfo(currentOutput()->settings.outputFileName).absolutePath() : dialogFolder();
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

void ProjectDocument::newProject()
{
    if (!confirmClose())
        return;
    // The emptied tree stays with the step, so New can be undone.
    replaceTree(QStringLiteral("新規"), std::make_unique<LinkTree>(), {});
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
    auto *step = new ReplaceTreeStep(model, caption, std::move(tree), [this, other] {
        std::swap(m_file, *other);
        emit outputsChanged();
    });
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
        document.outputs = OutputLists::fromProject(project.outputs, file.absoluteDir());
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

void ProjectDocument::openProject()
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
        const OutputList outputs = m_file.outputs;
        ProjectFile::save(model.tree(), path, OutputLists::toProject(outputs, QFileInfo(path).absoluteDir()));
        setFile({path, currentStep(), outputs});
        // The history never merges typing into the step the file was saved after.
        m_history.setClean();
        m_recent.add(path);
        saved = true;
    });
    return saved;
}

void ProjectDocument::saveAs()
{
    save(true);
}

void ProjectDocument::saveProject()
{
    save(false);
}

void ProjectDocument::exportHtml()
{
    exportWithDialog();
}

bool ProjectDocument::exportWithDialog()
{
    // The current output's choices come back, its file's name included.
    const ExportChoice current = currentOutput() ? *currentOutput() : ExportChoice();
    const Prompts::FileDialog dialog{.filter = QStringLiteral("HTMLドキュメント (*.html;*.htm)|*.html;*.htm;"),
                                     .defaultSuffix = PageGenerator::suggestedSuffix(current.settings.format),
                                     .fileName = current.settings.outputFileName,
                                     .folder = linkBaseFolder(),
                                     .confirmOverwrite = true};
    const std::optional<QString> pageFile = m_context.prompts().saveFileName(m_window, dialog);
    if (!pageFile)
        return false;

    ExportDialog settings(m_context.prompts(), m_window);
    settings.outputFileName = *pageFile;
    settings.setProjectFileName(fileName());
    // A file the project already writes comes back with its own output's choices.
    const int found = OutputLists::find(m_file.outputs, *pageFile);
    if (found >= 0)
        settings.showChoice(m_file.outputs[found].choice);
    else if (currentOutput())
        settings.showChoice(current);
    settings.setExport([this](const ExportChoice &choice) { m_context.prompts().information(m_window, writeOutput(choice)); });
    settings.exec();
    if (!settings.chosen())
        return false;
    OutputList list = m_file.outputs;
    OutputLists::put(list, {*settings.chosen(), StoredOutput::Names::Chosen});
    setOutputs(std::move(list), false);
    return true;
}

bool ProjectDocument::writeCurrent(QString &report)
{
    // Names a project file brought are shown to the user before they replace anything not ours.
    if (!canExportAgain() || !OutputLists::mayWriteUnseen(m_file.outputs.front(), fileName()))
        return exportWithDialog();
    const ExportChoice current = *currentOutput();
    report = writeOutput(current);
    return true;
}

void ProjectDocument::exportAgain()
{
    if (!canExportAgain())
        return;
    QString report;
    if (writeCurrent(report) && !report.isEmpty())
        m_context.prompts().information(m_window, report);
}

void ProjectDocument::exportAll()
{
    // A copy: a page's export is a step of the history, and the list must not change under it.
    const OutputList list = m_file.outputs;
    if (list.empty())
        return;
    QStringList lines;
    bool failed = false;
    for (const StoredOutput &output : list) {
        const QString &path = output.choice.settings.outputFileName;
        const QString name = path.isEmpty() ? QStringLiteral("（ファイル名のない出力）") : QDir::toNativeSeparators(path);
        QString outcome;
        if (path.isEmpty() || !OutputLists::mayWriteUnseen(output, fileName())) {
            outcome = QStringLiteral("書き出していません。プロジェクトファイルが決めた出力先で、フォルダの外にあるか、"
                                     "Vormik が書いたと確かめられないファイルを置き換えるので、"
                                     "HTML出力でファイル名を確かめてください");
            failed = true;
        } else {
            try {
                outcome = writeOutput(output.choice);
            } catch (const VormikError &error) {
                outcome = error.message();
                failed = true;
            }
        }
        lines << name + QStringLiteral("\n") + outcome;
    }
    const QString report = lines.join(QStringLiteral("\n\n"));
    if (failed)
        m_context.prompts().warning(m_window, report);
    else
        m_context.prompts().information(m_window, report);
}

void ProjectDocument::showInBrowser()
{
    QString report;
    if (!writeCurrent(report) || !canExportAgain())
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(currentOutput()->settings.outputFileName));
}

QString ProjectDocument::writeOutput(const ExportChoice &choice)
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
            throw VormikError(QStringLiteral("ファイル %1 に書き込めません: %2").arg(path, *failure));
        return ExportReport::dataSuccessMessage(tree, *choice.dataFormat, site);
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
    return ExportReport::successMessage(tree, page.report);
}
