#include "html/ExportReport.h"

#include "html/Html5Page.h"
#include "tree/LinkTree.h"

namespace ExportReport {

namespace {

const QString Success = QStringLiteral("正常に出力しました");

QString withWarnings(const QString &message, const QStringList &warnings)
{
    if (warnings.isEmpty())
        return message;
    return message + QStringLiteral("\n\n警告:\n") + warnings.join(QLatin1Char('\n'));
}

void addIdWarnings(const LinkTree &tree, const std::vector<int> &indexes, const QString &problem, QStringList &lines)
{
    for (const int index : indexes) {
        const LinkNode &node = *tree.nodeAt(index);
        lines << QStringLiteral("%1 番目のリンク「%2」の ID「%3」%4")
                     .arg(QString::number(index + 1), Html5Page::shownName(node), node.record().ObjID, problem);
    }
}

} // namespace

QStringList unnamedWarnings(const LinkTree &tree, const PageReport &report)
{
    QStringList lines;
    for (const int index : report.unnamedNodes) {
        const LinkNode &node = *tree.nodeAt(index);
        // The parent alone places the node well enough and keeps the report linear in the tree.
        const QString place = node.parent()
            ? QStringLiteral("グループ「%1」の中").arg(Html5Page::shownName(*node.parent()))
            : QStringLiteral("最上位");
        lines << QStringLiteral("%1 番目の%2（%3）に名前がないため「%4」と出力しました")
                     .arg(index + 1)
                     .arg(node.isGroup() ? QStringLiteral("グループ") : QStringLiteral("リンク"), place,
                          Html5Page::shownName(node));
    }
    return lines;
}

QStringList warnings(const LinkTree &tree, const PageReport &report)
{
    QStringList lines = unnamedWarnings(tree, report);
    addIdWarnings(tree, report.spacedIds, QStringLiteral("には空白があり、ID として働きません"), lines);
    addIdWarnings(tree, report.sharedIds, QStringLiteral("は前のリンクの ID と同じです"), lines);
    addIdWarnings(tree, report.groupIdClashes,
                  QStringLiteral("はページがグループに付ける ID と同じため、グループが開閉しません"), lines);
    return lines;
}

QString successMessage(const LinkTree &tree, const PageReport &report)
{
    QString message = withWarnings(Success, warnings(tree, report));
    if (!report.policySources.isEmpty())
        message += QStringLiteral("\n\nContent-Security-Policy でページのスタイルとスクリプトを許すには:\n")
            + report.policySources.join(QLatin1Char('\n'));
    return message;
}

QStringList dataWarnings(const LinkTree &tree, DataExport::Format format, const QString &siteAddress)
{
    if (!DataExport::usesSiteAddress(format) || !siteAddress.isEmpty())
        return {};
    const int relative = DataExport::relativeLinks(tree);
    if (relative == 0)
        return {};
    return {QStringLiteral("相対アドレスのリンクが %1 件あり、そのまま書き出しました。ブラウザーに取り込むには"
                           "サイトのアドレスを指定してください")
                .arg(relative)};
}

QString dataSuccessMessage(const LinkTree &tree, DataExport::Format format, const QString &siteAddress)
{
    return withWarnings(Success, dataWarnings(tree, format, siteAddress));
}

} // namespace ExportReport
