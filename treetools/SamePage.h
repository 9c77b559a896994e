#pragma once

#include <QString>

#include <vector>

class LinkNode;
class LinkTree;

// When two links lead to the same page, by the rules the HTML5 page marks its current page by.
namespace SamePage {

// `address` reduced to the page it names: as a browser writes it, without fragment and query,
// scheme and host in lower case, percent-encoding in one form (unreserved characters decoded,
// the rest in upper case), a folder's index.html or index.htm as the folder. Empty for none.
QString pageKey(const QString &address);

// The links of `tree` that share a page with another, in sets of two or more; each set in
// absolute order, the sets in the order of their first link.
std::vector<std::vector<LinkNode *>> duplicateLinks(const LinkTree &tree);

// The links of `incoming` whose page some link of `tree` already names, in absolute order.
// Links holding nodes are not counted: they come in for their children.
std::vector<LinkNode *> linksAlreadyIn(const LinkTree &tree, const LinkTree &incoming);

} // namespace SamePage
