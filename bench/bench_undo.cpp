// Undo and redo as the user reaches them in the window: a deleted group of many nodes coming
// back and going again, and such a group moved into the group above it and out again. Both
// must cost time linear in the nodes that move, and a keystroke the same whatever the size
// (BM_EditorKeystroke, where every keystroke is a step of the history too). The caches are
// emptied before every run, as for the whole-tree benchmarks, so that the ratio of the sizes
// shows how the work grows.
#include "BenchTrees.h"
#include "BenchWindow.h"

#include "app/editing/NodeSetCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QUndoStack>

#include <benchmark/benchmark.h>

// The group deleted once; each iteration undoes the delete and redoes it.
static void BM_UndoRedoDeleteGroup(benchmark::State &state)
{
    const int nodes = int(state.range(0));
    auto window = windowWith(groupOfNodes(nodes));
    const LinkTree &tree = window->treeModel().tree();
    const int whole = tree.count();
    window->selectNode(tree.topLevel(1));
    trigger(*window, "TVPop_Delete1");
    for (auto _ : state) {
        evictCaches(state);
        trigger(*window, "UndoAction1");
        trigger(*window, "RedoAction1");
    }
    trigger(*window, "UndoAction1");
    if (tree.count() != whole || LinkTree::subtreeSize(tree.topLevel(1)) != nodes)
        state.SkipWithError("the group did not come back whole");
    state.SetItemsProcessed(state.iterations() * nodes * 2);
}
BENCHMARK(BM_UndoRedoDeleteGroup)
    ->ArgNames({"nodes"})
    ->Args({1000})
    ->Args({10000})
    ->Args({100000})
    ->Unit(benchmark::kMillisecond);

// Each iteration moves the group into the group above it (Alt+Right) and out again (Alt+Left):
// every node's level changes twice. `undo` 1 undoes and redoes the move into the group instead.
static void BM_MoveGroup(benchmark::State &state)
{
    const int nodes = int(state.range(0));
    const bool undo = state.range(1) != 0;
    auto window = windowWith(groupOfNodes(nodes));
    const LinkTree &tree = window->treeModel().tree();
    LinkNode *group = tree.topLevel(1);
    window->selectNode(group);
    if (undo)
        trigger(*window, "IndentAction1");
    for (auto _ : state) {
        evictCaches(state);
        trigger(*window, undo ? "UndoAction1" : "IndentAction1");
        trigger(*window, undo ? "RedoAction1" : "OutdentAction1");
    }
    if (group->level() != (undo ? 1 : 0) || LinkTree::subtreeSize(group) != nodes || window->selectedNode() != group)
        state.SkipWithError("the group did not move back and forth");
    state.SetItemsProcessed(state.iterations() * nodes * 2);
    state.SetLabel(undo ? "undo and redo" : "right and left");
}
BENCHMARK(BM_MoveGroup)
    ->ArgNames({"nodes", "undo"})
    ->ArgsProduct({{1000, 10000, 50000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Every node selected and deleted as one step, then the step undone and redone, in the window's
// model: `phase` 0 times the delete, 1 the undo, 2 the redo. The topmost nodes are found from
// the whole selection, as the window hands it over: a few groups in the balanced tree, every
// node in the flat one, each taken out and put back on its own.
static void BM_DeleteAllNodes(benchmark::State &state)
{
    const int nodes = int(state.range(0));
    const int phase = int(state.range(1));
    const auto shape = TreeShape(state.range(2));
    auto window = windowWith(makeTree(shape, nodes));
    LinkTreeModel &model = window->treeModel();
    QUndoStack &stack = *window->findChild<QUndoStack *>();
    if (phase != 0)
        NodeSetCommands::remove(model, model.tree().nodes(), QStringLiteral("削除"));
    for (auto _ : state) {
        if (phase == 2) {
            state.PauseTiming();
            stack.undo();
            state.ResumeTiming();
        }
        evictCaches(state);
        if (phase == 0)
            NodeSetCommands::remove(model, model.tree().nodes(), QStringLiteral("削除"));
        else if (phase == 1)
            stack.undo();
        else
            stack.redo();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (phase == 0)
            stack.undo();
        else if (phase == 1)
            stack.redo();
        state.ResumeTiming();
    }
    if (phase != 0)
        stack.undo();
    if (model.tree().count() != nodes)
        state.SkipWithError("the tree did not come back whole");
    state.SetItemsProcessed(state.iterations() * nodes);
    static const char *const labels[] = {"delete", "undo", "redo"};
    state.SetLabel(QStringLiteral("%1, %2").arg(labels[phase], shapeName(shape)).toStdString());
}
BENCHMARK(BM_DeleteAllNodes)
    ->ArgNames({"nodes", "phase", "shape"})
    ->ArgsProduct({{10000, 100000}, {0, 1, 2}, {int(TreeShape::Balanced), int(TreeShape::Flat)}})
    ->Unit(benchmark::kMillisecond);
