// Sorting a large group, replacing in every address and finding links to one page, as the user
// reaches them in the window: the tree view and the list follow each change.
#include "BenchTrees.h"
#include "BenchWindow.h"

#include "app/editing/TreeTools.h"
#include "treetools/SamePage.h"

#include <QAction>
#include <QCoreApplication>

#include <benchmark/benchmark.h>

// A group of `links` links, shown in the list, sorted descending then ascending each iteration;
// the rest of the tree's nodes are top-level links.
static void BM_SortGroup(benchmark::State &state)
{
    const int nodes = int(state.range(0));
    const int links = nodes / 2;
    auto window = windowWith(treeWithTopLevelLinks(nodes, nodes - links - 1));
    const LinkTree &tree = window->treeModel().tree();
    LinkNode *group = tree.topLevel(0);
    window->selectNode(group);
    for (auto _ : state) {
        evictCaches(state);
        trigger(*window, "mnSortDescending1");
        trigger(*window, "mnSortAscending1");
    }
    if (group->childCount() != links || group->child(0)->text() != QStringLiteral("内 1"))
        state.SkipWithError("the group was not sorted");
    state.SetItemsProcessed(state.iterations() * links * 2);
}
BENCHMARK(BM_SortGroup)->ArgNames({"nodes"})->Args({10000})->Args({100000})->Unit(benchmark::kMillisecond);

// Every address moves to a new site and back: two replaces of every link's address, each one step.
static void BM_ReplaceAddresses(benchmark::State &state)
{
    const int nodes = int(state.range(0));
    auto source = makeTree(TreeShape::Balanced, nodes);
    int links = 0;
    for (LinkNode *node : source->nodes()) {
        if (!node->isGroup()) {
            node->record().Href = QStringLiteral("http://old.example.jp/page%1.html").arg(links++);
        }
    }
    auto window = windowWith(std::move(source));
    LinkTreeModel &model = window->treeModel();
    for (auto _ : state) {
        evictCaches(state);
        if (TreeTools::replace(model, {NodeField::Href, "http://old.example.jp/", "https://new.example.jp/", false}) != links
            || TreeTools::replace(model, {NodeField::Href, "https://new.example.jp/", "http://old.example.jp/", false})
                   != links)
            state.SkipWithError("not every address was replaced");
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * links * 2);
}
BENCHMARK(BM_ReplaceAddresses)->ArgNames({"nodes"})->Args({10000})->Args({100000})->Unit(benchmark::kMillisecond);

// The sets of links to one page, where every page is named twice, once as a folder's index.html.
static void BM_DuplicateLinks(benchmark::State &state)
{
    const int nodes = int(state.range(0));
    auto tree = makeTree(TreeShape::Balanced, nodes);
    int links = 0;
    for (LinkNode *node : tree->nodes()) {
        if (!node->isGroup()) {
            const int page = links++ / 2;
            node->record().Href = page % 2 ? QStringLiteral("https://example.jp/dir%1/index.html#top").arg(page)
                                           : QStringLiteral("https://example.jp/dir%1/").arg(page);
        }
    }
    for (auto _ : state) {
        evictCaches(state);
        const auto sets = SamePage::duplicateLinks(*tree);
        if (int(sets.size()) != links / 2)
            state.SkipWithError("the sets are wrong");
        benchmark::DoNotOptimize(sets.data());
    }
    state.SetItemsProcessed(state.iterations() * links);
}
BENCHMARK(BM_DuplicateLinks)->ArgNames({"nodes"})->Args({10000})->Args({100000})->Unit(benchmark::kMillisecond);
