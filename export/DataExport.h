#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class LinkTree;

// The tree as data for other programs: each file reads back through Import into the same tree
// (names, kinds, addresses, targets, classes and IDs). A group's address, which no page shows,
// is not written.
namespace DataExport {

enum class Format { Bookmarks, Opml, Json };

// Bookmarks and OPML write addresses as a browser reads them, relative ones resolved against
// `siteAddress` when it is given, and never a control character or a lone surrogate raw.

// The Netscape bookmark file every browser imports: groups as folders, links as bookmarks. UTF-8.
QByteArray bookmarks(const LinkTree &tree, const QString &siteAddress = {});
// OPML 2.0: groups as outlines, links as outlines of type "link" with their url. An empty tree,
// which OPML cannot hold, throws VormikError.
QByteArray opml(const LinkTree &tree, const QString &siteAddress = {});
// A JSON array of the top-level nodes, each {"name", "href", "target", "class", "id"}, a group
// (and a link holding nodes) also with its "children"; on one line unless `indented`.
QByteArray json(const LinkTree &tree, bool indented = false);

// `indented` is for JSON only.
QByteArray write(const LinkTree &tree, Format format, const QString &siteAddress = {}, bool indented = false);

// Whether `address` can be a site address: absolute, with a scheme and a host (or file:).
bool isSiteAddress(const QString &address);
// The links whose address names no scheme, which a browser's importer cannot place.
int relativeLinks(const LinkTree &tree);
// Whether `format` resolves relative addresses against a site address.
bool usesSiteAddress(Format format);
// A name or field as bookmarks and OPML write it: each control character but tab and line breaks,
// and each lone surrogate, as U+FFFD.
QString withoutControls(const QString &text);
// `href` as bookmarks and OPML write it.
QString writtenAddress(const QString &href, const QString &siteAddress);
// The file-name suffix a save dialog proposes, without the dot.
QString suggestedSuffix(Format format);

} // namespace DataExport
