#pragma once
// The XML document builder over libxml2, and the few reads a project file needs.

#include <QByteArray>
#include <QString>

#include <libxml/tree.h>

#include <memory>
#include <vector>

namespace usexml {

struct XmlDocDeleter
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};
using XmlDocHandle = std::unique_ptr<xmlDoc, XmlDocDeleter>;

// Makes libxml2 ready for Vormik's files: "Shift_JIS" means iconv's CP932, and no document may
// load anything from outside itself. Runs once; every entry point below calls it.
void ensureInitialised();

// --- The builder ---

// One XML document being built. Save makes one and drops it with everything it holds once the
// bytes are written; no document outlives the command that made it.
class XmlBuilder
{
public:
    XmlBuilder() = default;
    XmlBuilder(const XmlBuilder &) = delete;
    XmlBuilder &operator=(const XmlBuilder &) = delete;

    // Starts a fresh document: the declaration (version 1.0, Shift_JIS) and a root element of
    // the given name. Also forgets the elements of the previous document.
    void CreateXmlDocument(const QString &rootName);
    // Appends an element named `name` as the last child of `parent`; a non-empty `text` becomes
    // its one text child, escaped when written. Returns the element's index, counted from 0.
    int AddXmlElement(xmlNode *parent, const QString &name, const QString &text);
    // The element AddXmlElement returned `index` for.
    xmlNode *XmlElement(int index) const;
    // The document and its root element; null before CreateXmlDocument.
    xmlDoc *XmlDocument() const { return m_document.get(); }
    xmlNode *XmlRoot() const { return m_root; }
    // Drops the elements, the root and the document, in that order.
    void FinalizeXml();

private:
    std::vector<xmlNode *> m_elements; // owned by m_document
    xmlNode *m_root = nullptr;
    XmlDocHandle m_document;
};

// The document's bytes, labelled and encoded Shift_JIS; characters CP932 cannot hold become
// character references. Throws VormikError on failure.
QByteArray serialise(xmlDoc *doc);

// --- Reading ---

// The text of the first element of a given name below the root, collected while parsing rather
// than kept in the document: libxml2 keeps no more than 10 MB in one text node, and the outline
// of a large tree can hold more.
struct StreamedText
{
    explicit StreamedText(const char *name) : elementName(name) {}
    const char *elementName;
    bool found = false;
    long line = 0;
    QByteArray utf8;
    // The text as it stands, a leading U+FEFF included.
    QString text() const;
};

// Parses a whole document from memory. Nothing outside the bytes is ever loaded: no network,
// no external entities, and a document type declaration is refused as soon as it is met.
// Any fault throws VormikError naming `fileName` and, where libxml2 knows it, line and column.
XmlDocHandle parse(const QByteArray &bytes, const QString &fileName, StreamedText *streamed = nullptr);

xmlNode *rootElement(xmlDoc *doc);
// Every element below `top` (at any depth, `top` itself excluded) named `name`, in document order.
std::vector<xmlNode *> elementsByName(xmlNode *top, const char *name);
// The first such element, or null.
xmlNode *firstElementByName(xmlNode *top, const char *name);
// All text below the node, joined.
QString textContent(const xmlNode *node);
// The line the element starts on in its file.
long lineOf(const xmlNode *node);

// Walks the elements below `top` in document order, `top` itself excluded, until `visit`
// returns false.
template<typename Visit>
void forEachElementBelow(xmlNode *top, Visit visit)
{
    xmlNode *node = top->children;
    while (node) {
        if (node->type == XML_ELEMENT_NODE) {
            if (!visit(node))
                return;
            if (node->children) {
                node = node->children;
                continue;
            }
        }
        while (node && !node->next) {
            node = node->parent;
            if (node == top)
                return;
        }
        if (node)
            node = node->next;
    }
}

} // namespace usexml
