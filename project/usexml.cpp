#include "project/usexml.h"

#include "text/Cp932Codec.h"
#include "text/VormikError.h"

#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/SAX2.h>
#include <libxml/xmlerror.h>

#include <QStringDecoder>

#include <climits>
#include <mutex>
#include <new>

namespace usexml {

namespace {

// No project file has any business loading another file or reaching the network.
xmlParserInputPtr refuseExternalEntity(const char *, const char *, xmlParserCtxtPtr)
{
    return nullptr;
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

// libxml2's UTF-8 as text. A text that begins with U+FEFF keeps it: QString::fromUtf8 would
// drop it as a byte-order mark, but inside a document it is a character like any other.
QString fromXmlText(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    return decoder.decode(utf8);
}

const xmlChar *xmlText(const QByteArray &bytes)
{
    return reinterpret_cast<const xmlChar *>(bytes.constData());
}

// Characters XML 1.0 cannot carry at all (C0 controls other than TAB, LF and CR, U+FFFE, U+FFFF
// and unpaired surrogates) would make the written file unreadable, so they are left out.
QString xmlSafe(const QString &text)
{
    auto allowedAt = [&text](qsizetype i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x20)
            return c == 0x9 || c == 0xA || c == 0xD;
        if (c == 0xFFFE || c == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(c))
            return i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (QChar::isLowSurrogate(c))
            return i > 0 && text.at(i - 1).isHighSurrogate();
        return true;
    };
    qsizetype i = 0;
    while (i < text.size() && allowedAt(i))
        ++i;
    if (i == text.size())
        return text;
    QString result = text.left(i);
    for (; i < text.size(); ++i) {
        if (allowedAt(i))
            result += text.at(i);
    }
    return result;
}

// What went wrong while parsing, with libxml2's position.
struct ParseFault
{
    bool found = false;
    bool documentType = false;
    QString message;
    long line = 0;
    long column = 0;

    void record(const QString &text, long atLine, long atColumn)
    {
        if (found)
            return;
        found = true;
        message = text;
        line = atLine;
        column = atColumn;
    }
};

void collectError(void *data, xmlError *error)
{
    if (!data || !error || error->level < XML_ERR_ERROR)
        return;
    static_cast<ParseFault *>(data)->record(QString::fromUtf8(error->message).trimmed(), error->line, error->int2);
}

// What the SAX hooks below share through the parser's private pointer.
struct ParseState
{
    ParseFault fault;
    StreamedText *streamed = nullptr;
    int depth = 0;           // of the element being parsed; the root is 1
    int streamingDepth = 0;  // of the element whose text is streamed, 0 when none is open
};

ParseState &stateOf(void *context)
{
    return *static_cast<ParseState *>(static_cast<xmlParserCtxt *>(context)->_private);
}

// A document type declaration is where entities are declared; refusing it on sight means no
// entity is ever defined, let alone expanded.
void refuseDocumentType(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
{
    auto *ctxt = static_cast<xmlParserCtxt *>(context);
    stateOf(context).fault.documentType = true;
    stateOf(context).fault.record(QStringLiteral("文書型宣言 (DOCTYPE) は使えません"),
                                  ctxt->input ? ctxt->input->line : 0, ctxt->input ? ctxt->input->col : 0);
    xmlStopParser(ctxt);
}

void startElement(void *context, const xmlChar *localName, const xmlChar *prefix, const xmlChar *uri,
                  int namespaceCount, const xmlChar **namespaces, int attributeCount, int defaultedCount,
                  const xmlChar **attributes)
{
    xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces, attributeCount, defaultedCount,
                          attributes);
    ParseState &state = stateOf(context);
    ++state.depth;
    StreamedText *streamed = state.streamed;
    if (streamed && !streamed->found && state.depth > 1 && xmlStrEqual(localName, BAD_CAST streamed->elementName)) {
        auto *ctxt = static_cast<xmlParserCtxt *>(context);
        streamed->found = true;
        streamed->line = ctxt->input ? ctxt->input->line : 0;
        state.streamingDepth = state.depth;
    }
}

void endElement(void *context, const xmlChar *localName, const xmlChar *prefix, const xmlChar *uri)
{
    ParseState &state = stateOf(context);
    if (state.depth == state.streamingDepth)
        state.streamingDepth = 0;
    --state.depth;
    xmlSAX2EndElementNs(context, localName, prefix, uri);
}

// Text inside the streamed element goes to the caller; all other text into the document.
template<void (*IntoDocument)(void *, const xmlChar *, int)>
void textOrStream(void *context, const xmlChar *text, int length)
{
    ParseState &state = stateOf(context);
    if (state.streamingDepth > 0)
        state.streamed->utf8.append(reinterpret_cast<const char *>(text), length);
    else
        IntoDocument(context, text, length);
}

// Routes libxml2's errors to `fault` for as long as it lives, then restores whatever was there.
class ErrorCapture
{
public:
    explicit ErrorCapture(ParseFault *fault)
        : m_previous(xmlStructuredError), m_previousContext(xmlStructuredErrorContext)
    {
        xmlSetStructuredErrorFunc(fault, collectError);
    }
    ~ErrorCapture() { xmlSetStructuredErrorFunc(m_previousContext, m_previous); }
    ErrorCapture(const ErrorCapture &) = delete;
    ErrorCapture &operator=(const ErrorCapture &) = delete;

private:
    xmlStructuredErrorFunc m_previous;
    void *m_previousContext;
};

struct XmlMemoryDeleter
{
    void operator()(xmlChar *memory) const { xmlFree(memory); }
};

struct ParserDeleter
{
    void operator()(xmlParserCtxt *ctxt) const { xmlFreeParserCtxt(ctxt); }
};

QString unreadable(const QString &fileName, const ParseFault &fault)
{
    QString where;
    if (fault.line > 0)
        where = fault.column > 0 ? QStringLiteral("（%1 行 %2 列）").arg(fault.line).arg(fault.column)
                                 : QStringLiteral("（%1 行）").arg(fault.line);
    const QString cause = fault.message.isEmpty() ? QStringLiteral("XML 文書として読めません") : fault.message;
    return QStringLiteral("ファイル %1 を読み込めません%2: %3").arg(fileName, where, cause);
}

} // namespace

void ensureInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        // Every name a Shift_JIS file may declare means Windows' form of it, as browsers read it
        // too: iconv's own SJIS would read the backslash and tilde bytes as yen sign and overline.
        for (const char *name : {"Shift_JIS", "SJIS", "Shift-JIS", "MS_Kanji", "csShiftJIS", "Windows-31J", "MS932", "x-sjis"})
            xmlAddEncodingAlias("CP932", name);
        xmlSetExternalEntityLoader(refuseExternalEntity);
    });
}

