#include "import/ImportScreening.h"

#include "html/ActiveContent.h"
#include "tree/LinkTree.h"

namespace {

// However many there are, a report names this many and counts the rest.
constexpr qsizetype NamedAtMost = 20;

template<class Items, class Shown>
QString listed(const Items &items, Shown shown)
{
    QStringList names;
    for (const auto &item : items) {
        if (names.size() == NamedAtMost)
            break;
        names << shown(item);
    }
    QString text = names.join(QStringLiteral("、"));
    if (static_cast<qsizetype>(items.size()) > NamedAtMost)
        text += QStringLiteral(" ほか %1 個").arg(static_cast<qsizetype>(items.size()) - NamedAtMost);
    return text;
}

} // namespace

void ImportScreening::look(LinkNode *node)
{
    if (ActiveContent::of(node->text()) != ActiveContent::Kind::Text)
        m_markupNames.push_back(node);
    if (!node->isGroup() && ActiveContent::isScriptAddress(node->record().Href))
        m_scriptAddresses.emplace_back(node, node->record().Href);
}

void ImportScreening::leaveOutScriptAddresses()
{
    for (const auto &[node, address] : m_scriptAddresses)
        node->record().Href.clear();
    m_addressesLeftOut = true;
}

void ImportScreening::keepScriptAddresses()
{
    for (const auto &[node, address] : m_scriptAddresses)
        node->record().Href = address;
    m_addressesLeftOut = false;
}

QStringList ImportScreening::lines() const
{
    QStringList lines;
    if (!m_markupNames.empty())
        lines << QStringLiteral("名前にタグがあるもの %1 個: %2")
                     .arg(m_markupNames.size())
                     .arg(listed(m_markupNames, [](const LinkNode *node) {
                         return QStringLiteral("「%1」").arg(node->text());
                     }));
    if (!m_scriptAddresses.empty())
        lines << QStringLiteral("スクリプトを実行するアドレスのリンク %1 個（%2）: %3")
                     .arg(m_scriptAddresses.size())
                     .arg(m_addressesLeftOut ? QStringLiteral("アドレスを除いて読み込みました")
                                             : QStringLiteral("アドレスもそのまま読み込みました"),
                          listed(m_scriptAddresses, [](const auto &item) {
                              return QStringLiteral("「%1」%2").arg(item.first->text(), item.second);
                          }));
    return lines;
}
