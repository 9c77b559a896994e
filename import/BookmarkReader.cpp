#include "import/BookmarkReader.h"

#include "import/HtmlDocument.h"
#include "import/ImportBuilder.h"

#include <vector>

namespace BookmarkReader {

using HtmlDocument::attribute;
using HtmlDocument::isElement;

namespace {

// What Vormik's own bookmark file adds to a bookmark or folder; browsers ignore it.
void keepFields(ImportBuilder &builder, LinkNode *node, const xmlNode *element)
{
    builder.setTarget(node, attribute(element, "target"));
    builder.setClass(node, attribute(element, "class"));
    builder.setId(node, attribute(element, "id"));
}

} // namespace

bool recognises(const QByteArray &bytes)
{
    return bytes.first(std::min<qsizetype>(bytes.size(), 1024)).toUpper().contains("NETSCAPE-BOOKMARK-FILE");
}

ImportResult read(const QByteArray &bytes, const QString &fileName)
{
    const HtmlDocument::DocumentHandle doc = HtmlDocument::parseHtml(bytes, fileName);
    ImportBuilder builder(fileName);
    // Browsers write a folder as <DT><H3>name</H3> followed by its <DL>; how the HTML parser
    // nests the DT and P elements around them differs, but a DL always lies within the DL it
    // was written in. So a DL belongs to the folder named just before it at its own level (or,
    // as Vormik writes a link holding nodes, to the bookmark just before it).
    struct List
    {
        const xmlNode *element;
        LinkNode *parent;
    };
    std::vector<List> lists;
    LinkNode *folder = nullptr; // named, its DL not yet met, or the bookmark just met
    bool anyList = false;
    const auto parent = [&] { return lists.empty() ? nullptr : lists.back().parent; };
    HtmlDocument::walk(
        xmlDocGetRootElement(doc.get()),
        [&](xmlNode *node) {
            if (isElement(node, "dl")) {
                anyList = true;
                lists.push_back({node, folder ? folder : parent()});
                folder = nullptr;
            } else if (isElement(node, "h3")) {
                folder = builder.addGroup(parent(), HtmlDocument::text(node));
                keepFields(builder, folder, node);
                return false;
            } else if (isElement(node, "a")) {
                folder = nullptr;
                const QString href = attribute(node, "href");
                if (href.startsWith(QLatin1String("place:"), Qt::CaseInsensitive)) {
                    builder.skip(QStringLiteral("検索ブックマーク"));
                    return false;
                }
                folder = builder.addLink(parent(), HtmlDocument::text(node), href);
                keepFields(builder, folder, node);
                if (!attribute(node, "icon").isNull() || !attribute(node, "icon_uri").isNull())
                    builder.skip(QStringLiteral("アイコン"));
                return false;
            } else if (isElement(node, "hr")) {
                folder = nullptr;
                builder.skip(QStringLiteral("区切り線"));
            } else if (isElement(node, "dd")) {
                // A folder's description may hold the folder's list, as the parser nests them.
                builder.skip(QStringLiteral("説明"));
            } else if (isElement(node, "h1") || isElement(node, "title")) {
                return false; // the file's own title
            }
            return true;
        },
        [&](xmlNode *node) {
            if (!lists.empty() && lists.back().element == node)
                lists.pop_back();
        });
    if (!anyList)
        HtmlDocument::notFormat(fileName, QStringLiteral("ブックマークファイル"));
    return builder.take();
}

} // namespace BookmarkReader
