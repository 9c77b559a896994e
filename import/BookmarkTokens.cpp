#include "import/BookmarkTokens.h"

#include <libxml/HTMLparser.h>

#include <algorithm>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAlnum(char c)
{
    return isLetter(c) || (c >= '0' && c <= '9');
}

// Reads the attributes from `at` as HTML does, calling found(name, value) for each, up to the ">"
// that ends the tag. Returns the index of that ">", or -1 when the bytes end first.
template<class Found>
qsizetype scanAttributes(QByteArrayView bytes, qsizetype at, Found found)
{
    const qsizetype size = bytes.size();
    const auto skipSpace = [&] {
        while (at < size && (isSpace(bytes[at]) || bytes[at] == '/'))
            ++at;
    };
    for (;;) {
        skipSpace();
        if (at >= size)
            return -1;
        if (bytes[at] == '>')
            return at;
        const qsizetype nameStart = at++;
        while (at < size && !isSpace(bytes[at]) && bytes[at] != '/' && bytes[at] != '>' && bytes[at] != '=')
            ++at;
        const QByteArrayView name = bytes.sliced(nameStart, at - nameStart);
        while (at < size && isSpace(bytes[at]))
            ++at;
        QByteArrayView value;
        if (at < size && bytes[at] == '=') {
            ++at;
            while (at < size && isSpace(bytes[at]))
                ++at;
            if (at < size && (bytes[at] == '"' || bytes[at] == '\'')) {
                const char quote = bytes[at++];
                const qsizetype end = bytes.indexOf(quote, at);
                if (end < 0)
                    return -1;
                value = bytes.sliced(at, end - at);
                at = end + 1;
            } else {
                const qsizetype valueStart = at;
                while (at < size && !isSpace(bytes[at]) && bytes[at] != '>')
                    ++at;
                value = bytes.sliced(valueStart, at - valueStart);
            }
        }
        if (found(name, value))
            return at;
    }
}

void appendCodePoint(QString &out, char32_t codePoint)
{
    if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        codePoint = 0xFFFD;
    out += QString::fromUcs4(&codePoint, 1);
}

// Reads the character reference after the "&" at `at` into `out`; returns where it ends, or `at`
// when there is none (the "&" is then text). Names are libxml2's list of HTML entities.
qsizetype reference(QByteArrayView text, qsizetype at, QString &out)
{
    qsizetype end = at + 1;
    if (end < text.size() && text[end] == '#') {
        const bool hex = end + 1 < text.size() && (text[end + 1] == 'x' || text[end + 1] == 'X');
        end += hex ? 2 : 1;
        const qsizetype digits = end;
        char32_t value = 0;
        for (; end < text.size(); ++end) {
            const char c = text[end];
            const int digit = c >= '0' && c <= '9' ? c - '0'
                : hex && c >= 'a' && c <= 'f'      ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F'      ? c - 'A' + 10
                                                   : -1;
            if (digit < 0)
                break;
            value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(digit), 0x110000);
        }
        if (end == digits)
            return at;
        appendCodePoint(out, value);
        return end < text.size() && text[end] == ';' ? end + 1 : end;
    }
    while (end < text.size() && isAlnum(text[end]))
        ++end;
    if (end == at + 1 || end >= text.size() || text[end] != ';')
        return at;
    const QByteArray name = text.sliced(at + 1, end - at - 1).toByteArray();
    const htmlEntityDesc *entity = htmlEntityLookup(reinterpret_cast<const xmlChar *>(name.constData()));
    if (!entity)
        return at;
    appendCodePoint(out, entity->value);
    return end + 1;
}

QString withReferencesRead(QByteArrayView text)
{
    if (!text.contains('&'))
        return QString::fromUtf8(text);
    QString out;
    qsizetype done = 0;
    for (qsizetype amp = text.indexOf('&'); amp >= 0; amp = text.indexOf('&', amp + 1)) {
        out += QString::fromUtf8(text.sliced(done, amp - done));
        done = reference(text, amp, out);
        if (done == amp) {
            out += QLatin1Char('&');
            ++done;
        }
        amp = done - 1;
    }
    out += QString::fromUtf8(text.sliced(done));
    return out;
}

} // namespace

