#include "import/HtmlDocument.h"

#include "import/ImportResult.h"
#include "project/usexml.h"
#include "text/VormikError.h"

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <exception>
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

[[noreturn]] void notRead(xmlParserCtxt *ctxt, const QString &fileName)
{
    const xmlError *error = xmlCtxtGetLastError(ctxt);
    const QString where = error && error->int2 > 0 ? QStringLiteral("%1 行 %2 列").arg(error->line).arg(error->int2)
                                                   : QStringLiteral("%1 行").arg(error ? error->line : 0);
    throw VormikError(QStringLiteral("ファイル %1 を読み込めません（%2）: %3").arg(fileName, where, usexml::faultText(error)));
}

// What the event callbacks share through the parser's _private pointer.
struct EventState
{
    bool documentType = false;
    XmlEvents *events;
    const QString &fileName;
    int depth = 0;
    std::exception_ptr failure;
};

EventState &stateOf(void *context)
{
    return *static_cast<EventState *>(static_cast<xmlParserCtxt *>(context)->_private);
}

// A document type declaration is where entities are declared; refusing it on sight means no
// entity is ever defined, let alone expanded.
void refuseDocumentTypeEvent(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
{
    stateOf(context).documentType = true;
    xmlStopParser(static_cast<xmlParserCtxt *>(context));
}

// An exception must not pass through libxml2's own frames: it is kept and thrown after the parse.
template<class Call>
void guarded(void *context, Call call)
{
    EventState &state = stateOf(context);
    if (state.failure)
        return;
    try {
        call(*state.events);
    } catch (...) {
        state.failure = std::current_exception();
        xmlStopParser(static_cast<xmlParserCtxt *>(context));
    }
}

// The parser reading pieces holds no depth limit of its own; this one is the one it holds reading
// a whole document.
void startEvent(void *context, const xmlChar *name, const xmlChar *, const xmlChar *, int, const xmlChar **, int count,
                int, const xmlChar **attributes)
{
    guarded(context, [&](XmlEvents &events) {
        EventState &state = stateOf(context);
        if (++state.depth > Import::MaxDepth)
            throw VormikError(QStringLiteral("ファイル %1 を読み込めません（%2 行）: 要素の入れ子が %3 段を超えています")
                                  .arg(state.fileName)
                                  .arg(xmlSAX2GetLineNumber(context))
                                  .arg(Import::MaxDepth));
        events.start(name, attributes, count);
    });
}

void endEvent(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
{
    guarded(context, [&](XmlEvents &events) {
        --stateOf(context).depth;
        events.end();
    });
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
    if (size > Import::MaxFileSize)
        throw VormikError(QStringLiteral("ファイル %1 は大きすぎます（%2 MB まで）")
                              .arg(fileName, QString::number(Import::MaxFileSize >> 20)));
}

void notFormat(const QString &fileName, const QString &format)
{
    throw NotFormat(QStringLiteral("ファイル %1 は %2 ではありません").arg(fileName, format));
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
    // file's size limit bounds its text. The bytes come decoded to UTF-8 already.
    bool elementsTooDeep = false;
    ctxt->_private = &elementsTooDeep;
    ctxt->sax->startElement = startElementHeld;
    const int options = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NOBLANKS
        | HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE;
    HtmlDocument::DocumentHandle doc(htmlCtxtReadMemory(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()),
                                                nullptr, "UTF-8", options));
    // HTML forgives almost anything; but at the depth limit the parser stops, and what it would
    // hand on then is only the start of the file.
    if (elementsTooDeep || ctxt->errNo == XML_ERR_INTERNAL_ERROR)
        throw VormikError(QStringLiteral("ファイル %1 は要素の入れ子が深すぎます（%2 段まで）").arg(fileName).arg(MaxElementDepth));
    if (!doc)
        notFormat(fileName, QStringLiteral("HTML"));
    return doc;
}

void readXml(const QByteArray &start, const std::function<QByteArray()> &more, const QString &fileName,
             XmlEvents &events)
{
    usexml::ensureInitialised();
    // Only the elements are told; no text, comment or node of a document is kept.
    xmlSAXHandler sax;
    xmlSAXVersion(&sax, 2);
    sax.internalSubset = refuseDocumentTypeEvent;
    sax.startElementNs = startEvent;
    sax.endElementNs = endEvent;
    sax.characters = nullptr;
    sax.ignorableWhitespace = nullptr;
    sax.cdataBlock = nullptr;
    sax.comment = nullptr;
    sax.processingInstruction = nullptr;
    sax.reference = nullptr;
    std::unique_ptr<xmlParserCtxt, ParserDeleter> ctxt(xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr));
    if (!ctxt)
        throw std::bad_alloc();
    // Never NOENT, DTDLOAD, HUGE or XINCLUDE: entities stay unexpanded and the depth limit holds.
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC);
    EventState state{false, &events, fileName, 0, nullptr};
    ctxt->_private = &state;
    QByteArray piece = start;
    for (;;) {
        const QByteArray next = more ? more() : QByteArray();
        xmlParseChunk(ctxt.get(), piece.constData(), static_cast<int>(piece.size()), next.isEmpty());
        // A fault stops the parser; the rest of the file is not read.
        if (next.isEmpty() || ctxt->instate == XML_PARSER_EOF)
            break;
        piece = next;
    }
    const DocumentHandle doc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    if (state.failure)
        std::rethrow_exception(state.failure);
    if (state.documentType)
        throw VormikError(QStringLiteral("ファイル %1 を読み込めません: 文書型宣言 (DOCTYPE) は使えません").arg(fileName));
    if (!ctxt->wellFormed)
        notRead(ctxt.get(), fileName);
}

QString attributeValue(const xmlChar **entry)
{
    QString value = QString::fromUtf8(reinterpret_cast<const char *>(entry[3]), entry[4] - entry[3]);
    if (value.isNull())
        return QStringLiteral("");
    // Without entity replacement the parser hands each "&" on as "&#38;", and nothing else so.
    if (value.contains(QLatin1Char('&')))
        value.replace(QLatin1String("&#38;"), QLatin1String("&"));
    return value;
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
