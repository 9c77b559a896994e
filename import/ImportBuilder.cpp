#include "import/ImportBuilder.h"

#include "import/HtmlDocument.h"
#include "text/TextRules.h"
#include "tree/LinkTree.h"

#include <algorithm>

namespace {

// XML, and so a project file, holds no control character but tab and line breaks, and no U+FFFE
// or U+FFFF; the line breaks go as the editor drops them.
bool unwritable(QChar c)
{
    const char16_t code = c.unicode();
    return (code < 0x20 && code != u'\t' && code != u'\r' && code != u'\n') || code == 0xFFFE || code == 0xFFFF;
}

} // namespace

QString ImportBuilder::value(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString kept = TextRules::trimmed(TextRules::withoutLineBreaks(text));
    // Almost every value holds neither, and is kept as it is.
    if (std::none_of(kept.begin(), kept.end(), [](QChar c) { return unwritable(c) || c.isSurrogate(); }))
        return kept;
    int dropped = 0;
    int halves = 0;
    QString out;
    out.reserve(kept.size());
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const QChar c = kept.at(i);
        if (unwritable(c)) {
            ++dropped;
        } else if (c.isHighSurrogate() && i + 1 < kept.size() && kept.at(i + 1).isLowSurrogate()) {
            out += c;
            out += kept.at(++i);
        } else if (c.isSurrogate()) {
            ++halves;
            out += QChar::ReplacementCharacter;
        } else {
            out += c;
        }
    }
    if (dropped > 0)
        lose(QStringLiteral("プロジェクトファイルに書けない制御文字（削除）"), dropped);
    if (halves > 0)
        lose(QStringLiteral("対になっていないサロゲート（U+FFFD に置き換え）"), halves);
    return TextRules::trimmed(out);
}

ImportBuilder::ImportBuilder(QString fileName) : m_fileName(std::move(fileName))
{
    m_result.tree = std::make_unique<LinkTree>();
}

void ImportBuilder::checkDepth(const LinkNode *parent) const
{
    if (parent && parent->level() + 1 >= Import::MaxDepth)
        HtmlDocument::tooDeep(m_fileName);
}

LinkNode *ImportBuilder::addGroup(LinkNode *parent, const QString &name)
{
    checkDepth(parent);
    ++m_result.groups;
    LinkNode *node = m_result.tree->appendGroup(parent, value(name));
    m_result.screening.look(node);
    return node;
}

LinkNode *ImportBuilder::addLink(LinkNode *parent, const QString &name, const QString &href)
{
    checkDepth(parent);
    ++m_result.links;
    LinkNode *node = m_result.tree->appendLink(parent, value(name));
    setField(node, NodeField::Href, href);
    m_result.screening.look(node);
    return node;
}

ImportResult ImportBuilder::take()
{
    // Left out first, so a link whose only address ran script holds its nodes as a group.
    m_result.screening.leaveOutScriptAddresses();
    m_result.groupAddresslessHolders();
    return std::move(m_result);
}
