#include "import/OpmlReader.h"

#include "import/HtmlDocument.h"
#include "import/ImportBuilder.h"
#include "tree/LinkTree.h"

#include <vector>

namespace OpmlReader {

using HtmlDocument::attribute;
using HtmlDocument::isElement;

bool recognises(const QByteArray &bytes)
{
    // The first element, past the XML declaration, comments, processing instructions and any
    // document type declaration (which the reader then refuses), however long they are.
    const QByteArrayView text(bytes);
    qsizetype at = 0;
    for (;;) {
        while (at < text.size() && QChar::isSpace(static_cast<unsigned char>(text[at])))
            ++at;
        const QByteArrayView rest = text.sliced(at);
        const char *end = rest.startsWith("<!--") ? "-->" : rest.startsWith("<?") ? "?>" : rest.startsWith("<!") ? ">" : nullptr;
        if (!end)
            break;
        // A document type declaration's internal subset holds ">" of its own.
        const qsizetype subset = rest.startsWith("<!D") ? rest.indexOf('[') : -1;
        const qsizetype from = subset >= 0 && subset < rest.indexOf('>') ? text.indexOf(']', at + subset) : at + 2;
        const qsizetype found = from < 0 ? -1 : text.indexOf(end, from);
        if (found < 0)
            return false;
        at = found + qstrlen(end);
    }
    const QByteArrayView rest = text.sliced(at);
    return rest.startsWith("<opml") && rest.size() > 5 && (QChar::isSpace(static_cast<unsigned char>(rest[5])) || rest[5] == '>' || rest[5] == '/');
}

ImportResult read(const QByteArray &bytes, const QString &fileName)
{
    const HtmlDocument::DocumentHandle doc = HtmlDocument::parseXml(bytes, fileName);
    xmlNode *root = xmlDocGetRootElement(doc.get());
    xmlNode *body = nullptr;
    for (xmlNode *child = root && isElement(root, "opml") ? root->children : nullptr; child; child = child->next) {
        if (isElement(child, "body"))
            body = child;
    }
    if (!body)
        HtmlDocument::notFormat(fileName, QStringLiteral("OPML"));
    ImportBuilder builder(fileName);
    std::vector<LinkNode *> parents{nullptr};
    HtmlDocument::walk(
        body,
        [&](xmlNode *node) {
            if (!isElement(node, "outline"))
                return false;
            QString name = attribute(node, "text");
            if (name.isEmpty())
                name = attribute(node, "title");
            // A feed is a link to its site, or to the feed itself when that is all it names.
            QString href = attribute(node, "url");
            if (href.isNull())
                href = attribute(node, "htmlUrl");
            if (href.isNull())
                href = attribute(node, "xmlUrl");
            LinkNode *made = href.isNull() ? builder.addGroup(parents.back(), name)
                                           : builder.addLink(parents.back(), name, href);
            builder.setTarget(made, attribute(node, "target"));
            builder.setClass(made, attribute(node, "class"));
            builder.setId(made, attribute(node, "id"));
            parents.push_back(made);
            return true;
        },
        [&](xmlNode *node) {
            if (isElement(node, "outline"))
                parents.pop_back();
        });
    return builder.take();
}

} // namespace OpmlReader
