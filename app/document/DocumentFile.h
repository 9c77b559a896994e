#pragma once

#include "html/OutputList.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// The project file a tree belongs to, the point of the undo history at which the tree was last
// the same as that file, and the outputs the file keeps. It goes with its tree: undoing
// an Open brings back the file of the tree before it.
struct DocumentFile
{
    // Empty until the tree is first saved or opened.
    QString fileName;
    // The serial of the last step done when the tree was the file's (0: before any step);
    // nothing when no point of the history holds the file's tree.
    std::optional<quint64> savedAfter = 0;
    // Every file the tree is written to, the current output first; kept in the file at its next
    // save.
    OutputList outputs;
};
