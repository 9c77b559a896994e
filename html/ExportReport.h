#pragma once

#include <QString>
#include <QStringList>

class LinkTree;
struct PageReport;

// What the export tells its user after writing the page: the editor in its success message,
// vormik-export on standard error.
namespace ExportReport {

// One line per node the page shows under a stand-in name (its place and the name shown), and per
// node whose name the classic page wrote as text since it would run or load something.
QStringList warnings(const LinkTree &tree, const PageReport &report);

// "正常に出力しました", followed by the warnings and the policy hashes when there are any.
QString successMessage(const LinkTree &tree, const PageReport &report);

} // namespace ExportReport
