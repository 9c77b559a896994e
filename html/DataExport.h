#pragma once

#include <QByteArray>
#include <QString>

class LinkTree;

// The tree as data for other programs: each file reads back through Import into the same tree
// (names, kinds, addresses, targets, classes and IDs). A group's address, which no page shows,
// is not written.
namespace DataExport {

enum class Format { Bookmarks, Opml, Json };

// The Netscape bookmark file every browser imports: groups as folders, links as bookmarks. UTF-8.
QByteArray bookmarks(const LinkTree &tree);
// OPML 2.0: groups as outlines, links as outlines of type "link" with their url.
QByteArray opml(const LinkTree &tree);
// A JSON array of the top-level nodes, each {"name", "href", "target", "class", "id"}, a group
// (and a link holding nodes) also with its "children"; on one line unless `indented`.
QByteArray json(const LinkTree &tree, bool indented = false);

// `indented` is for JSON only.
QByteArray write(const LinkTree &tree, Format format, bool indented = false);
// The file-name suffix a save dialog proposes, without the dot.
QString suggestedSuffix(Format format);

} // namespace DataExport
