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
    return bytes.first(std::min<qsizetype>(bytes.size(), 1024)).contains("<opml");
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
            QString href = attribute(node, "url");
            if (href.isNull())
                href = attribute(node, "htmlUrl");
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