BookmarkTokens::Token BookmarkTokens::next()
{
    Token token;
    for (;;) {
        const Step done = step(token);
        if (done == Step::Token)
            return token;
        if (done == Step::End)
            return {};
        if (!pull())
            m_more = nullptr; // what is left is read as the file's end
    }
}

bool BookmarkTokens::pull()
{
    if (!m_more)
        return false;
    const QByteArray piece = m_more();
    if (piece.isEmpty())
        return false;
    m_bytes.remove(0, m_at);
    m_at = 0;
    m_bytes += piece;
    return true;
}

// One token from the bytes at hand; Step::More when they end inside one and more may follow.
BookmarkTokens::Step BookmarkTokens::step(Token &token)
{
    const QByteArrayView bytes(m_bytes);
    const qsizetype size = bytes.size();
    const bool final = !m_more;
    while (m_at < size) {
        const qsizetype lt = bytes.indexOf('<', m_at);
        const qsizetype textEnd = lt < 0 ? size : lt;
        if (textEnd > m_at) {
            token.kind = Kind::Text;
            token.raw = bytes.sliced(m_at, textEnd - m_at);
            m_at = textEnd;
            return Step::Token;
        }
        // At a "<": a comment, a declaration, an end tag or a start tag; anything else is text.
        const QByteArrayView rest = bytes.sliced(lt);
        if (rest.size() < 4 && !final)
            return Step::More;
        if (rest.startsWith("<!") || rest.startsWith("<?")) {
            const bool comment = rest.startsWith("<!--");
            const qsizetype end = bytes.indexOf(comment ? "-->" : ">", lt + 2);
            if (end < 0 && !final)
                return Step::More;
            m_cutShort = m_cutShort || end < 0;
            m_at = end < 0 ? size : end + (comment ? 3 : 1);
            continue;
        }
        const bool endTag = rest.size() > 1 && rest[1] == '/';
        const qsizetype nameStart = lt + (endTag ? 2 : 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < size && isAlnum(bytes[nameEnd]))
            ++nameEnd;
        if (nameEnd == size && !final)
            return Step::More;
        if (nameEnd == nameStart || !isLetter(bytes[nameStart])) {
            token.kind = Kind::Text;
            token.raw = bytes.sliced(lt, 1);
            m_at = lt + 1;
            return Step::Token;
        }
        const qsizetype close = scanAttributes(bytes, nameEnd, [](QByteArrayView, QByteArrayView) { return false; });
        if (close < 0 && !final)
            return Step::More;
        if (close < 0) {
            m_cutShort = true;
            m_at = size;
            break;
        }
        token.kind = endTag ? Kind::EndTag : Kind::StartTag;
        token.name = bytes.sliced(nameStart, nameEnd - nameStart).toByteArray().toLower();
        token.raw = bytes.sliced(nameEnd, close - nameEnd);
        m_at = close + 1;
        return Step::Token;
    }
    return final ? Step::End : Step::More;
}

namespace BookmarkText {

QString attribute(QByteArrayView attributes, QByteArrayView name)
{
    QString value;
    scanAttributes(attributes, 0, [&](QByteArrayView found, QByteArrayView raw) {
        if (found.compare(name, Qt::CaseInsensitive) != 0)
            return false;
        value = withReferencesRead(raw);
        if (value.isNull())
            value = QStringLiteral("");
        return true;
    });
    return value;
}

QString text(QByteArrayView raw)
{
    if (!raw.contains('\n') && !raw.contains('\r'))
        return withReferencesRead(raw);
    QByteArray joined;
    joined.reserve(raw.size());
    for (qsizetype at = 0; at < raw.size();) {
        if (!isSpace(raw[at])) {
            joined += raw[at++];
            continue;
        }
        const qsizetype start = at;
        while (at < raw.size() && isSpace(raw[at]))
            ++at;
        const QByteArrayView run = raw.sliced(start, at - start);
        joined += run.contains('\n') || run.contains('\r') ? QByteArrayView(" ") : run;
    }
    return withReferencesRead(joined);
}

} // namespace BookmarkText
