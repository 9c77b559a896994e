#include "html/PageGenerator.h"

#include "html/ClassicPage.h"
#include "html/Html5Page.h"

#include "files/SafeFileWrite.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QDir>

namespace PageGenerator {

namespace {

// Writes the bytes at once; a failure throws VormikError and leaves any file already there as it
// was.
void writePage(const QString &fileName, const QByteArray &bytes)
{
    if (const auto failure = writeFileSafely(fileName, bytes))
        throw VormikError(QStringLiteral("ファイル %1 に書き込めません: %2")
                              .arg(QDir::toNativeSeparators(fileName), *failure));
}

} // namespace

QString suggestedSuffix(PageFormat format)
{
    return format == PageFormat::Html5 ? QStringLiteral("html") : QStringLiteral("htm");
}

Page buildPage(const LinkTree &tree, const ExportSettings &settings)
{
    PageParts system;
    return buildPage(tree, settings, system);
}

Page buildPage(const LinkTree &tree, const ExportSettings &settings, PageParts &system)
{
    if (settings.format == PageFormat::Html5)
        return Html5Page::build(tree, settings, system);
    return ClassicPage::build(tree, settings, system);
}

void writePageFiles(const QString &fileName, const Page &page)
{
    // The page's style and script first, so the page never names a file not yet there.
    for (const auto &[path, bytes] : page.report.companionFiles)
        writePage(path, bytes);
    writePage(fileName, page.bytes);
}

Page exportPage(const LinkTree &tree, const ExportSettings &settings)
{
    Page page = buildPage(tree, settings);
    writePageFiles(settings.outputFileName, page);
    return page;
}

} // namespace PageGenerator
