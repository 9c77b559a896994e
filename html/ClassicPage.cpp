#include "html/ClassicPage.h"

#include "html/PageEncoder.h"
#include "html/SharedMarkup.h"

#include "text/Cp932Codec.h"
#include "text/TextRules.h"

namespace ClassicPage {

PageGenerator::Page build(const LinkTree &tree, const ExportSettings &settings, PageParts &system)
{
    PageGenerator::Page result;
    buildPageHead(tree, settings, system);
    result.groupIds = PageGenerator::numberGroups(tree);
    PageGenerator::checkIds(tree, result.groupIds, result.report);
    result.markup = buildNodeMarkup(tree, settings, result.groupIds, &result.report.textNodes);
    system.headText += QStringLiteral("<div class=\"%1\">\r\n").arg(system.rootClassName);

    PageEncoder page(Cp932::encode, TextRules::LineEnd);
    page.addText(system.headText);
    writeNodeLines(tree, system, result, [&page](const QString &line) { page.addLine(line); });
    page.addLine(QStringLiteral("</div>"));
    page.addLine(QStringLiteral("<br />") + system.footerText);
    page.addLine(QStringLiteral("</body>"));
    page.addLine(QStringLiteral("</html>"));
    result.bytes = page.finish();
    return result;
}

} // namespace ClassicPage
