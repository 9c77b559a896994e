#include "html/ClassicPage.h"

#include "html/NodeMarkup.h"
#include "html/PageEncoder.h"

#include "text/Cp932Codec.h"
#include "text/TextRules.h"

namespace ClassicPage {

PageGenerator::Page build(const LinkTree &tree, const ExportSettings &settings, TSystemStruct &system)
{
    PageGenerator::Page result;
    BuildPageHead(tree, settings, system);
    result.groupIds = PageGenerator::NumberGroups(tree);
    PageGenerator::checkIds(tree, result.groupIds, result.report);
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

} // namespace ClassicPage
