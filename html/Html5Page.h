#pragma once

#include "html/PageGenerator.h"

// The HTML5 page: UTF-8, a <nav> of nested lists in absolute order, groups as <details> that
// fold without a script, tree lines drawn by the style sheet.
namespace Html5Page {

// A CSS string literal, quotes included, that reads back as `text`; it cannot end the style
// element it stands in.
QString cssString(const QString &text);

// The default style element for the menu `.rootClass`: tree lines and indentation, and the font
// when one is named.
QString styleSheet(const QString &rootClass, const QString &fontName);

// The script that marks the link to the page being shown, without the element around it.
QString scriptText();

// The start of every group's id, which no link's id in the tree starts with.
QString groupIdPrefix(const LinkTree &tree);

// A node's name as the page shows it: its text, or for a node without one (spaces alone count as
// none), a link's address or 「（名前なし）」.
bool hasName(const LinkNode &node);
QString shownName(const LinkNode &node);

// Writes every node's own markup into its HtmlText: a link's <a> element, a group's heading.
void buildNodeMarkup(LinkTree &tree, const ExportSettings &settings);

// The absolute indexes of the nodes without a name, in order.
std::vector<int> unnamedNodes(const LinkTree &tree);

// The whole page, UTF-8 without a byte-order mark. Fills `system` as the classic page does.
QByteArray build(LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

} // namespace Html5Page
