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

// "3 番目のリンク（グループ「資料」の中）": the parent alone places the node well enough and keeps
// the report linear in the tree.
QString placeOf(const LinkTree &tree, int index)
{
    const LinkNode &node = *tree.nodeAt(index);
    const QString place = node.parent() ? QStringLiteral("グループ「%1」の中").arg(Html5Page::shownName(*node.parent()))
                                        : QStringLiteral("最上位");
    return QStringLiteral("%1 番目の%2（%3）")
        .arg(index + 1)
        .arg(node.isGroup() ? QStringLiteral("グループ") : QStringLiteral("リンク"), place);
}

} // namespace

QStringList warnings(const LinkTree &tree, const PageReport &report)
{
    QStringList lines;
    for (const int index : report.unnamedNodes)
        lines << QStringLiteral("%1に名前がないため「%2」と出力しました")
                     .arg(placeOf(tree, index), Html5Page::shownName(*tree.nodeAt(index)));
    for (const int index : report.textNodes)
        lines << QStringLiteral("%1の名前「%2」はスクリプトなどを含むため、タグとしてではなく文字として出力しました")
                     .arg(placeOf(tree, index), tree.nodeAt(index)->text());
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
