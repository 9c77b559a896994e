#pragma once

#include "import/ImportResult.h"

#include <QByteArray>
#include <QString>

// A page Vormik exported, classic or HTML5, read back into the tree it was made from: names,
// addresses, targets, classes and IDs of links, names and ids of groups. A classic page writes a
// name as markup, so its text is what comes back; a group mark every group shares is taken off.
namespace PageReader {

// Any fault throws VormikError naming `fileName`.
ImportResult read(const QByteArray &bytes, const QString &fileName);

} // namespace PageReader
