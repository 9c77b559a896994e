#pragma once

#include "html/PageReport.h"

#include <QString>

#include <vector>

class LinkNode;
class LinkTree;

// The pieces of node markup and group ids both pages share.
namespace PageGenerator {

// The id "group-LEVEL-N" of every group (PREFIX-LEVEL-N with another prefix), numbered per level
// across the tree; empty for a link.
std::vector<QString> numberGroups(const LinkTree &tree, const QString &prefix = QStringLiteral("group-"));

// Fills the report's lists of links whose id does not work as written on a page whose groups
// take `groupIds`.
void checkIds(const LinkTree &tree, const std::vector<QString> &groupIds, PageReport &report);

// Appends ` NAME="VALUE"` to `markup`, the value already escaped. Appended piece by piece: this
// runs for every field of every link, and arg() would parse a pattern each time.
void appendAttribute(QString &markup, const char *name, const QString &escapedValue);

// The attributes of a link's anchor: one for each field the page shows, in the table's order, none
// for an empty field. `escaped` makes a value attribute text. With `targetNeedsAddress`, a link
// without an address gets no target either. `address`, when given, rewrites the address before it
// is escaped.
QString linkAttributes(const LinkNode &link, QString (*escaped)(const QString &), bool targetNeedsAddress = false,
                       QString (*address)(const QString &) = nullptr);

} // namespace PageGenerator
