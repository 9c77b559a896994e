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
        if (const auto failure = writeFileSafely(path, DataExport::write(tree, *choice.dataFormat)))
            throw VormikError(QStringLiteral("ファイル %1 に書き込めません: %2").arg(path, failure->reason));
        prompts.information(owner, QStringLiteral("正常に出力しました"));
        return;
    }
    PageGenerator::Page page = PageGenerator::buildPage(tree, choice.settings, system);
    groupIds = std::move(page.groupIds);
    PageGenerator::writePageFiles(path, page);
    prompts.information(owner, ExportReport::successMessage(tree, page.report));
}

} // namespace ExportWriter
