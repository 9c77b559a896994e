#pragma once

#include "export/DataExport.h"

#include <QString>
#include <QStringList>

class LinkTree;
struct PageReport;

// What the export tells its user after writing the page: the editor in its success message,
// vormik-export on standard error.
namespace ExportReport {

// Every warning about the page: the nodes shown under a stand-in name, the nodes whose names the
// classic page wrote as text since they would run or load something, then the links whose id does
// not work as written, each named.
QStringList warnings(const LinkTree &tree, const PageReport &report);

// "正常に出力しました", followed by the warnings and the policy hashes when there are any.
QString successMessage(const LinkTree &tree, const PageReport &report);

// The warnings about bookmarks or OPML written without a site address: how many links are relative.
QStringList dataWarnings(const LinkTree &tree, DataExport::Format format, const QString &siteAddress);

// "正常に出力しました", followed by the data's warnings when there are any.
QString dataSuccessMessage(const LinkTree &tree, DataExport::Format format, const QString &siteAddress);

} // namespace ExportReport