void XmlBuilder::CreateXmlDocument(const QString &rootName)
{
    ensureInitialised();
    FinalizeXml();
    XmlDocHandle doc(xmlNewDoc(BAD_CAST "1.0"));
    if (!doc)
        throw std::bad_alloc();
    // Element names are kept once in the document's dictionary instead of once per element: a
    // large project has eight elements a node, and every allocation saved is one less to free.
    doc->dict = xmlDictCreate();
    if (!doc->dict)
        throw std::bad_alloc();
    const QByteArray name = utf8(rootName);
    if (xmlValidateName(xmlText(name), 0) != 0)
        throw VormikError(QStringLiteral("'%1' は要素名に使えません").arg(rootName));
    xmlNode *root = xmlNewDocNode(doc.get(), nullptr, xmlText(name), nullptr);
    if (!root)
        throw std::bad_alloc();
    xmlDocSetRootElement(doc.get(), root);
    m_document = std::move(doc);
    m_root = root;
}

int XmlBuilder::AddXmlElement(xmlNode *parent, const QString &name, const QString &text)
{
    if (!m_document || !parent)
        throw VormikError(QStringLiteral("XML 文書がありません"));
    const QByteArray elementName = utf8(name);
    if (xmlValidateName(xmlText(elementName), 0) != 0)
        throw VormikError(QStringLiteral("'%1' は要素名に使えません").arg(name));

    const int index = static_cast<int>(m_elements.size());
    m_elements.push_back(nullptr);
    xmlNode *element = xmlNewDocNode(m_document.get(), nullptr, xmlText(elementName), nullptr);
    if (!element)
        throw std::bad_alloc();
    m_elements[static_cast<size_t>(index)] = element;
    if (!text.isEmpty()) {
        // A text node holds the characters as they are; they are escaped only when written.
        const QByteArray content = utf8(xmlSafe(text));
        xmlAddChild(element, xmlNewDocTextLen(m_document.get(), xmlText(content), content.size()));
    }
    xmlAddChild(parent, element);
    return index;
}

