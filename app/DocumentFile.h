#pragma once

#include "html/ExportChoice.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

// The project file a tree belongs to, the point of the undo history at which the tree was last
// the same as that file, and the export settings the file keeps. It goes with its tree: undoing
// an Open brings back the file of the tree before it.
struct DocumentFile
{
    // Empty until the tree is first saved or opened.
    QString fileName;
    // The serial of the last step done when the tree was the file's (0: before any step);
    // nothing when no point of the history holds the file's tree.
    std::optional<quint64> savedAfter = 0;
    // What the last export wrote, kept in the file at its next save; none before one. Shared,
    // never changed: a new export puts a new one in its place.
    std::shared_ptr<const ExportChoice> lastExport;
    // Where the last export's file names come from: the user's choice in the export dialog, or
    // the project file, which may come from anyone, naming them inside its own folder or not.
    enum class ExportNames { Chosen, InsideProject, Elsewhere };
    ExportNames exportNames = ExportNames::Chosen;
};
