#include "treetools/SamePage.h"

#include "html/WebAddress.h"
#include "tree/LinkTree.h"

#include <QHash>
#include <QSet>

namespace SamePage {

namespace {

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isUnreserved(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '_' || c == '~';
}

QString normalisedEncoding(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int high = text[i] == u'%' && i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
        if (low < 0) {
            result += text[i];
            continue;
        }
        const int byte = high * 16 + low;
        if (isUnreserved(byte))
            result += QChar(char16_t(byte));
        else
            result += text.mid(i, 3).toString().toUpper();
        i += 2;
    }
    return result;
}

bool isLink(const LinkNode *node)
{
    return !node->isGroup() && !node->record().Href.isEmpty();
}

} // namespace

QString pageKey(const QString &address)
{
    const QString serial = WebAddress::serialised(address);
    QStringView view(serial);
    if (const qsizetype cut = view.indexOf(u'#'); cut >= 0)
        view.truncate(cut);
    if (const qsizetype cut = view.indexOf(u'?'); cut >= 0)
        view.truncate(cut);
    if (view.isEmpty())
        return {};
    // One copy, changed in place: most addresses need nothing more.
    QString page = view.toString();
    // A browser writes scheme and host in lower case and an empty path as "/".
    if (const qsizetype authority = page.indexOf(QLatin1String("://")); authority > 0 && !WebAddress::isRelative(page)) {
        qsizetype path = page.indexOf(u'/', authority + 3);
        if (path < 0) {
            page += u'/';
            path = page.size() - 1;
        }
        for (qsizetype i = 0; i < path; ++i)
            page[i] = page[i].toLower();
    }
    if (page.contains(u'%'))
        page = normalisedEncoding(page);
    for (const QLatin1String index : {QLatin1String("index.html"), QLatin1String("index.htm")}) {
        if (page.endsWith(index) && (page.size() == index.size() || page[page.size() - index.size() - 1] == u'/')) {
            page.chop(index.size());
            // A relative index.html alone is the folder the page is in.
            if (page.isEmpty())
                page = QStringLiteral("./");
            break;
        }
    }
    return page;
}

std::vector<std::vector<LinkNode *>> duplicateLinks(const LinkTree &tree)
{
    QHash<QString, size_t> setOfPage;
    setOfPage.reserve(tree.count());
    std::vector<std::vector<LinkNode *>> sets;
    for (LinkNode *node : tree.nodes()) {
        if (!isLink(node))
            continue;
        const QString key = pageKey(node->record().Href);
        if (key.isEmpty())
            continue;
        auto at = setOfPage.constFind(key);
        if (at == setOfPage.cend()) {
            at = setOfPage.insert(key, sets.size());
            sets.emplace_back();
        }
        sets[*at].push_back(node);
    }
    std::erase_if(sets, [](const std::vector<LinkNode *> &set) { return set.size() < 2; });
    return sets;
}

std::vector<LinkNode *> linksAlreadyIn(const LinkTree &tree, const LinkTree &incoming)
{
    QSet<QString> pages;
    for (const LinkNode *node : tree.nodes()) {
        if (isLink(node))
            pages.insert(pageKey(node->record().Href));
    }
    pages.remove(QString());
    std::vector<LinkNode *> found;
    for (LinkNode *node : incoming.nodes()) {
        if (isLink(node) && node->childCount() == 0 && pages.contains(pageKey(node->record().Href)))
            found.push_back(node);
    }
    return found;
}

} // namespace SamePage
