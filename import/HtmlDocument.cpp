#include "import/HtmlDocument.h"

#include "import/ImportResult.h"
#include "project/ProjectFile.h"
#include "text/VormikError.h"

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <new>

namespace HtmlDocument {

namespace {

struct ParserDeleter
{
    void operator()(xmlParserCtxt *ctxt) const { xmlFreeParserCtxt(ctxt); }
};

struct XmlFree
{
    void operator()(xmlChar *text) const { xmlFree(text); }
};

const char *utf8Label = "UTF-8";

// The encoding to tell the HTML parser: none when the file names its own, so that the parser
// takes it from the meta element or the XML declaration; otherwise UTF-8, what browsers write.
const char *encodingFor(const QByteArray &bytes)
{
    const QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 2048)).toLower();
    return head.contains("charset") || head.startsWith("<?xml") ? nullptr : utf8Label;
}

// A document type declaration is where entities are declared; refusing it on sight means no
// entity is ever defined, let alone expanded.
void refuseDocumentType(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
{
    auto *ctxt = static_cast<xmlParserCtxt *>(context);
    *static_cast<bool *>(ctxt->_private) = true;
    xmlStopParser(ctxt);
}

// A page holds a tree level in a few elements (the HTML5 page's li, details and ul), so this leaves
// room for every level a tree may have, while a file of nothing but nesting stops early.
constexpr int MaxElementDepth = 4 * Import::MaxDepth;

// The tree builder's own start, unless the element would lie deeper than MaxElementDepth.
void startElementHeld(void *context, const xmlChar *name, const xmlChar **attributes)
{
    auto *ctxt = static_cast<xmlParserCtxt *>(context);
    if (ctxt->nodeNr >= MaxElementDepth) {
        *static_cast<bool *>(ctxt->_private) = true;
        xmlStopParser(ctxt);
        return;
    }
    xmlSAX2StartElement(context, name, attributes);
}

} // namespace

void checkSize(qsizetype size, const QString &fileName)
{
    if (size > ProjectFile::MaxFileSize || size > INT_MAX)
        throw VormikError(QStringLiteral("ファイル %1 は大きすぎます（%2 MB まで）")
                              .arg(fileName, QString::number(ProjectFile::MaxFileSize >> 20)));
}

void notFormat(const QString &fileName, const QString &format)
{
    throw VormikError(QStringLiteral("ファイル %1 は %2 ではありません").arg(fileName, format));
}

void tooDeep(const QString &fileName)
{
    throw VormikError(QStringLiteral("ファイル %1 は入れ子が深すぎます（%2 段まで）").arg(fileName).arg(Import::MaxDepth));
}

HtmlDocument::DocumentHandle parseHtml(const QByteArray &bytes, const QString &fileName)
{
    checkSize(bytes.size(), fileName);
    usexml::ensureInitialised();
    std::unique_ptr<htmlParserCtxt, ParserDeleter> ctxt(htmlNewParserCtxt());
    if (!ctxt)
        throw std::bad_alloc();
    // libxml2's own depth limit (256 elements) would refuse a page of far fewer tree levels, so the
    // parser goes beyond it (XML_PARSE_HUGE) and is held to MaxElementDepth here instead; the
    // file's size limit bounds its text.
    bool elementsTooDeep = false;
    ctxt->_private = &elementsTooDeep;
    ctxt->sax->startElement = startElementHeld;
    const int options =
        HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NOBLANKS | XML_PARSE_HUGE;
    HtmlDocument::DocumentHandle doc(htmlCtxtReadMemory(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()),
                                                nullptr, encodingFor(bytes), options));
    // HTML forgives almost anything; but at the depth limit the parser stops, and what it would
    // hand on then is only the start of the file.
    if (elementsTooDeep || ctxt->errNo == XML_ERR_INTERNAL_ERROR)
        throw VormikError(QStringLiteral("ファイル %1 は要素の入れ子が深すぎます（%2 段まで）").arg(fileName).arg(MaxElementDepth));
    if (!doc)
        notFormat(fileName, QStringLiteral("HTML"));
    return doc;
}

HtmlDocument::DocumentHandle parseXml(const QByteArray &bytes, const QString &fileName)
{
    checkSize(bytes.size(), fileName);
    usexml::ensureInitialised();
    std::unique_ptr<xmlParserCtxt, ParserDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt)
        throw std::bad_alloc();
    bool documentType = false;
    ctxt->_private = &documentType;
    ctxt->sax->internalSubset = refuseDocumentType;
    // Never NOENT, DTDLOAD, HUGE or XINCLUDE: entities stay unexpanded and the depth limit holds.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS;
    HtmlDocument::DocumentHandle doc(xmlCtxtReadMemory(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()),
                                               nullptr, nullptr, options));
    if (documentType)
        throw VormikError(QStringLiteral("ファイル %1 を読み込めません: 文書型宣言 (DOCTYPE) は使えません").arg(fileName));
    if (!doc || !ctxt->wellFormed) {
        const xmlError *error = xmlCtxtGetLastError(ctxt.get());
        const QString reason = error && error->message ? QString::fromUtf8(error->message).trimmed() : QString();
        throw VormikError(QStringLiteral("ファイル %1 を読み込めません（%2 行）: %3")
                              .arg(fileName, QString::number(error ? error->line : 0), reason));
    }
    return doc;
}

QString attribute(const xmlNode *element, const char *name)
{
    if (!element || element->type != XML_ELEMENT_NODE)
        return {};
    // HTML names are matched without case; libxml2 keeps them as written in XML.
    for (const xmlAttr *attr = element->properties; attr; attr = attr->next) {
        if (xmlStrcasecmp(attr->name, BAD_CAST name) != 0)
            continue;
        const std::unique_ptr<xmlChar, XmlFree> value(xmlNodeListGetString(element->doc, attr->children, 1));
        return value ? QString::fromUtf8(reinterpret_cast<const char *>(value.get())) : QStringLiteral("");
    }
    return {};
}

QString text(const xmlNode *node)
{
    const std::unique_ptr<xmlChar, XmlFree> content(xmlNodeGetContent(node));
    return content ? QString::fromUtf8(reinterpret_cast<const char *>(content.get())) : QString();
}

bool isElement(const xmlNode *node, const char *name)
{
    return node && node->type == XML_ELEMENT_NODE && xmlStrcasecmp(node->name, BAD_CAST name) == 0;
}

} // namespace HtmlDocument
