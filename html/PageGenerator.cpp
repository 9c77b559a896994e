#include "html/PageGenerator.h"

#include "text/VormikError.h"
#include "tree/LinkTree.h"

namespace PageGenerator {

QByteArray buildPage(LinkTree &, const ExportSettings &)
{
    return {};
}

void exportPage(LinkTree &tree, const ExportSettings &settings)
{
    buildPage(tree, settings);
    throw VormikError(QStringLiteral("not built yet"));
}

} // namespace PageGenerator
