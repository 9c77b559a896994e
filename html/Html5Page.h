#pragma once

#include "html/PageTypes.h"

#include <QString>
#include <QStringList>

#include <vector>

class LinkNode;
class LinkTree;

// The HTML5 page: UTF-8, a <nav> of nested lists in absolute order, groups as <details> that
// fold without a script, tree lines drawn by the style sheet.
namespace Html5Page {

// Sets system.styleSheet to the style element, or with separate files to the link to the style
// file; records the files to write or the policy hashes in `report`; returns the script element.
// Throws VormikError when a file would take the page's own name.
QString placeStyleAndScript(const QString &indexPrefix, const ExportSettings &settings, PageParts &system,
                            PageReport &report);

// The style sheet and the script a page with separate files keeps beside it, in the order they are
// written; none when they stand in the page.
QStringList companionPaths(const ExportSettings &settings);

// The start of every group's id, which no link's id in the tree starts with.
QString groupIdPrefix(const LinkTree &tree);

// The start of every id of the page index, which neither a link's id nor a group's starts with.
QString pageIndexPrefix(const LinkTree &tree);

// The page index, an id for each link's item, so that the script finds the links to the page
// being shown without walking the menu: PREFIX and the decoded last segment of the link's path
// ("NAME/" for a folder), with "#2", "#3" ... for the second and later links to such a page;
// PREFIX and "?" (numbered alike) for links only the browser can place. Empty for a group, a
// link without an address, and a link to a fragment of the page.
std::vector<QString> pageIndexIds(const LinkTree &tree, const QString &prefix);

// A node's name as the page shows it: its text, or for a node without one (spaces alone count as
// none), a link's address or 「（名前なし）」.
QString shownName(const LinkNode &node);

// The absolute indexes of the nodes without a name, in order.
std::vector<int> unnamedNodes(const LinkTree &tree);

// The whole page, UTF-8 without a byte-order mark, with its group ids (which no link's id equals)
// and its report. Fills `system` as the classic page does.
PageGenerator::Page build(const LinkTree &tree, const ExportSettings &settings, PageParts &system);

} // namespace Html5Page
