#pragma once

#include "import/ImportResult.h"

#include <QByteArray>
#include <QString>

// The Netscape bookmark file that Firefox, Chrome, Edge and Safari export: every folder (H3)
// becomes a group holding what its DL list holds, every bookmark (A) a link. Separators, icons,
// dates and descriptions are left out and counted.
namespace BookmarkReader {

// True when the bytes look like such a file.
bool recognises(const QByteArray &bytes);
// Any fault throws VormikError naming `fileName`.
ImportResult read(const QByteArray &bytes, const QString &fileName);

} // namespace BookmarkReader
