#pragma once

#include "html/DataExport.h"

#include <QString>
#include <QStringList>

class LinkTree;
struct PageReport;

// What the export tells its user after writing the page: the editor in its success message,
// vormik-export on standard error.
namespace ExportReport {

// One line per node the page shows under a stand-in name: its place and the name shown.
QStringList unnamedWarnings(const LinkTree &tree, const PageReport &report);

// Every warning about the page: the nodes without a name, then the links whose id does not work
// as written, each named.
QStringList warnings(const LinkTree &tree, const PageReport &report);

// "正常に出力しました", followed by the warnings and the policy hashes when there are any.
QString successMessage(const LinkTree &tree, const PageReport &report);

// The warnings about bookmarks or OPML written without a site address: how many links are relative.
QStringList dataWarnings(const LinkTree &tree, DataExport::Format format, const QString &siteAddress);

// "正常に出力しました", followed by the data's warnings when there are any.
QString dataSuccessMessage(const LinkTree &tree, DataExport::Format format, const QString &siteAddress);

} // namespace ExportReport
