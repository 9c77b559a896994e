#include "app/ExportWriter.h"

#include "app/Prompts.h"
#include "html/ExportReport.h"
#include "text/SafeFileWrite.h"
#include "text/VormikError.h"

namespace ExportWriter {

void write(const LinkTree &tree, const ExportChoice &choice, Prompts &prompts, QWidget *owner, TSystemStruct &system,
           std::vector<QString> &groupIds)
{
    const QString &path = choice.settings.outputFileName;
    if (choice.dataFormat) {
        const QString site = DataExport::usesSiteAddress(*choice.dataFormat) ? choice.siteAddress.trimmed() : QString();
        if (!site.isEmpty() && !DataExport::isSiteAddress(site))
            throw VormikError(
                QStringLiteral("サイトのアドレス「%1」は https://example.org/ のような絶対アドレスではありません").arg(site));
        if (const auto failure = writeFileSafely(path, DataExport::write(tree, *choice.dataFormat, site)))
            throw VormikError(QStringLiteral("ファイル %1 に書き込めません: %2").arg(path, failure->reason));
        prompts.information(owner, ExportReport::dataSuccessMessage(tree, *choice.dataFormat, site));
        return;
    }
    PageGenerator::Page page = PageGenerator::buildPage(tree, choice.settings, system);
    groupIds = std::move(page.groupIds);
    PageGenerator::writePageFiles(path, page);
    prompts.information(owner, ExportReport::successMessage(tree, page.report));
}

} // namespace ExportWriter
