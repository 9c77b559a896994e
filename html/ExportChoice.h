#pragma once

#include "export/DataExport.h"
#include "html/PageTypes.h"
#include "project/ProjectFile.h"

#include <QDir>
#include <QString>

#include <optional>
#include <span>

// Everything an export was made with: the page's settings, or the data format written instead
// (then the page's options stand by for the next page). outputFileName is the file written.
struct ExportChoice
{
    ExportSettings settings;
    std::optional<DataExport::Format> dataFormat;
    // The site address bookmarks and OPML resolve relative addresses against; empty: none.
    QString siteAddress;

    bool operator==(const ExportChoice &) const = default;
};

namespace ExportChoices {

// The formats by the names vormik-export's --format takes and the project file keeps.
struct FormatName
{
    QLatin1StringView name;
    PageFormat page;
    std::optional<DataExport::Format> data;
};
std::span<const FormatName> formatNames();
// The name of the format `choice` writes.
QLatin1StringView formatName(const ExportChoice &choice);

// The choice as its project file keeps it; the file written is named from the project's folder,
// so that the two can move together.
ProjectFile::Settings toSettings(const ExportChoice &choice, const QDir &projectFolder);
// The choice a project file kept, or nothing when it kept none or names no format this program
// writes. A setting missing or unreadable takes its default, and a written file's name that no
// export would have chosen (any suffix but a page's or the data's own) is left out, so that a file
// from elsewhere cannot have an export replace just any file.
std::optional<ExportChoice> fromSettings(const ProjectFile::Settings &settings, const QDir &projectFolder);
// Whether the project file names the written file relative to its own folder, inside it.
bool namedInsideFolder(const ProjectFile::Settings &settings);

} // namespace ExportChoices
