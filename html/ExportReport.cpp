#include "html/ExportReport.h"

#include "html/Html5Page.h"
#include "tree/LinkTree.h"

namespace ExportReport {

namespace {

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
    return lines;
}

QString successMessage(const LinkTree &tree, const PageReport &report)
{
    QString message = QStringLiteral("正常に出力しました");
    const QStringList lines = warnings(tree, report);
    if (!lines.isEmpty())
        message += QStringLiteral("\n\n警告:\n") + lines.join(QLatin1Char('\n'));
    if (!report.policySources.isEmpty())
        message += QStringLiteral("\n\nContent-Security-Policy でページのスタイルとスクリプトを許すには:\n")
            + report.policySources.join(QLatin1Char('\n'));
    return message;
}

} // namespace ExportReport
