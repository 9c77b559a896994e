// The tree as OPML, written with libxml2 so that every name and address is escaped as XML wants.
#include "html/DataExport.h"

#include "project/usexml.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <libxml/xmlsave.h>

#include <memory>
#include <vector>

namespace DataExport {

namespace {

void setAttribute(xmlNode *element, const char *name, const QString &value)
{
    if (!value.isEmpty())
        xmlSetProp(element, BAD_CAST name, BAD_CAST value.toUtf8().constData());
}

xmlNode *child(xmlNode *parent, const char *name)
{
    return xmlNewChild(parent, nullptr, BAD_CAST name, nullptr);
}

} // namespace

QByteArray opml(const LinkTree &tree)
{
    usexml::ensureInitialised();
    const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(xmlNewDoc(BAD_CAST "1.0"), &xmlFreeDoc);
    xmlNode *root = xmlNewNode(nullptr, BAD_CAST "opml");
    xmlDocSetRootElement(doc.get(), root);
    xmlSetProp(root, BAD_CAST "version", BAD_CAST "2.0");
    xmlNewTextChild(child(root, "head"), nullptr, BAD_CAST "title", BAD_CAST "Vormik");
    std::vector<xmlNode *> parents{child(root, "body")};
    for (const LinkNode *node : tree.nodes()) {
        parents.resize(static_cast<size_t>(node->level()) + 1);
        xmlNode *outline = child(parents.back(), "outline");
        const LinkAttr &record = node->record();
        xmlSetProp(outline, BAD_CAST "text", BAD_CAST node->text().toUtf8().constData());
        if (!node->isGroup()) {
            xmlSetProp(outline, BAD_CAST "type", BAD_CAST "link");
            xmlSetProp(outline, BAD_CAST "url", BAD_CAST record.Href.toUtf8().constData());
        }
        setAttribute(outline, "target", record.Target);
        setAttribute(outline, "class", record.Class);
        setAttribute(outline, "id", record.ObjID);
        parents.push_back(outline);
    }
    xmlChar *memory = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc.get(), &memory, &size, "UTF-8", 1);
    if (!memory)
        throw VormikError(QStringLiteral("OPML を書き出せません"));
    QByteArray bytes(reinterpret_cast<const char *>(memory), size);
    xmlFree(memory);
    return bytes;
}

} // namespace DataExport
