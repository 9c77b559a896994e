#include "html/PageGenerator.h"

#include "html/Html5Page.h"
#include "html/PageEncoder.h"

#include "text/Cp932Codec.h"
#include "text/SafeFileWrite.h"
#include "text/TextRules.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QDir>

namespace PageGenerator {

namespace {

QString fileError(const QString &fileName, const QString &reason)
{
    return QStringLiteral("ファイル %1 に書き込めません: %2").arg(QDir::toNativeSeparators(fileName), reason);
}

} // namespace

QString suggestedSuffix(PageFormat format)
{
    return format == PageFormat::Html5 ? QStringLiteral("html") : QStringLiteral("htm");
}

Page buildPage(const LinkTree &tree, const ExportSettings &settings)
{
    TSystemStruct system;
    return buildPage(tree, settings, system);
}

Page buildPage(const LinkTree &tree, const ExportSettings &settings, TSystemStruct &system)
{
    if (settings.format == PageFormat::Html5)
        return Html5Page::build(tree, settings, system);
    Page result;
    BuildPageHead(tree, settings, system);
    result.groupIds = NumberGroups(tree);
    checkIds(tree, result.groupIds, result.report);
    result.markup = BuildNodeMarkup(tree, settings, result.groupIds, &result.report.textNodes);
    system.HeadText += QStringLiteral("<div class=\"%1\">\r\n").arg(system.RootClassName);

    PageEncoder page(Cp932::encode, TextRules::LineEnd);
    page.addText(system.HeadText);
    writeNodeLines(tree, system, result, [&page](const QString &line) { page.addLine(line); });
    page.addLine(QStringLiteral("</div>"));
    page.addLine(QStringLiteral("<br />") + system.FooterText);
    page.addLine(QStringLiteral("</body>"));
    page.addLine(QStringLiteral("</html>"));
    result.bytes = page.finish();
    return result;
}

void writePage(const QString &fileName, const QByteArray &bytes)
{
    if (const auto failure = writeFileSafely(fileName, bytes))
        throw VormikError(fileError(fileName, failure->reason));
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
