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

QByteArray buildPage(LinkTree &tree, const ExportSettings &settings)
{
    TSystemStruct system;
    return buildPage(tree, settings, system);
}

QByteArray buildPage(LinkTree &tree, const ExportSettings &settings, TSystemStruct &system)
{
    if (settings.Format == PageFormat::Html5)
        return Html5Page::build(tree, settings, system);
    BuildPageHead(tree, settings, system);
    NumberGroups(tree, tree.deepestLevel());
    BuildNodeMarkup(tree, settings);
    system.HeadText += QStringLiteral("<div class=\"%1\">\r\n").arg(system.RootClassName);

    PageEncoder page(Cp932::encode, TextRules::LineEnd);
    page.addText(system.HeadText);
    writeNodeLines(tree, system, [&page](const QString &line) { page.addLine(line); });
    page.addLine(QStringLiteral("</div>"));
    page.addLine(QStringLiteral("<br />") + system.FooterText);
    page.addLine(QStringLiteral("</body>"));
    page.addLine(QStringLiteral("</html>"));
    return page.finish();
}

void exportPage(LinkTree &tree, const ExportSettings &settings)
{
    TSystemStruct system;
    exportPage(tree, settings, system);
}

void exportPage(LinkTree &tree, const ExportSettings &settings, TSystemStruct &system)
{
    const QByteArray page = buildPage(tree, settings, system);
    // The page's style and script first, so the page never names a file not yet there.
    for (const auto &[path, bytes] : system.report.companionFiles) {
        if (const auto failure = writeFileSafely(path, bytes))
            throw VormikError(fileError(path, failure->reason));
    }
    if (const auto failure = writeFileSafely(settings.OutputFileName, page))
        throw VormikError(fileError(settings.OutputFileName, failure->reason));
}

} // namespace PageGenerator
