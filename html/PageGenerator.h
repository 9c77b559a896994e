#pragma once

#include "html/PageTypes.h"

#include <QString>

class LinkTree;

// The export of a page in either format: it picks the page, builds it and writes its files.
namespace PageGenerator {

// The file-name suffix a save dialog proposes for a page of `format`, without the dot.
QString suggestedSuffix(PageFormat format);

// The page in settings.format: the classic page is CP932 with CR LF after every line, the HTML5
// page UTF-8 without a byte-order mark.
Page buildPage(const LinkTree &tree, const ExportSettings &settings);
Page buildPage(const LinkTree &tree, const ExportSettings &settings, PageParts &system);

// Writes the page's style and script files, when it has them, then the page to `fileName`, each at
// once: a failure throws VormikError and leaves any file already there as it was.
void writePageFiles(const QString &fileName, const Page &page);

// Builds the page and writes it to settings.outputFileName.
Page exportPage(const LinkTree &tree, const ExportSettings &settings);

} // namespace PageGenerator
