#include "html/ExportReport.h"

#include "html/Html5Page.h"
#include "tree/LinkTree.h"

namespace ExportReport {

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

QString successMessage(const LinkTree &tree, const PageReport &report)
{
    QString message = QStringLiteral("正常に出力しました");
    const QStringList warnings = unnamedWarnings(tree, report);
    if (!warnings.isEmpty())
        message += QStringLiteral("\n\n警告:\n") + warnings.join(QLatin1Char('\n'));
    if (!report.policySources.isEmpty())
        message += QStringLiteral("\n\nContent-Security-Policy でページのスタイルとスクリプトを許すには:\n")
            + report.policySources.join(QLatin1Char('\n'));
    return message;
}

} // namespace ExportReport
