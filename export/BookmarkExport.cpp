// The tree as a Netscape bookmark file.
#include "export/DataExport.h"

#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

namespace DataExport {

namespace {

// Text as the file holds it: markup escaped, tab and line breaks as references, so that no
// control character stands in the file raw.
QString escaped(const QString &value)
{
    QString text = withoutControls(value).toHtmlEscaped();
    text.replace(u'\t', QStringLiteral("&#9;")).replace(u'\n', QStringLiteral("&#10;")).replace(u'\r', QStringLiteral("&#13;"));
    return text;
}

// An anchor's attribute, in capitals as browsers write them.
QString attribute(const char *name, const QString &value)
{
    if (value.isEmpty())
        return {};
    return QStringLiteral(" %1=\"%2\"").arg(QLatin1String(name).toString().toUpper(), escaped(value));
}

QString indent(int level)
{
    return QString((level + 1) * 4, QLatin1Char(' '));
}

} // namespace

QByteArray bookmarks(const LinkTree &tree, const QString &siteAddress)
{
    QString file = QStringLiteral("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                                  "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                                  "<TITLE>Bookmarks</TITLE>\n"
                                  "<H1>Bookmarks</H1>\n"
                                  "<DL><p>\n");
    int open = 0; // folder lists still open
    for (const LinkNode *node : tree.nodes()) {
        for (; open > node->level(); --open)
            file += indent(open - 1) + QStringLiteral("</DL><p>\n");
        QString fields;
        for (const NodeFieldInfo &field : NodeFields) {
            if (isDetail(field))
                fields += attribute(field.linkAttribute, fieldValue(*node, field.field));
        }
        if (node->isGroup()) {
            file += indent(node->level()) + QStringLiteral("<DT><H3%1>%2</H3>\n").arg(fields, escaped(node->text()));
        } else {
            file += indent(node->level())
                + QStringLiteral("<DT><A HREF=\"%1\"%2>%3</A>\n")
                      .arg(escaped(writtenAddress(node->record().Href, siteAddress)), fields, escaped(node->text()));
        }
        // A link holding nodes (a project file may put some under a link) lists them as a folder does.
        if (node->isGroup() || node->childCount() > 0) {
            file += indent(node->level()) + QStringLiteral("<DL><p>\n");
            ++open;
        }
    }
    for (; open > 0; --open)
        file += indent(open - 1) + QStringLiteral("</DL><p>\n");
    file += QStringLiteral("</DL><p>\n");
    return file.toUtf8();
}

QByteArray write(const LinkTree &tree, Format format, const QString &siteAddress, bool indented)
{
    switch (format) {
    case Format::Bookmarks:
        return bookmarks(tree, siteAddress);
    case Format::Opml:
        return opml(tree, siteAddress);
    case Format::Json:
        break;
    }
    return json(tree, indented);
}

QString suggestedSuffix(Format format)
{
    switch (format) {
    case Format::Bookmarks:
        return QStringLiteral("html");
    case Format::Opml:
        return QStringLiteral("opml");
    case Format::Json:
        break;
    }
    return QStringLiteral("json");
}

} // namespace DataExport
