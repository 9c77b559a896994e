#include "import/FormatReaders.h"

#include "import/BookmarkTokens.h"
#include "import/HtmlDocument.h"
#include "import/ImportBuilder.h"

#include <vector>

namespace BookmarkReader {

namespace {

using BookmarkText::attribute;
using Kind = BookmarkTokens::Kind;

// What Vormik's own bookmark file adds to a bookmark or folder; browsers ignore it.
void keepFields(ImportBuilder &builder, LinkNode *node, QByteArrayView attributes)
{
    builder.setDetails(node, [&](const NodeFieldInfo &field) { return attribute(attributes, field.linkAttribute); });
}

// The tags that end a name left open: every tag of the format but the name's own markup.
bool isStructure(const QByteArray &name)
{
    return name == "dl" || name == "dt" || name == "dd" || name == "h3" || name == "a" || name == "hr";
}

} // namespace

bool recognises(const QByteArray &bytes)
{
    return bytes.first(std::min<qsizetype>(bytes.size(), 1024)).toUpper().contains("NETSCAPE-BOOKMARK-FILE");
}

ImportResult read(const QByteArray &start, const std::function<QByteArray()> &more, const QString &fileName)
{
    ImportBuilder builder(fileName);
    BookmarkTokens tokens(start, more);
    // Browsers write a folder as <DT><H3>name</H3> followed by its <DL>, and Vormik a link
    // holding nodes as the bookmark followed by its <DL>. The open lists, each with the node it
    // belongs to, and how many lists nest there with no folder between (an import never keeps
    // more than one entry per folder level).
    struct List
    {
        LinkNode *parent;
        qsizetype count;
    };
    std::vector<List> lists;
    LinkNode *owner = nullptr; // the folder or bookmark just read, whose list may follow
    bool anyList = false;
    const auto parent = [&] { return lists.empty() ? nullptr : lists.back().parent; };
    // The folder name or bookmark being read.
    QByteArray item;
    QByteArray itemAttributes; // kept: a token's bytes last only until the next
    QByteArray itemText;
    const auto finishItem = [&] {
        const QString name = BookmarkText::text(itemText);
        if (item == "h3") {
            owner = builder.addGroup(parent(), name);
            keepFields(builder, owner, itemAttributes);
        } else {
            const QString href = attribute(itemAttributes, fieldInfo(NodeField::Href).linkAttribute);
            if (href.startsWith(QLatin1String("place:"), Qt::CaseInsensitive)) {
                builder.skip(QStringLiteral("検索ブックマーク"));
            } else {
                owner = builder.addLink(parent(), name, href);
                keepFields(builder, owner, itemAttributes);
                if (!attribute(itemAttributes, "icon").isNull() || !attribute(itemAttributes, "icon_uri").isNull())
                    builder.skip(QStringLiteral("アイコン"));
            }
        }
        item.clear();
        itemText.clear();
    };
    for (BookmarkTokens::Token token = tokens.next(); token.kind != Kind::End; token = tokens.next()) {
        if (!item.isEmpty()) {
            if (token.kind == Kind::Text) {
                itemText += token.raw;
                continue;
            }
            if (token.kind == Kind::EndTag && token.name == item) {
                finishItem();
                continue;
            }
            if (!isStructure(token.name))
                continue; // markup in a name: its text is the name
            finishItem();
        }
        if (token.kind == Kind::Text)
            continue;
        const bool start = token.kind == Kind::StartTag;
        if (token.name == "dl") {
            if (start) {
                anyList = true;
                if (owner || lists.empty())
                    lists.push_back({owner, 1});
                else
                    ++lists.back().count;
            } else if (!lists.empty() && --lists.back().count == 0) {
                lists.pop_back();
            }
            owner = nullptr;
        } else if (start && (token.name == "h3" || token.name == "a")) {
            owner = nullptr;
            item = token.name;
            itemAttributes = token.raw.toByteArray();
        } else if (start && token.name == "hr") {
            owner = nullptr;
            builder.skip(QStringLiteral("区切り線"));
        } else if (start && token.name == "dd") {
            builder.skip(QStringLiteral("説明")); // the folder's list may still follow it
        }
    }
    if (!item.isEmpty())
        finishItem();
    if (!anyList)
        HtmlDocument::notFormat(fileName, QStringLiteral("ブックマークファイル"));
    qsizetype open = 0;
    for (const List &list : lists)
        open += list.count;
    if (open > 0 || tokens.cutShort())
        builder.lose(QStringLiteral("途中で切れたファイルの閉じていない一覧 (DL)"), static_cast<int>(std::max<qsizetype>(open, 1)));
    return builder.take();
}

} // namespace BookmarkReader
