#include "project/usexml.h"

#include "text/Cp932Codec.h"
#include "text/VormikError.h"

#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlIO.h>

#include <QScopeGuard>
#include <QSet>

#include <algorithm>
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

// What went wrong while parsing, with libxml2's position and, for its own faults, its text.
struct ParseFault
{
    bool found = false;
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

// A libxml2 fault in the user's words.
QString faultSentence(const xmlError &error)
{
    switch (error.code) {
    case XML_ERR_GT_REQUIRED:
    case XML_ERR_LTSLASH_REQUIRED:
    case XML_ERR_TAG_NOT_FINISHED:
        return QStringLiteral("タグが閉じていません");
    case XML_ERR_NAME_REQUIRED:
        return QStringLiteral("要素名か属性名があるべきところにありません");
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
        return QStringLiteral("属性に値がありません");
    case XML_ERR_TAG_NAME_MISMATCH:
        return QStringLiteral("開始タグと終了タグの名前が合いません");
    case XML_ERR_DOCUMENT_EMPTY:
        return QStringLiteral("文書が空です");
    case XML_ERR_DOCUMENT_END:
        return QStringLiteral("ルート要素の後ろに余計な内容があります");
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_ENCODING:
        return QStringLiteral("文字コードに合わない文字があります");
    case XML_ERR_INVALID_CHARREF:
        return QStringLiteral("文字参照が正しくありません");
    case XML_ERR_UNKNOWN_ENCODING:
    case XML_ERR_UNSUPPORTED_ENCODING:
        return QStringLiteral("読めない文字コードです");
    case XML_ERR_UNDECLARED_ENTITY:
        return QStringLiteral("宣言されていない実体を参照しています");
    case XML_ERR_ATTRIBUTE_REDEFINED:
        return QStringLiteral("同じ属性が二度書かれています");
    case XML_ERR_INTERNAL_ERROR:
        // The one internal fault a document can cause is the depth limit, which holds on purpose.
        if (QByteArrayView(error.message ? error.message : "").contains("depth"))
            return QStringLiteral("要素の入れ子が深すぎます");
        break;
    default:
        break;
    }
    return QStringLiteral("XML の書式に誤りがあります");
}

void collectError(void *data, xmlError *error)
{
    if (!data || !error || error->level < XML_ERR_ERROR)
        return;
    static_cast<ParseFault *>(data)->record(faultText(error), error->line, error->int2);
}

// The longest text libxml2 keeps in one text node of a document. The reader builds no document,
// but holds every text but the streamed one to the same length, so that no other element can
// make Open take memory without bound.
constexpr size_t MaxTextRun = XML_MAX_TEXT_LENGTH;

// What the SAX hooks below share through the parser's private pointer.
struct ParseState
{
    ParseFault fault;
    StreamedText *streamed = nullptr;
    XmlEvents *events = nullptr;
    int depth = 0;           // of the element being parsed; the root is 1
    int streamingDepth = 0;  // of the element whose text is streamed, 0 when none is open
    bool rootMet = false;
    // The run of text or of CDATA that one text node of a document would hold: markup of any
    // kind ends it, and so does a change between text and CDATA.
    enum class Run { None, Text, CData } run = Run::None;
    size_t runLength = 0;
    // Every xml:id met so far: a value used twice makes the document unreadable, as it does
    // for libxml2's own tree.
    QSet<QByteArray> ids;
};

ParseState &stateOf(void *context)
{
    return *static_cast<ParseState *>(static_cast<xmlParserCtxt *>(context)->_private);
}

// The parser's place now, where libxml2 would report a fault met at this point.
void recordFault(void *context, const QString &message)
{
    auto *ctxt = static_cast<xmlParserCtxt *>(context);
    stateOf(context).fault.record(message, ctxt->input ? ctxt->input->line : 0, ctxt->input ? ctxt->input->col : 0);
}

// A document type declaration is where entities are declared; refusing it on sight means no
// entity is ever defined, let alone expanded.
void refuseDocumentType(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
{
    recordFault(context, QStringLiteral("文書型宣言 (DOCTYPE) は使えません"));
    xmlStopParser(static_cast<xmlParserCtxt *>(context));
}

// An xml:id must be a name without a colon (blanks around it allowed) and unique in the
// document; libxml2 checks both only while it builds a tree, so the reader does it here, with
// libxml2's words.
void checkXmlIds(void *context, int attributeCount, const xmlChar **attributes)
{
    ParseState &state = stateOf(context);
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar **attribute = attributes + 5 * i; // local name, prefix, URI, value, value's end
        if (!xmlStrEqual(attribute[0], BAD_CAST "id") || !xmlStrEqual(attribute[1], BAD_CAST "xml"))
            continue;
        const QByteArray value(reinterpret_cast<const char *>(attribute[3]), attribute[4] - attribute[3]);
        if (xmlValidateNCName(xmlText(value), 1) != 0)
            recordFault(context,
                        QStringLiteral("xml:id の値 %1 は ID に使えない名前です").arg(XmlTextDecoder()(value)));
        if (value.isEmpty())
            continue;
        if (state.ids.contains(value))
            recordFault(context, QStringLiteral("ID %1 が二度使われています").arg(XmlTextDecoder()(value)));
        else
            state.ids.insert(value);
    }
}

void startElement(void *context, const xmlChar *localName, const xmlChar *, const xmlChar *, int, const xmlChar **,
                  int attributeCount, int, const xmlChar **attributes)
{
    auto *ctxt = static_cast<xmlParserCtxt *>(context);
    ParseState &state = stateOf(context);
    checkXmlIds(context, attributeCount, attributes);
    ++state.depth;
    state.rootMet = true;
    state.run = ParseState::Run::None;
    const long line = ctxt->input ? ctxt->input->line : 0;
    StreamedText *streamed = state.streamed;
    if (!streamed->found && state.depth > 1 && xmlStrEqual(localName, BAD_CAST streamed->elementName)) {
        streamed->found = true;
        streamed->line = line;
        state.streamingDepth = state.depth;
    }
    state.events->elementStarted(reinterpret_cast<const char *>(localName), line);
}

void endElement(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
{
    ParseState &state = stateOf(context);
    if (state.depth == state.streamingDepth)
        state.streamingDepth = 0;
    --state.depth;
    state.run = ParseState::Run::None;
    state.events->elementEnded();
}

// Text inside the streamed element goes to it, whatever its length; all other text to the
// events, a run of it no longer than a document's text node may be.
template<ParseState::Run Kind>
void takeText(void *context, const xmlChar *text, int length)
{
    ParseState &state = stateOf(context);
    if (state.streamingDepth > 0) {
        state.streamed->utf8.append(reinterpret_cast<const char *>(text), length);
        return;
    }
    if (state.run != Kind) {
        state.run = Kind;
        state.runLength = 0;
    }
    // As in libxml2's tree, only a piece added to a run is measured; a first piece too long for
    // it is the parser's own fault to find.
    if (state.runLength > 0 && state.runLength + static_cast<size_t>(length) > MaxTextRun) {
        recordFault(context, QStringLiteral("テキストが長すぎます"));
        xmlStopParser(static_cast<xmlParserCtxt *>(context));
        return;
    }
    state.runLength += static_cast<size_t>(length);
    state.events->textFound(reinterpret_cast<const char *>(text), length);
}

// A comment or a processing instruction is kept by no one, but it ends a run of text.
void endRun(void *context)
{
    stateOf(context).run = ParseState::Run::None;
}

QString unreadable(const QString &fileName, const ParseFault &fault)
{
    QString where;
    if (fault.line > 0)
        where = fault.column > 0 ? QStringLiteral("（%1 行 %2 列）").arg(fault.line).arg(fault.column)
                                 : QStringLiteral("（%1 行）").arg(fault.line);
    const QString cause = fault.message.isEmpty() ? QStringLiteral("XML 文書として読めません") : fault.message;
    return QStringLiteral("%1 を読み込めません%2: %3").arg(fileName, where, cause);
}

void check(int result)
{
    if (result < 0)
        throw VormikError(QStringLiteral("XML 文書を書き出せません"));
}

// How much of `utf8` ends on a character's end: a chunk of output may cut a character in two.
qsizetype wholeCharacters(QByteArrayView utf8)
{
    for (qsizetype back = 1; back <= std::min<qsizetype>(4, utf8.size()); ++back) {
        const auto byte = static_cast<unsigned char>(utf8.at(utf8.size() - back));
        if ((byte & 0xC0) == 0x80)
            continue; // inside a character
        const qsizetype length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        return length <= back ? utf8.size() : utf8.size() - back;
    }
    return utf8.size();
}

} // namespace

QString faultText(const xmlError *fault)
{
    if (!fault)
        return QStringLiteral("XML 文書として読めません");
    const QString detail = QString::fromUtf8(fault->message).trimmed();
    return detail.isEmpty() ? faultSentence(*fault)
                            : QStringLiteral("%1（libxml2: %2）").arg(faultSentence(*fault), detail);
}

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

// libxml2's output buffer collects the UTF-8 and escapes text as its serialiser does; the
// program's one CP932 codec makes it Shift_JIS as it comes, so a project file and a page write
// every character alike: one CP932 cannot carry exactly becomes a character reference. That is
// sound in text, and the element names are the program's own, in ASCII.
struct XmlWriter::Output
{
    QByteArray bytes = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n";
    QByteArray pending; // the start of a character the last chunk ended in
    std::unique_ptr<xmlOutputBuffer, decltype(&xmlOutputBufferClose)> buffer{nullptr, xmlOutputBufferClose};
    std::vector<const char *> open; // the names of the elements open now, the root first
    bool startTagOpen = false;      // the last start tag still lacks its ">"
    QStringEncoder encoder{QStringEncoder::Utf8};
    QByteArray text; // each text's UTF-8, NUL-terminated for libxml2

