#pragma once
// The XML document builder over libxml2, and the streaming reader project files are read with.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

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

// What the reader hands on while it parses, in document order. Nothing of the document is kept,
// so a caller keeps what it needs as it comes. Element names are local names (a prefix is
// dropped) in UTF-8; text comes in pieces, in UTF-8, references and CDATA sections resolved.
class XmlEvents
{
public:
    // `line` is the line the element's start tag ends on.
    virtual void elementStarted(const char *localName, long line) = 0;
    virtual void elementEnded() = 0;
    virtual void textFound(const char *utf8, int length) = 0;

protected:
    ~XmlEvents() = default;
};

// The text of the first element of a given name below the root, collected while parsing and
// held to no length: it is the one text that may run past the 10 MB any other may hold, as the
// outline of a large tree can.
struct StreamedText
{
    explicit StreamedText(const char *name) : elementName(name) {}
    const char *elementName;
    bool found = false;
    long line = 0;
    QByteArray utf8;
};

// Parses a whole document from memory: the streamed element's text goes to `streamed`, every
// element and all other text to `events`. Nothing outside the bytes is ever loaded: no network,
// no external entities, and a document type declaration is refused as soon as it is met. Any
// fault throws VormikError naming `fileName` and, where libxml2 knows it, line and column.
void parse(const QByteArray &bytes, const QString &fileName, StreamedText &streamed, XmlEvents &events);

// Turns libxml2's UTF-8 into text. A text that begins with U+FEFF keeps it: inside a document it
// is a character like any other, not a byte-order mark.
class XmlTextDecoder
{
public:
    XmlTextDecoder();
    // The text, valid until the next call.
    QStringView view(QByteArrayView utf8);
    // The text at its exact length, so that a large tree of them carries no spare capacity; no
    // text is a null string.
    QString operator()(QByteArrayView utf8) { return view(utf8).toString(); }

private:
    QStringDecoder m_decoder;
    QString m_buffer; // each text is decoded here
};

} // namespace usexml
