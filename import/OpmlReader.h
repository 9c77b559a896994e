#pragma once

#include "import/ImportResult.h"

#include <QByteArray>
#include <QString>

// OPML outlines: an outline with a url or htmlUrl attribute becomes a link, and so does a feed
// that names only its xmlUrl; any other a group;
// its text (or title) is the name. Attributes target, class and id, which Vormik's own OPML
// writes, are kept.
namespace OpmlReader {

bool recognises(const QByteArray &bytes);
// Any fault throws VormikError naming `fileName`.
ImportResult read(const QByteArray &bytes, const QString &fileName);

} // namespace OpmlReader
