#pragma once

#include "import/ImportResult.h"

#include <QByteArray>
#include <QString>

#include <functional>

// OPML outlines: an outline with a url or htmlUrl attribute becomes a link, and so does a feed
// that names only its xmlUrl; any other a group;
// its text (or title) is the name. Attributes target, class and id, which Vormik's own OPML
// writes, are kept.
namespace OpmlReader {

bool recognises(const QByteArray &bytes);
// Reads the file from its first piece and the next ones `more` gives (empty at the file's end);
// any fault throws VormikError naming `fileName`.
ImportResult read(const QByteArray &start, const std::function<QByteArray()> &more, const QString &fileName);

} // namespace OpmlReader
