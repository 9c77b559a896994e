#pragma once

#include "html/ExportChoice.h"

#include <QString>

#include <vector>

class LinkTree;
class Prompts;
class QWidget;

namespace ExportWriter {

// Writes the tree to choice.settings.outputFileName as the choice says (a page, or the tree as
// data) and tells the user it went well, as every export does; a file that cannot be written
// throws VormikError. `groupIds` receives the ids a page gave the tree's groups, in absolute order
// (none for data), as soon as they are made: they hold even when the file cannot be written.
void write(const LinkTree &tree, const ExportChoice &choice, Prompts &prompts, QWidget *owner, TSystemStruct &system,
           std::vector<QString> &groupIds);

} // namespace ExportWriter
