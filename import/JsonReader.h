#pragma once

#include "import/ImportResult.h"

#include <QByteArray>
#include <QString>

// Vormik's JSON menu data: an array of nodes {"name", "href", "target", "class", "id"}; a node
// with "children" and no address is a group, one with both a link holding nodes.
namespace JsonReader {

bool recognises(const QByteArray &bytes);
// Any fault throws VormikError naming `fileName`.
ImportResult read(const QByteArray &bytes, const QString &fileName);

} // namespace JsonReader
