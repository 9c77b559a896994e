#pragma once

#include "project/usexml.h"
#include "text/VormikError.h"

#include <QByteArray>
#include <QString>

#include <libxml/tree.h>

#include <functional>
#include <memory>

// Reading an HTML file into a libxml2 document, or an XML file as parser events, as safely as a
// project file is read: no network, no document type declaration in XML, no entity ever defined
// or expanded, the import size limit, and the depth held to Import::MaxDepth. Every file comes
// as UTF-8 (see TextDecoding), whatever it declares.
namespace HtmlDocument {

struct DocumentDeleter
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};
using DocumentHandle = std::unique_ptr<xmlDoc, DocumentDeleter>;

// An HTML file. Never null.
DocumentHandle parseHtml(const QByteArray &bytes, const QString &fileName);

// What an event reader of XML is told, element by element; no document is built. The attributes
// are libxml2's SAX2 array: `count` entries of five pointers (name, prefix, URI, value, value end).
class XmlEvents
{
public:
    virtual ~XmlEvents() = default;
    virtual void start(const xmlChar *name, const xmlChar **attributes, int count) = 0;
    virtual void end() = 0;
};
// Reads an XML file from its first piece and the next ones `more` gives (empty at the file's end),
// telling `events` of each element; a fault throws VormikError naming `fileName`, line and
// reason, and so does one thrown by `events`, which ends the reading.
void readXml(const QByteArray &start, const std::function<QByteArray()> &more, const QString &fileName,
             XmlEvents &events);
// The value of one attribute of a start event: an entry of that array.
QString attributeValue(const xmlChar **entry);

// An element's attribute, or a null string.
QString attribute(const xmlNode *element, const char *name);
// All text below `node`, as a reader sees it.
QString text(const xmlNode *node);
// True when `node` is an element named `name` (case-insensitive, as HTML names are).
bool isElement(const xmlNode *node, const char *name);

// Refuses a file larger than Import::MaxFileSize.
void checkSize(qsizetype size, const QString &fileName);
// The error for a file that is not in the format a reader expects.
class NotFormat : public VormikError
{
public:
    using VormikError::VormikError;
};
[[noreturn]] void notFormat(const QString &fileName, const QString &format);
// The error for a tree nested deeper than Import::MaxDepth.
[[noreturn]] void tooDeep(const QString &fileName);


// Visits the nodes below `root` in document order without recursion, however deep they lie:
// enter(node) on the way in (descending only when it returns true), leave(node) on the way out.
template<class Enter, class Leave>
void walk(xmlNode *root, Enter enter, Leave leave)
{
    if (!root)
        return;
    xmlNode *node = root->children;
    while (node && node != root) {
        if (enter(node) && node->children) {
            node = node->children;
            continue;
        }
        leave(node);
        while (node != root && !node->next) {
            node = node->parent;
            if (node != root)
                leave(node);
        }
        if (node != root)
            node = node->next;
    }
}

} // namespace HtmlDocument
