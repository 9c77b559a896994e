// The tree as OPML, written with libxml2 so that every name and address is escaped as XML wants.
#include "export/DataExport.h"

#include "project/usexml.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <libxml/xmlsave.h>

#include <memory>
#include <vector>

namespace DataExport {

namespace {

// XML can hold no control character but tab and line breaks, not even as a reference.
void setText(xmlNode *element, const char *name, const QString &value)
{
    xmlSetProp(element, BAD_CAST name, BAD_CAST withoutControls(value).toUtf8().constData());
}

xmlNode *child(xmlNode *parent, const char *name)
{
    return xmlNewChild(parent, nullptr, BAD_CAST name, nullptr);
}

} // namespace

QByteArray opml(const LinkTree &tree, const QString &siteAddress)
{
    // OPML's body holds at least one outline, and an outline made up for it would read back as a node.
    if (tree.nodes().empty())
        throw VormikError(QStringLiteral("空のツリーは OPML に書き出せません（OPML には項目が一つ以上必要です）"));
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
        setText(outline, fieldInfo(NodeField::Text).opmlAttribute, node->text());
        if (!node->isGroup()) {
            xmlSetProp(outline, BAD_CAST "type", BAD_CAST "link");
            setText(outline, fieldInfo(NodeField::Href).opmlAttribute, writtenAddress(node->record().Href, siteAddress));
        }
        for (const NodeFieldInfo &field : NodeFields) {
            const QString &value = fieldValue(*node, field.field);
            if (isDetail(field) && !value.isEmpty())
                setText(outline, field.opmlAttribute, value);
        }
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