    static int write(void *context, const char *chunk, int length)
    {
        auto &output = *static_cast<Output *>(context);
        output.pending.append(chunk, length);
        const qsizetype whole = wholeCharacters(output.pending);
        output.bytes += Cp932::encodeUtf8(QByteArrayView(output.pending).first(whole));
        output.pending.remove(0, whole);
        return length;
    }

    void put(const char *markup) { check(xmlOutputBufferWriteString(buffer.get(), markup)); }

    // Ends the open start tag: the element gets content.
    void closeStartTag()
    {
        if (startTagOpen)
            put(">");
        startTagOpen = false;
    }
};

XmlWriter::XmlWriter(const char *rootName) : m_output(std::make_unique<Output>())
{
    ensureInitialised();
    m_output->buffer.reset(xmlOutputBufferCreateIO(Output::write, nullptr, m_output.get(), nullptr));
    if (!m_output->buffer)
        throw std::bad_alloc();
    startElement(rootName);
}

XmlWriter::~XmlWriter() = default;

void XmlWriter::startElement(const char *name)
{
    if (xmlValidateName(BAD_CAST name, 0) != 0)
        throw VormikError(QStringLiteral("'%1' は要素名に使えません").arg(QString::fromUtf8(name)));
    Output &output = *m_output;
    output.closeStartTag();
    output.put("<");
    output.put(name);
    output.open.push_back(name);
    output.startTagOpen = true;
}

void XmlWriter::text(const QString &text)
{
    if (text.isEmpty())
        return;
    Output &output = *m_output;
    output.closeStartTag();
    const QString safe = xmlSafe(text);
    output.text.resize(output.encoder.requiredSpace(safe.size()) + 1);
    char *end = output.encoder.appendToBuffer(output.text.data(), safe);
    *end = '\0';
    // Escaped as libxml2 escapes a text node: quotes stay as they are.
    check(xmlOutputBufferWriteEscape(output.buffer.get(), xmlText(output.text), nullptr));
}

void XmlWriter::textElement(const char *name, const QString &content)
{
    startElement(name);
    text(content);
    endElement();
}

void XmlWriter::endElement()
{
    Output &output = *m_output;
    if (output.open.empty())
        throw VormikError(QStringLiteral("XML 文書を書き出せません"));
    if (output.startTagOpen) {
        output.put("/>");
    } else {
        output.put("</");
        output.put(output.open.back());
        output.put(">");
    }
    output.startTagOpen = false;
    output.open.pop_back();
}

QByteArray XmlWriter::finish()
{
    while (!m_output->open.empty())
        endElement();
    m_output->put("\n");
    check(xmlOutputBufferFlush(m_output->buffer.get()));
    if (!m_output->pending.isEmpty())
        throw VormikError(QStringLiteral("XML 文書を書き出せません"));
    return std::move(m_output->bytes);
}

QStringView XmlTextDecoder::view(QByteArrayView utf8)
{
    if (utf8.isEmpty())
        return {};
    m_buffer.resize(m_decoder.requiredSpace(utf8.size()));
    const QChar *end = m_decoder.appendToBuffer(m_buffer.data(), utf8);
    return QStringView(m_buffer.constData(), end);
}

void parse(const QByteArray &bytes, const QString &fileName, StreamedText &streamed, XmlEvents &events)
{
    ensureInitialised();
    if (bytes.size() > INT_MAX)
        throw VormikError(unreadable(fileName, {.message = QStringLiteral("ファイルが大きすぎます")}));
    ParseState state;
    state.streamed = &streamed;
    state.events = &events;
    ParseFault &fault = state.fault;
    // libxml2's errors go to `fault` while this parse runs; whatever took them before gets them back.
    const auto restoreErrors = qScopeGuard([handler = xmlStructuredError, context = xmlStructuredErrorContext] {
        xmlSetStructuredErrorFunc(context, handler);
    });
    xmlSetStructuredErrorFunc(&fault, collectError);
    const std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(xmlNewParserCtxt(), xmlFreeParserCtxt);
    if (!ctxt)
        throw std::bad_alloc();
    ctxt->_private = &state;
    // libxml2's own hooks would build a document; these hand everything on instead.
    xmlSAXHandler *sax = ctxt->sax;
    sax->startDocument = nullptr;
    sax->endDocument = nullptr;
    sax->internalSubset = refuseDocumentType;
    sax->startElementNs = startElement;
    sax->endElementNs = endElement;
    sax->characters = takeText<ParseState::Run::Text>;
    sax->ignorableWhitespace = takeText<ParseState::Run::Text>;
    sax->cdataBlock = takeText<ParseState::Run::CData>;
    sax->comment = [](void *context, const xmlChar *) { endRun(context); };
    sax->processingInstruction = [](void *context, const xmlChar *, const xmlChar *) { endRun(context); };
    sax->reference = nullptr;
    // Never NOENT, DTDLOAD, HUGE or XINCLUDE: entities stay unexpanded and the depth limit holds.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    xmlCtxtReadMemory(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr, options);
    if (fault.found || !ctxt->wellFormed)
        throw VormikError(unreadable(fileName, fault));
    if (!state.rootMet)
        throw VormikError(unreadable(fileName, {.message = QStringLiteral("ルート要素がありません")}));
}

} // namespace usexml
