#include "BenchTrees.h"

#include "html/PageGenerator.h"


#include <benchmark/benchmark.h>

#include <string>

// The whole export, page built and written, for each tree shape. The work follows the size of the
// page, which is the size of the tree for the balanced and flat shapes; in the chain each line
// carries one tree-line character per level, so there the page itself grows faster than the tree.
// Complexity is fitted against the page's bytes.
static void BM_ExportPage(benchmark::State &state, PageFormat format)
{
    const auto shape = static_cast<TreeShape>(state.range(0));
    const auto tree = makeTree(shape, static_cast<int>(state.range(1)));
    ExportSettings settings;
    settings.format = format;
    settings.outputFileName = benchFolder() + QStringLiteral("/menu.htm");
    settings.groupMark = QStringLiteral("□");
    settings.fontName = QStringLiteral("ＭＳ ゴシック");
    const qint64 pageBytes = PageGenerator::buildPage(*tree, settings).bytes.size();
    for (auto _ : state) {
        evictCaches(state);
        PageGenerator::exportPage(*tree, settings);
    }
    state.SetLabel(shapeName(shape));
    state.SetBytesProcessed(state.iterations() * pageBytes);
    state.counters["nodes"] = static_cast<double>(state.range(1));
    state.counters["pageMB"] = static_cast<double>(pageBytes) / 1e6;
    state.SetComplexityN(pageBytes);
}

// The page alone, without the disk: the generator's own share of the export.
static void BM_BuildPage(benchmark::State &state)
{
    const auto shape = static_cast<TreeShape>(state.range(0));
    const auto tree = makeTree(shape, static_cast<int>(state.range(1)));
    ExportSettings settings;
    settings.outputFileName = QStringLiteral("/srv/www/menu.htm");
    settings.groupMark = QStringLiteral("□");
    qint64 pageBytes = 0;
    for (auto _ : state) {
        evictCaches(state);
        pageBytes = PageGenerator::buildPage(*tree, settings).bytes.size();
    }
    state.SetLabel(shapeName(shape));
    state.SetBytesProcessed(state.iterations() * pageBytes);
    state.SetComplexityN(pageBytes);
}

static void pageSizes(benchmark::internal::Benchmark *bench, TreeShape shape)
{
    for (const int nodes : {1000, 10000, 100000})
        bench->Args({static_cast<int>(shape), nodes});
    bench->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

// Every shape as the classic page and, beside it, as the HTML5 page.
static const bool exportBenchmarks = [] {
    for (const TreeShape shape : {TreeShape::Balanced, TreeShape::Flat, TreeShape::Chain}) {
        const std::string name = shapeName(shape);
        pageSizes(benchmark::RegisterBenchmark(("ExportPage/" + name).c_str(), BM_ExportPage, PageFormat::Classic), shape);
        pageSizes(benchmark::RegisterBenchmark(("ExportPage/html5/" + name).c_str(), BM_ExportPage, PageFormat::Html5),
                  shape);
    }
    return true;
}();

BENCHMARK(BM_BuildPage)->Name("BuildPage/balanced")->Apply([](auto *b) { pageSizes(b, TreeShape::Balanced); });
