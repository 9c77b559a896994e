// The ID check and the class picker walk the whole tree; the class list must stay linear even
// when every class differs.
#include "TreeEdits.h"
#include "BenchTrees.h"
#include "BenchWindow.h"

#include "app/panes/PopupPanel.h"
#include "tree/UsedValues.h"
#include "app/editing/LinkTreeModel.h"

#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {

void BM_IdCheckWalk(benchmark::State &state)
{
    const auto tree = makeTree(static_cast<TreeShape>(state.range(0)), static_cast<int>(state.range(1)));
    const QString absent = QStringLiteral("NoSuchId");
    for (auto _ : state) {
        evictCaches(state);
        benchmark::DoNotOptimize(UsedValues::idInUse(*tree, absent, nullptr));
    }
}

void BM_ClassList(benchmark::State &state)
{
    const auto tree = makeTree(static_cast<TreeShape>(state.range(0)), static_cast<int>(state.range(1)));
    if (state.range(2))
        giveDistinctClasses(*tree);
    for (auto _ : state) {
        evictCaches(state);
        QStringList found = UsedValues::classes(*tree);
        benchmark::DoNotOptimize(found);
        // Letting go of the list is the caller's cost, not the walk's; the button's benchmark
        // below counts it.
        state.PauseTiming();
        found = {};
        state.ResumeTiming();
    }
}

// The whole button: the list filled with every class and the picker popped up, then closed.
void BM_UsedClassBtnClick(benchmark::State &state)
{
    MainWindow window;
    auto tree = makeTree(TreeShape::Balanced, static_cast<int>(state.range(0)));
    giveDistinctClasses(*tree);
    TreeEdits::replaceTree(window.treeModel(), std::move(tree));
    // The button serves the selected link only.
    window.selectNode(lastLink(window.treeModel().tree()));
    auto *button = windowPart<QPushButton>(window, "UsedClassBtn");
    auto *picker = windowPart<PopupPanel>(window, "PopupPanel1");
    if (!button->isEnabled())
        state.SkipWithError("no link is selected, so the button does nothing");
    for (auto _ : state) {
        evictCaches(state);
        button->click();
        picker->closePopup(nullptr);
    }
}

void shapesAndSizes(benchmark::internal::Benchmark *bench, bool withDistinct)
{
    for (int shape : {0, 1, 2})
        for (int nodes : {10000, 100000}) {
            if (withDistinct) {
                bench->Args({shape, nodes, 0});
                bench->Args({shape, nodes, 1});
            } else {
                bench->Args({shape, nodes});
            }
        }
}

} // namespace

BENCHMARK(BM_IdCheckWalk)->Apply([](auto *b) { shapesAndSizes(b, false); })->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClassList)->Apply([](auto *b) { shapesAndSizes(b, true); })->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UsedClassBtnClick)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
