#include "import/ImportResult.h"

#include "tree/LinkTree.h"

#include <utility>

QString ImportResult::summary() const
{
    QString text = QStringLiteral("グループ %1 個、リンク %2 個を読み込みました").arg(groups).arg(links);
    QStringList left;
    for (const auto &[what, times] : skipped)
        left << QStringLiteral("%1 %2 個").arg(what).arg(times);
    if (!left.isEmpty())
        text += QStringLiteral("（読み込まなかったもの: %1）").arg(left.join(QStringLiteral("、")));
    return text;
}

QString ImportResult::lossReport() const
{
    QStringList lines;
    if (replaced > 0)
        lines << QStringLiteral("不正なバイト列 %1 個を U+FFFD に置き換えました（最初は %2 行目）").arg(replaced).arg(firstReplacedLine);
    for (const auto &[what, times] : losses)
        lines << QStringLiteral("%1: %2 個").arg(what).arg(times);
    return lines.join(QLatin1Char('\n'));
}

void ImportResult::groupAddresslessHolders()
{
    for (LinkNode *node : tree->nodes()) {
        if (!node->isGroup() && node->childCount() > 0 && node->record().Href.isEmpty()) {
            node->record().Group = true;
            --links;
            ++groups;
            if (screening.hasScriptAddresses())
                holdersGrouped.push_back(node);
        }
    }
}

void ImportResult::keepScriptAddresses()
{
    screening.keepScriptAddresses();
    for (LinkNode *node : std::exchange(holdersGrouped, {})) {
        if (node->record().Href.isEmpty())
            continue; // it had no address of its own
        node->record().Group = false;
        ++links;
        --groups;
    }
}
