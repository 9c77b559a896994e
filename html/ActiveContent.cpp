#include "html/ActiveContent.h"

#include <QStringView>

#include <algorithm>
#include <array>

namespace ActiveContent {

namespace {

// Elements that run or load something, take input, restyle the page, or make the tokenizer read
// what follows them as text or as foreign content, where a later tag may mean what it does not
// seem to.
constexpr std::array<QStringView, 27> ActiveElements = {
    u"script",  u"style",   u"iframe",   u"frame",  u"frameset", u"object", u"embed",   u"applet", u"param",
    u"form",    u"input",   u"button",   u"select", u"textarea", u"option", u"keygen",  u"base",   u"meta",
    u"link",    u"svg",     u"math",     u"xmp",    u"noembed",  u"noframes", u"noscript", u"plaintext", u"title",
};

bool isSpace(QChar c)
{
    return c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r' || c == u' ';
}

bool isAlpha(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

int digitValue(QChar c, int base)
{
    const char16_t u = c.toLower().unicode();
    const int value = u >= u'0' && u <= u'9' ? u - u'0' : u >= u'a' && u <= u'z' ? u - u'a' + 10 : base;
    return value < base ? value : -1;
}

// An attribute's value with the references that could spell a scheme decoded: numeric ones, and
// the named colon, tab and line break.
QString decodedReferences(QStringView value)
{
    if (!value.contains(u'&'))
        return value.toString();
    static constexpr std::pair<QStringView, QStringView> Named[] = {
        {u"colon", u":"}, {u"tab", u"\t"}, {u"newline", u"\n"}};
    QString out;
    qsizetype i = 0;
    while (i < value.size()) {
        const QStringView rest = value.sliced(i);
        if (!rest.startsWith(u'&')) {
            out += value[i++];
            continue;
        }
        qsizetype length = 0;
        if (rest.startsWith(u"&#")) {
            const int base = rest.size() > 2 && rest[2].toLower() == u'x' ? 16 : 10;
            qsizetype at = base == 16 ? 3 : 2;
            char32_t code = 0;
            for (int digit; at < rest.size() && (digit = digitValue(rest[at], base)) >= 0; ++at)
                code = std::min<char32_t>(code * base + static_cast<char32_t>(digit), 0x110000);
            if (at > (base == 16 ? 3 : 2)) {
                length = at;
                out += code > 0 && code < 0x110000 ? QString::fromUcs4(&code, 1) : QString(QChar::ReplacementCharacter);
            }
        } else {
            for (const auto &[name, shown] : Named) {
                if (rest.sliced(1).startsWith(name, Qt::CaseInsensitive)) {
                    length = 1 + name.size();
                    out += shown;
                    break;
                }
            }
        }
        if (length == 0) {
            out += value[i++];
            continue;
        }
        i += length + (i + length < value.size() && value[i + length] == u';');
    }
    return out;
}

// A start or end tag, a comment or a declaration, from its '<' on.
class Tokenizer
{
public:
    explicit Tokenizer(QStringView text) : m_text(text) {}

    Kind run()
    {
        bool markup = false;
        while (m_at < m_text.size()) {
            if (m_text[m_at] != u'<' || m_at + 1 >= m_text.size()) {
                ++m_at;
                continue;
            }
            const QChar next = m_text[m_at + 1];
            bool closed = true;
            if (isAlpha(next)) {
                m_at += 1;
                if (!tag(true))
                    return Kind::Active;
            } else if (next == u'/') {
                if (m_at + 2 >= m_text.size()) {
                    m_at += 2; // "</" at the end is text
                    continue;
                }
                m_at += 2;
                if (isAlpha(m_text[m_at]))
                    closed = tag(false);
                else
                    closed = bogusComment();
            } else if (next == u'!') {
                m_at += 2;
                closed = m_text.sliced(m_at).startsWith(u"--") ? comment() : bogusComment();
            } else if (next == u'?') {
                m_at += 1;
                closed = bogusComment();
            } else {
                ++m_at;
                continue;
            }
            if (!closed)
                return Kind::Active;
            markup = true;
        }
        return markup ? Kind::Markup : Kind::Text;
    }

private:
    bool atEnd() const { return m_at >= m_text.size(); }
    QChar current() const { return m_text[m_at]; }

    // Up to the first '>', as a declaration, "<?" or "</" followed by no letter is read.
    bool bogusComment()
    {
        const qsizetype end = m_text.indexOf(u'>', m_at);
        if (end < 0)
            return false;
        m_at = end + 1;
        return true;
    }

    // After "<!": a comment ends at "-->", "--!>", or at once with "<!-->" or "<!--->".
    bool comment()
    {
        enum { Start, StartDash, Body, EndDash, End, EndBang } state = Start;
        for (m_at += 2; !atEnd(); ++m_at) {
            const QChar c = current();
            switch (state) {
            case Start:
            case StartDash:
                if (c == u'-') {
                    state = state == Start ? StartDash : End;
                    continue;
                }
                if (c == u'>') {
                    ++m_at;
                    return true;
                }
                state = Body;
                break;
            case Body:
                if (c == u'-')
                    state = EndDash;
                break;
            case EndDash:
                state = c == u'-' ? End : Body;
                break;
            case End:
            case EndBang:
                if (c == u'>') {
                    ++m_at;
                    return true;
                }
                if (state == End && c == u'!')
                    state = EndBang;
                else if (c == u'-')
                    state = state == End ? End : EndDash;
                else
                    state = Body;
                break;
            }
        }
        return false;
    }

    // A tag from its name on, with the attribute states of a browser's tokenizer. False when the
    // tag holds active content or is not closed.
    bool tag(bool start)
    {
        QString name;
        for (; !atEnd() && !isSpace(current()) && current() != u'/' && current() != u'>'; ++m_at)
            name += current().toLower();
        if (start && std::find(ActiveElements.begin(), ActiveElements.end(), QStringView(name)) != ActiveElements.end())
            return false;
        QString attribute;
        qsizetype valueFrom = -1;
        const auto finished = [&](qsizetype valueTo) {
            if (attribute.isEmpty() || !start)
                return true;
            const QStringView value = valueFrom < 0 ? QStringView() : m_text.sliced(valueFrom, valueTo - valueFrom);
            const bool active = attribute.startsWith(u"on")
                || isScriptAddress(decodedReferences(value), name == u"img" && attribute == u"src");
            attribute.clear();
            valueFrom = -1;
            return !active;
        };
        while (!atEnd()) {
            const QChar c = current();
            if (isSpace(c) || c == u'/') {
                ++m_at;
                continue;
            }
            if (c == u'>') {
                ++m_at;
                return true;
            }
            // An attribute's name: a first '=' is part of it.
            attribute += c.toLower();
            for (++m_at; !atEnd() && !isSpace(current()) && current() != u'/' && current() != u'>' && current() != u'=';
                 ++m_at)
                attribute += current().toLower();
            while (!atEnd() && isSpace(current()))
                ++m_at;
            if (atEnd() || current() != u'=') {
                if (!finished(-1))
                    return false;
                continue;
            }
            for (++m_at; !atEnd() && isSpace(current()); ++m_at) {
            }
            if (atEnd())
                return false;
            const QChar quote = current();
            if (quote == u'"' || quote == u'\'') {
                valueFrom = m_at + 1;
                const qsizetype end = m_text.indexOf(quote, valueFrom);
                if (end < 0)
                    return false;
                m_at = end + 1;
                if (!finished(end))
                    return false;
            } else {
                valueFrom = m_at;
                while (!atEnd() && !isSpace(current()) && current() != u'>')
                    ++m_at;
                if (!finished(m_at))
                    return false;
            }
        }
        return false;
    }

    QStringView m_text;
    qsizetype m_at = 0;
};

} // namespace

Kind of(const QString &name)
{
    if (!name.contains(u'<'))
        return Kind::Text;
    return Tokenizer(name).run();
}

bool isScriptAddress(const QString &address, bool imageSource)
{
    // Browsers drop tabs and line breaks anywhere in a URL, and controls and spaces before it; the
    // longest scheme asked about decides how much is read.
    QString scheme;
    for (const QChar c : address) {
        if (c == u'\t' || c == u'\n' || c == u'\r' || (scheme.isEmpty() && c.unicode() <= 0x20))
            continue;
        scheme += c;
        if (scheme.size() == 11)
            break;
    }
    return scheme.startsWith(u"javascript:", Qt::CaseInsensitive) || scheme.startsWith(u"vbscript:", Qt::CaseInsensitive)
        || (!imageSource && scheme.startsWith(u"data:", Qt::CaseInsensitive));
}

} // namespace ActiveContent
