// Names and addresses as bookmarks and OPML write them.
#include "export/DataExport.h"

#include "html/WebAddress.h"
#include "tree/LinkTree.h"

#include <QUrl>

namespace DataExport {

namespace {

bool isControl(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || (c >= 0x7f && c <= 0x9f);
}

} // namespace

QString withoutControls(const QString &text)
{
    // Shared with `text` until a character is replaced.
    QString result = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate() || isControl(c.unicode()))
            result[i] = QChar(QChar::ReplacementCharacter);
    }
    return result;
}

bool isSiteAddress(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && !url.isRelative() && (!url.host().isEmpty() || url.isLocalFile());
}

bool usesSiteAddress(Format format)
{
    return format != Format::Json;
}

QString writtenAddress(const QString &href, const QString &siteAddress)
{
    if (!siteAddress.isEmpty()) {
        const QString address = WebAddress::serialised(href);
        if (!address.isEmpty() && WebAddress::isRelative(address))
            return QUrl(siteAddress).resolved(QUrl(address)).toString(QUrl::FullyEncoded);
    }
    // Otherwise the address stays as the user wrote it, which reads back the same, but for the
    // characters no file may hold raw: those are percent-encoded as a browser would.
    QString address;
    for (qsizetype i = 0; i < href.size(); ++i) {
        const QChar c = href[i];
        if (c.isHighSurrogate() && i + 1 < href.size() && href[i + 1].isLowSurrogate()) {
            address += c;
            address += href[++i];
        } else if (c.isSurrogate()) {
            address += QStringLiteral("%EF%BF%BD");
        } else if (isControl(c.unicode())) {
            address += QString::fromLatin1(QString(c).toUtf8().toPercentEncoding());
        } else {
            address += c;
        }
    }
    return address;
}

int relativeLinks(const LinkTree &tree)
{
    int count = 0;
    for (const LinkNode *node : tree.nodes()) {
        if (node->isGroup())
            continue;
        const QString address = WebAddress::serialised(node->record().Href);
        count += !address.isEmpty() && WebAddress::isRelative(address);
    }
    return count;
}

} // namespace DataExport
