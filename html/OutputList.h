#pragma once

#include "html/ExportChoice.h"

#include <QDir>
#include <QString>

#include <vector>

// One file a project's tree is written to, with what it is written with.
struct StoredOutput
{
    ExportChoice choice;
    // Where its file's names come from: the user's choice in the export dialog, or the project
    // file, which may come from anyone, naming them inside its own folder or not.
    enum class Names { Chosen, InsideProject, Elsewhere };
    Names names = Names::Chosen;

    bool operator==(const StoredOutput &) const = default;
};

// The outputs of a project, the current one first: the one last written or chosen, which
// 前回の設定で出力 writes and a reader that knows only one output takes.
using OutputList = std::vector<StoredOutput>;

namespace OutputLists {

// The outputs a project file keeps; those naming no format this program writes are left out.
OutputList fromProject(const ProjectFile::Outputs &outputs, const QDir &projectFolder);
// The outputs as the project file keeps them, in their order.
ProjectFile::Outputs toProject(const OutputList &outputs, const QDir &projectFolder);

// The index of the output writing `file` (compared as cleaned absolute paths), or -1.
int find(const OutputList &outputs, const QString &file);
// Makes `output` the current one, in place of the output of the same file, if any.
void put(OutputList &outputs, const StoredOutput &output);

// Whether `output` may be written with no one seeing its names: the user chose them, or the
// project file at `projectFile` named them inside its folder and, with `askBeforeReplacing`,
// every file they would replace is one this program wrote.
bool mayWriteUnseen(const StoredOutput &output, const QString &projectFile, bool askBeforeReplacing = true);

} // namespace OutputLists