xmlNode *XmlBuilder::XmlElement(int index) const
{
    return m_elements.at(static_cast<size_t>(index));
}

void XmlBuilder::FinalizeXml()
{
    m_elements.clear();
    m_root = nullptr;
    m_document.reset();
}

QByteArray serialise(xmlDoc *doc)
{
    ensureInitialised();
    // libxml2 writes UTF-8 and the program's one CP932 codec makes it Shift_JIS, so a project file
    // and a page write every character alike: one CP932 cannot carry exactly becomes a character
    // reference. That is sound in text, and the element names are the program's own, in ASCII.
    xmlChar *memory = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &memory, &size, "UTF-8", 0);
    const std::unique_ptr<xmlChar, XmlMemoryDeleter> owned(memory);
    const QByteArrayView utf8(reinterpret_cast<const char *>(memory), memory ? size : 0);
    const qsizetype declarationEnd = utf8.startsWith("<?xml ") ? utf8.indexOf("?>") : -1;
    if (declarationEnd < 0)
        throw VormikError(QStringLiteral("XML 文書を Shift_JIS で書き出せません"));
    QByteArray bytes = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>";
    bytes += Cp932::encodeUtf8(utf8.sliced(declarationEnd + 2));
    return bytes;
}

XmlDocHandle parse(const QByteArray &bytes, const QString &fileName, StreamedText *streamed)
{
    ensureInitialised();
    ParseState state;
    ParseFault &fault = state.fault;
    if (bytes.size() > INT_MAX) {
        fault.record(QStringLiteral("ファイルが大きすぎます"), 0, 0);
        throw VormikError(unreadable(fileName, fault));
    }
    ErrorCapture capture(&fault);
    std::unique_ptr<xmlParserCtxt, ParserDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt)
        throw std::bad_alloc();
    state.streamed = streamed;
    ctxt->_private = &state;
    ctxt->sax->internalSubset = refuseDocumentType;
    ctxt->sax->startElementNs = startElement;
    ctxt->sax->endElementNs = endElement;
    ctxt->sax->characters = textOrStream<xmlSAX2Characters>;
    ctxt->sax->ignorableWhitespace = textOrStream<xmlSAX2Characters>;
    ctxt->sax->cdataBlock = textOrStream<xmlSAX2CDataBlock>;
    // Never NOENT, DTDLOAD, HUGE or XINCLUDE: entities stay unexpanded and the depth limit holds.
    const int options =
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES | XML_PARSE_COMPACT;
    XmlDocHandle doc(
        xmlCtxtReadMemory(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr, options));
    if (fault.documentType || fault.found || !doc || !ctxt->wellFormed)
        throw VormikError(unreadable(fileName, fault));
    if (!xmlDocGetRootElement(doc.get())) {
        fault.record(QStringLiteral("ルート要素がありません"), 0, 0);
        throw VormikError(unreadable(fileName, fault));
    }
    return doc;
}

xmlNode *rootElement(xmlDoc *doc)
{
    return doc ? xmlDocGetRootElement(doc) : nullptr;
}

std::vector<xmlNode *> elementsByName(xmlNode *top, const char *name)
{
    std::vector<xmlNode *> found;
    forEachElementBelow(top, [&](xmlNode *element) {
        if (xmlStrEqual(element->name, BAD_CAST name))
            found.push_back(element);
        return true;
    });
    return found;
}

xmlNode *firstElementByName(xmlNode *top, const char *name)
{
    xmlNode *found = nullptr;
    forEachElementBelow(top, [&](xmlNode *element) {
        if (xmlStrEqual(element->name, BAD_CAST name))
            found = element;
        return found == nullptr;
    });
    return found;
}

QString textContent(const xmlNode *node)
{
    if (!node || !node->children)
        return {};
    const xmlNode *only = node->children;
    if (!only->next && only->type == XML_TEXT_NODE)
        return fromXmlText(reinterpret_cast<const char *>(only->content));
    xmlChar *content = xmlNodeGetContent(node);
    const QString text = fromXmlText(reinterpret_cast<const char *>(content));
    xmlFree(content);
    return text;
}

QString StreamedText::text() const
{
    return fromXmlText(utf8);
}

long lineOf(const xmlNode *node)
{
    return node ? xmlGetLineNo(node) : 0;
}

} // namespace usexml
