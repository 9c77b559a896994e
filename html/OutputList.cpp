#include "html/OutputList.h"

#include "html/WrittenFiles.h"

#include <QFileInfo>

namespace OutputLists {

OutputList fromProject(const ProjectFile::Outputs &outputs, const QDir &projectFolder)
{
    OutputList list;
    for (const ProjectFile::Settings &settings : outputs) {
        if (std::optional<ExportChoice> choice = ExportChoices::fromSettings(settings, projectFolder))
            list.push_back({std::move(*choice), ExportChoices::namedInsideFolder(settings)
                                                    ? StoredOutput::Names::InsideProject
                                                    : StoredOutput::Names::Elsewhere});
    }
    return list;
}

ProjectFile::Outputs toProject(const OutputList &outputs, const QDir &projectFolder)
{
    ProjectFile::Outputs settings;
    for (const StoredOutput &output : outputs)
        settings.push_back(ExportChoices::toSettings(output.choice, projectFolder));
    return settings;
}

int find(const OutputList &outputs, const QString &file)
{
    const QString wanted = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    for (size_t i = 0; i < outputs.size(); ++i) {
        const QString &written = outputs[i].choice.settings.outputFileName;
        if (!written.isEmpty() && QDir::cleanPath(QFileInfo(written).absoluteFilePath()) == wanted)
            return int(i);
    }
    return -1;
}

void put(OutputList &outputs, const StoredOutput &output)
{
    if (const int found = find(outputs, output.choice.settings.outputFileName); found >= 0)
        outputs.erase(outputs.begin() + found);
    outputs.insert(outputs.begin(), output);
}

bool mayWriteUnseen(const StoredOutput &output, const QString &projectFile, bool askBeforeReplacing)
{
    switch (output.names) {
    case StoredOutput::Names::Chosen:
        return true;
    case StoredOutput::Names::InsideProject: {
        const QStringList paths = WrittenFiles::paths(output.choice);
        return WrittenFiles::allInside(paths, QFileInfo(projectFile).absolutePath())
            && (!askBeforeReplacing || WrittenFiles::othersIn(paths).isEmpty());
    }
    case StoredOutput::Names::Elsewhere:
        break;
    }
    return false;
}

} // namespace OutputLists
