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

// Every node's own markup, in absolute order: a link's <a> element, a group's heading.
std::vector<QString> buildNodeMarkup(const LinkTree &tree, const ExportSettings &settings);

// The whole page, UTF-8 without a byte-order mark. Fills `system` as the classic page does.
PageGenerator::Page build(const LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

} // namespace Html5Page
