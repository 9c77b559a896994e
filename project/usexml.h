#pragma once
// The streaming writer and reader that project files are written and read with, over libxml2.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <memory>
#include <vector>

struct _xmlError;

namespace usexml {

// Makes libxml2 ready for Vormik's files: "Shift_JIS" means iconv's CP932, and no document may
// load anything from outside itself. Runs once; every entry point below calls it.
void ensureInitialised();

// A fault libxml2 reports, in the user's words, with the library's own sentence as a detail;
// `error` may be null.
QString faultText(const _xmlError *error);

// --- Writing ---

// A document written as it goes, in Shift_JIS: the declaration (version 1.0, Shift_JIS), then
// elements and their text in document order. No tree of it is ever built, so a large project
// costs its bytes and little more. Text is escaped as libxml2's own serialiser escapes it, and a
// character CP932 cannot hold becomes a character reference.
class XmlWriter
{
public:
    // Starts the document with its root element.
    explicit XmlWriter(const char *rootName);
    ~XmlWriter();
    XmlWriter(const XmlWriter &) = delete;
    XmlWriter &operator=(const XmlWriter &) = delete;

    // Opens an element as the next child of the element open now.
    void startElement(const char *name);
    // Text for the element open now, after what it holds so far.
    void text(const QString &text);
    // An element holding `text`; an empty text gives an element without content.
    void textElement(const char *name, const QString &text);
    void endElement();
    // Closes every element still open and hands over the document's bytes.
    QByteArray finish();

private:
    struct Output;
    std::unique_ptr<Output> m_output;
};

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
// fault throws VormikError naming `source` (as read() calls it) and, where libxml2 knows it, line
// and column.
void parse(const QByteArray &bytes, const QString &source, StreamedText &streamed, XmlEvents &events);

// Turns libxml2's UTF-8 into text. A text that begins with U+FEFF keeps it: inside a document it
// is a character like any other, not a byte-order mark.
class XmlTextDecoder
{
public:
    // The text, valid until the next call.
    QStringView view(QByteArrayView utf8);
    // The text at its exact length, so that a large tree of them carries no spare capacity; no
    // text is a null string.
    QString operator()(QByteArrayView utf8) { return view(utf8).toString(); }

private:
    QStringDecoder m_decoder{QStringDecoder::Utf8,
                             QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless};
    QString m_buffer; // each text is decoded here
};

} // namespace usexml
