#pragma once

#include "import/ImportResult.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The Netscape bookmark file that Firefox, Chrome, Edge and Safari export: every folder (H3)
// becomes a group holding what its DL list holds, every bookmark (A) a link. Separators, icons,
// dates and descriptions are left out and counted.
namespace BookmarkReader {

// True when the bytes look like such a file.
bool recognises(const QByteArray &bytes);
// Reads the file from its first piece and the next ones `more` gives (empty at the file's end);
// any fault throws VormikError naming `fileName`.
ImportResult read(const QByteArray &start, const std::function<QByteArray()> &more, const QString &fileName);

} // namespace BookmarkReader
