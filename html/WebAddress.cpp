#include "html/WebAddress.h"

#include <QStringView>

#include <algorithm>

namespace WebAddress {

namespace {

bool isSchemeCharacter(QChar c)
{
    return (c.unicode() < 128 && c.isLetterOrNumber()) || c == u'+' || c == u'.' || c == u'-';
}

// Schemes whose addresses take "\" as "/", as a relative address on a web or file page does.
bool isSpecial(QStringView scheme)
{
    for (const QStringView special : {u"http", u"https", u"ftp", u"file", u"ws", u"wss"}) {
        if (scheme.compare(special, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isUrlCodePoint(char32_t c)
{
    if (c < 0x80) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
            || QStringView(u"!$&'()*+,-./:;=?@_~").contains(QChar(char16_t(c)));
    }
    const bool nonCharacter = (c >= 0xfdd0 && c <= 0xfdef) || (c & 0xfffe) == 0xfffe;
    return c >= 0xa0 && c <= 0x10fffd && !(c >= 0xd800 && c <= 0xdfff) && !nonCharacter;
}

void appendEncoded(QString &text, char32_t c)
{
    // A lone surrogate has no UTF-8; a browser reads it as U+FFFD.
    const QByteArray bytes = (c >= 0xd800 && c <= 0xdfff) ? QByteArray("\xef\xbf\xbd")
                                                            : QString::fromUcs4(&c, 1).toUtf8();
    // No byte of a character that needs encoding is an unreserved one, which this would keep.
    text += QString::fromLatin1(bytes.toPercentEncoding());
}

} // namespace

qsizetype schemeLength(QStringView address)
{
    if (address.isEmpty() || address[0].unicode() >= 128 || !address[0].isLetter())
        return 0;
    qsizetype end = 1;
    while (end < address.size() && isSchemeCharacter(address[end]))
        ++end;
    return end < address.size() && address[end] == u':' ? end : 0;
}

QStringView withoutSurroundings(QStringView address)
{
    while (!address.isEmpty() && address.front().unicode() <= 0x20)
        address = address.mid(1);
    while (!address.isEmpty() && address.back().unicode() <= 0x20)
        address.chop(1);
    return address;
}

QString serialised(const QString &address)
{
    // Most addresses are ASCII a browser keeps as it is; those are shared, not copied.
    const bool plain = !address.isEmpty() && address.front() > u' ' && address.back() > u' ' && address.count(u'#') <= 1
        && std::all_of(address.begin(), address.end(), [](QChar c) {
               return c.unicode() < 0x80 && (c == u'%' || c == u'#' || isUrlCodePoint(c.unicode()));
           });
    if (plain)
        return address;
    const QStringView view = withoutSurroundings(address);
    const qsizetype scheme = schemeLength(view);
    const bool special = scheme == 0 || isSpecial(view.left(scheme));

    QString text;
    text.reserve(view.size());
    enum { Path, Query, Fragment } part = Path;
    // Within a host after "//" the brackets of an IPv6 address are the address's own.
    bool host = false;
    for (qsizetype i = 0; i < view.size(); ++i) {
        char32_t c = view[i].unicode();
        if (c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < view.size() && view[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(view[i].unicode(), view[i + 1].unicode());
            ++i;
        }
        if (part == Path && special && c == u'\\')
            c = u'/';
        if (part == Path && c == u'/') {
            host = text.endsWith(u'/') && text.size() == (scheme ? scheme + 2 : 1);
        } else if (part == Path && c == u'?') {
            part = Query;
            host = false;
        } else if (part != Fragment && c == u'#') {
            part = Fragment;
            host = false;
            text += u'#';
            continue;
        }
        if (c == u'%' || isUrlCodePoint(c) || (host && (c == u'[' || c == u']')))
            text += QString::fromUcs4(&c, 1);
        else
            appendEncoded(text, c);
    }
    return text;
}

bool isRelative(const QString &address)
{
    return schemeLength(address) == 0;
}

} // namespace WebAddress
