// Find, import and the link check at the sizes a long-kept collection reaches.
#include "BenchTrees.h"
#include "LocalHttpServer.h"

#include "export/DataExport.h"
#include "find/FindIndex.h"
#include "import/ImportFile.h"
#include "linkcheck/LinkChecker.h"

#include <QEventLoop>

#include <benchmark/benchmark.h>

namespace {

// One keystroke in the find field: the text grows by a character, the index is already built.
void BM_FindKeystroke(benchmark::State &state)
{
    const auto tree = makeTree(TreeShape::Balanced, static_cast<int>(state.range(0)));
    const FindIndex index(*tree);
    index.matches(QStringLiteral("x")); // builds the index
    const QStringList typed{QStringLiteral("り"), QStringLiteral("リン"), QStringLiteral("ﾘﾝｸ 4"), QStringLiteral("page99")};
    int count = 0;
    for (auto _ : state) {
        for (const QString &text : typed)
            count += index.matches(text).count();
    }
    benchmark::DoNotOptimize(count);
    state.SetItemsProcessed(state.iterations() * typed.size());
}
BENCHMARK(BM_FindKeystroke)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The first keystroke after an edit: the index is built again, then searched.
void BM_FindAfterEdit(benchmark::State &state)
{
    const auto tree = makeTree(TreeShape::Balanced, static_cast<int>(state.range(0)));
    FindIndex index(*tree);
    for (auto _ : state) {
        index.invalidate();
        benchmark::DoNotOptimize(index.matches(QStringLiteral("リンク 4")).count());
    }
}
BENCHMARK(BM_FindAfterEdit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportBookmarks(benchmark::State &state)
{
    const auto tree = makeTree(TreeShape::Balanced, static_cast<int>(state.range(0)));
    const QByteArray file = DataExport::bookmarks(*tree);
    for (auto _ : state)
        benchmark::DoNotOptimize(Import::read(file, QStringLiteral("bookmarks.html")).links);
    state.counters["bytes"] = static_cast<double>(file.size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportBookmarks)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Every link a different address on one of eight local servers, so that the checker runs as many
// requests at once as it allows.
void BM_CheckLinks(benchmark::State &state)
{
    std::vector<std::unique_ptr<LocalHttpServer>> servers;
    for (int host = 1; host <= 8; ++host)
        servers.push_back(std::make_unique<LocalHttpServer>(QHostAddress(QStringLiteral("127.0.0.%1").arg(host))));
    LinkTree tree;
    for (int i = 0; i < state.range(0); ++i) {
        LinkNode *node = tree.appendLink(nullptr, QStringLiteral("link"));
        node->record().Href = servers[static_cast<size_t>(i) % servers.size()]->url(QStringLiteral("/ok?%1").arg(i));
    }
    for (auto _ : state) {
        LinkChecker checker;
        QEventLoop loop;
        QObject::connect(&checker, &LinkChecker::finished, &loop, &QEventLoop::quit);
        checker.start(tree, QString());
        loop.exec();
        if (checker.brokenCount() > 0)
            state.SkipWithError("a link of the local servers was broken");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CheckLinks)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
