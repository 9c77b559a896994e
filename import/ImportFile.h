#pragma once

#include "import/ImportResult.h"

#include <QByteArray>
#include <QString>

// Reading a file in whichever format it is: the one door the window and the programs import by.
namespace Import {

// Reads the file at `path` (held to the project file's size limit) in the format its content
// shows: a browser's bookmark file, OPML, JSON menu data, or a page Vormik exported. Any fault
// throws VormikError naming the file; nothing is returned then.
ImportResult readFile(const QString &path);
// As readFile, from bytes already read.
ImportResult read(const QByteArray &bytes, const QString &fileName);

} // namespace Import
