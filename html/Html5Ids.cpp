// The ids the HTML5 page makes: its groups', and the index by which its script finds the links to
// the page being shown. No generated id equals a link's own id.
#include "html/Html5Page.h"

#include "html/WebAddress.h"
#include "tree/LinkTree.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <vector>

namespace Html5Page {

namespace {

// The candidates are "STEM-", "STEM1-", "STEM2-" ...; a link's id can start with at most one of
// them, so one of the first (links + 1) is always free.
QString freeIdPrefix(const LinkTree &tree, const QString &stem)
{
    std::vector<bool> taken(tree.nodes().size() + 1, false);
    for (const LinkNode *node : tree.nodes()) {
        const QString &id = node->record().ObjID;
        if (node->isGroup() || !id.startsWith(stem))
            continue;
        qsizetype end = stem.size();
        while (end < id.size() && id.at(end).isDigit() && id.at(end).unicode() < 128)
            ++end;
        if (end == id.size() || id.at(end) != QLatin1Char('-'))
            continue;
        if (end == stem.size()) {
            taken[0] = true;
            continue;
        }
        bool ok = false;
        const qsizetype number = id.mid(stem.size(), end - stem.size()).toLongLong(&ok);
        // "STEM01-" is no candidate's start, nor is a number past the candidates tried.
        if (ok && id.at(stem.size()) != QLatin1Char('0') && number < qsizetype(taken.size()))
            taken[size_t(number)] = true;
    }
    size_t free = 0;
    while (taken[free])
        ++free;
    return free == 0 ? stem + QLatin1Char('-') : stem + QString::number(free) + QLatin1Char('-');
}

// The key of the links only the browser can place: a query alone, dot segments, a folder named
// by nothing or by its index file. The script always looks at these. No other key holds "?".
const QString AnyPage = QStringLiteral("?");

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A path segment as the script decodes it (decodeURIComponent), or AnyPage where the script would
// keep the raw text, which only the browser's own encoding of the address could match.
QString decodedSegment(QStringView segment)
{
    const qsizetype percent = segment.indexOf(u'%');
    if (percent < 0)
        return segment.toString();
    for (qsizetype i = percent; i < segment.size(); ++i) {
        if (segment[i] == u'%'
            && (i + 2 >= segment.size() || !isHexDigit(segment[i + 1]) || !isHexDigit(segment[i + 2])))
            return AnyPage;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8(QByteArray::fromPercentEncoding(segment.toUtf8()));
    return utf8.hasError() ? AnyPage : text;
}

// The path of an address without its scheme and host, if it has them.
QStringView pathOf(QStringView address)
{
    if (const qsizetype scheme = WebAddress::schemeLength(address))
        address = address.mid(scheme + 1);
    if (address.startsWith(u"//")) {
        const qsizetype path = address.indexOf(u'/', 2);
        return path < 0 ? QStringView(u"/") : address.mid(path);
    }
    return address;
}

// The key of the page `address` leads to: the last segment of its path, decoded, and for a folder
// that segment and "/". Empty for no address or a fragment of this page, which is never marked.
// The address is read as a browser reads it: without surrounding spaces and controls, without tabs
// and line breaks, with backslashes as slashes.
QString pageKey(const QString &href)
{
    if (href.isEmpty())
        return {};
    QStringView address = WebAddress::withoutSurroundings(href);
    if (address.isEmpty())
        return AnyPage; // spaces alone lead to the page itself
    if (address.front() == u'#')
        return {};
    // Where the path ends, and whether the address needs the browser's clean-up first.
    qsizetype end = 0;
    bool unclean = false;
    for (; end < address.size() && address[end] != u'?' && address[end] != u'#'; ++end) {
        const QChar c = address[end];
        unclean = unclean || c == u'\\' || c == u'\t' || c == u'\n' || c == u'\r';
    }
    address.truncate(end);
    QString cleaned;
    if (unclean) {
        cleaned = address.toString().remove(u'\t').remove(u'\n').remove(u'\r').replace(u'\\', u'/');
        address = cleaned;
    }
    QStringView path = pathOf(address);
    for (const QStringView index : {QStringView(u"index.html"), QStringView(u"index.htm")}) {
        if (path.endsWith(index) && (path.size() == index.size() || path[path.size() - index.size() - 1] == u'/')) {
            path.chop(index.size());
            break;
        }
    }
    if (path.isEmpty())
        return AnyPage;

    const bool folder = path.endsWith(u'/');
    if (folder)
        path.chop(1);
    const QString segment = decodedSegment(path.mid(path.lastIndexOf(u'/') + 1));
    if (segment == u"." || segment == u".." || segment == AnyPage)
        return AnyPage;
    return folder ? segment + u'/' : segment;
}

// A key as an id holds it: no spaces, and "%", "#" and "?" kept for the script's own use; the
// same escapes as encodeURIComponent's.
QString idText(const QString &key)
{
    const auto escaped = [](QChar c) {
        const char16_t u = c.unicode();
        return u <= 0x20 || u == u'%' || u == u'#' || u == u'?' || u == 0x7f;
    };
    if (std::none_of(key.begin(), key.end(), escaped))
        return key;
    QString text;
    for (const QChar c : key) {
        if (escaped(c))
            text += u'%' + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            text += c;
    }
    return text;
}

} // namespace

QString groupIdPrefix(const LinkTree &tree)
{
    return freeIdPrefix(tree, QStringLiteral("group"));
}

QString pageIndexPrefix(const LinkTree &tree)
{
    return freeIdPrefix(tree, QStringLiteral("to"));
}

std::vector<QString> pageIndexIds(const LinkTree &tree, const QString &prefix)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    std::vector<QString> ids(nodes.size());
    QHash<QString, int> seen;
    for (size_t row = 0; row < nodes.size(); ++row) {
        if (nodes[row]->isGroup())
            continue;
        const QString key = pageKey(nodes[row]->record().Href);
        if (key.isEmpty())
            continue;
        const QString id = key == AnyPage ? key : idText(key);
        const int count = ++seen[id];
        ids[row] = count == 1 ? prefix + id : prefix + id + QLatin1Char('#') + QString::number(count);
    }
    return ids;
}

} // namespace Html5Page
