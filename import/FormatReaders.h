#pragma once

#include "import/ImportResult.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The reader of each format an import recognises. Each says whether bytes look like its format
// and reads them into an ImportResult; any fault throws VormikError naming `fileName`. A bookmark
// file and OPML are read from the file's first piece and the next ones `more` gives (empty at the
// file's end), so that they are never held whole.

// The Netscape bookmark file that Firefox, Chrome, Edge and Safari export: every folder (H3)
// becomes a group holding what its DL list holds, every bookmark (A) a link. Separators, icons,
// dates and descriptions are left out and counted.
namespace BookmarkReader {

bool recognises(const QByteArray &bytes);
ImportResult read(const QByteArray &start, const std::function<QByteArray()> &more, const QString &fileName);

} // namespace BookmarkReader

// OPML outlines: an outline with a url or htmlUrl attribute becomes a link, and so does a feed
// that names only its xmlUrl; any other a group;
// its text (or title) is the name. Attributes target, class and id, which Vormik's own OPML
// writes, are kept.
namespace OpmlReader {

bool recognises(const QByteArray &bytes);
ImportResult read(const QByteArray &start, const std::function<QByteArray()> &more, const QString &fileName);

} // namespace OpmlReader

// Vormik's JSON menu data: an array of nodes {"name", "href", "target", "class", "id"}; a node
// with "children" and no address is a group, one with both a link holding nodes.
namespace JsonReader {

bool recognises(const QByteArray &bytes);
ImportResult read(const QByteArray &bytes, const QString &fileName);

} // namespace JsonReader

// A page Vormik exported, classic or HTML5, read back into the tree it was made from: names,
// addresses, targets, classes and IDs of links, names and ids of groups. A classic page writes a
// name as markup, so its text is what comes back; a group mark every group shares is taken off.
// It has no test of its own: a file no other reader recognises is tried as a page.
namespace PageReader {

ImportResult read(const QByteArray &bytes, const QString &fileName);

} // namespace PageReader
