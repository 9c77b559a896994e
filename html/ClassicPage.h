#pragma once

#include "html/PageTypes.h"

#include <QString>

#include <vector>

class LinkNode;
class LinkTree;

// The classic XHTML page: Shift_JIS with CR LF after every line, tree lines drawn with box
// characters, groups folded by the template's script.
namespace ClassicPage {

// The tree-line characters in front of each node, taken in absolute order. Only the cells a row
// actually uses are kept (one per level above the node), so the work is linear in the page.
class TreeLines
{
public:
    // The prefix of `node`, which must follow the previous node in absolute order.
    QString prefixOf(const LinkNode &node);

private:
    // Column c holds "│" while the node's ancestor below level c still has siblings to come and
    // its parent is a group.
    QString m_continuation;
};

// Fills the whole record: class names, stylesheet, processed head and footer.
void buildPageHead(const LinkTree &tree, const ExportSettings &settings, PageParts &system);

// Every node's own markup. A group's heading links to its id among `groupIds`. A name that holds
// active content is written as text, and its node's index added to `textNodes`.
std::vector<QString> buildNodeMarkup(const LinkTree &tree, const ExportSettings &settings,
                                     const std::vector<QString> &groupIds, std::vector<int> *textNodes = nullptr);

// The whole page, with its group ids and its report. Fills `system`.
PageGenerator::Page build(const LinkTree &tree, const ExportSettings &settings, PageParts &system);

} // namespace ClassicPage
