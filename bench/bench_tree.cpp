// The link tree and the window's editing paths: building, absolute-index lookups, filling the
// link list on a selection, and one keystroke in an editor.
#include "BenchTrees.h"
#include "BenchWindow.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeView>

#include <benchmark/benchmark.h>

namespace {

const std::vector<int64_t> Shapes{int(TreeShape::Balanced), int(TreeShape::Flat), int(TreeShape::Chain)};
const std::vector<int64_t> Sizes{1000, 10000, 100000};

// Selects the link in the tree afresh, which lists its siblings and loads the editors.
void selectAfresh(MainWindow &window, LinkNode *link)
{
    windowPart<QTreeView>(window, "TreeView1")->selectionModel()->clear();
    window.selectNode(link);
}

// The shapes of BenchTrees; a balanced tree too small for links is one group of links.
std::unique_ptr<LinkTree> shapedTree(TreeShape shape, int nodes)
{
    if (shape == TreeShape::Balanced && nodes < 100)
        return treeWithTopLevelLinks(nodes, 0);
    return makeTree(shape, nodes);
}

void typeKey(QWidget *editor, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(editor, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(editor, &release);
}

} // namespace

static void BM_BuildTree(benchmark::State &state)
{
    const auto shape = TreeShape(state.range(0));
    const int nodes = int(state.range(1));
    const TreePlan plan(shape, nodes);
    for (auto _ : state) {
        auto tree = plan.make();
        benchmark::DoNotOptimize(tree->count());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.SetLabel(shapeName(shape));
    state.SetItemsProcessed(state.iterations() * nodes);
}
BENCHMARK(BM_BuildTree)->ArgNames({"shape", "nodes"})->ArgsProduct({Shapes, Sizes})->Unit(benchmark::kMillisecond);

// Node at an index and index of a node, between changes of shape: constant time.
static void BM_AbsoluteIndexLookup(benchmark::State &state)
{
    const auto shape = TreeShape(state.range(0));
    const int nodes = int(state.range(1));
    auto tree = makeTree(shape, nodes);
    tree->nodes();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tree->absoluteIndex(tree->nodeAt(i)));
        i = (i + 7919) % nodes;
    }
    state.SetLabel(shapeName(shape));
}
BENCHMARK(BM_AbsoluteIndexLookup)->ArgNames({"shape", "nodes"})->ArgsProduct({Shapes, Sizes});

// The first lookup after a change of shape walks the tree once: linear.
static void BM_AbsoluteOrderAfterChange(benchmark::State &state)
{
    const auto shape = TreeShape(state.range(0));
    const int nodes = int(state.range(1));
    auto tree = makeTree(shape, nodes);
    LinkNode *first = tree->topLevel(0);
    for (auto _ : state) {
        state.PauseTiming();
        tree->remove(tree->appendLink(first->isGroup() ? first : nullptr, QString()));
        state.ResumeTiming();
        evictCaches(state);
        benchmark::DoNotOptimize(tree->absoluteIndex(tree->topLevel(0)));
    }
    state.SetLabel(shapeName(shape));
}
BENCHMARK(BM_AbsoluteOrderAfterChange)
    ->ArgNames({"shape", "nodes"})
    ->ArgsProduct({Shapes, Sizes})
    ->Unit(benchmark::kMicrosecond);

// Selecting a top-level link lists every top-level link: linear in the rows, whatever the tree.
static void BM_SelectTopLevelLink(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const int nodes = int(state.range(1));
    auto window = windowWith(treeWithTopLevelLinks(nodes, rows));
    LinkNode *link = window->treeModel().tree().topLevel(window->treeModel().tree().topLevelCount() - 1);
    auto *list = windowPart<QTreeView>(*window, "ListView1");
    for (auto _ : state) {
        selectAfresh(*window, link);
        benchmark::DoNotOptimize(list->model()->rowCount());
    }
    if (list->model()->rowCount() != rows)
        state.SkipWithError("the list does not show every top-level link");
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_SelectTopLevelLink)
    ->ArgNames({"rows", "nodes"})
    ->ArgsProduct({{1000, 10000, 50000}, {100000}})
    ->Unit(benchmark::kMillisecond);

// Selecting a nested link lists its few siblings: the size of the tree does not matter.
static void BM_SelectNestedLink(benchmark::State &state)
{
    const int nodes = int(state.range(0));
    auto window = windowWith(shapedTree(TreeShape::Balanced, nodes));
    LinkNode *link = lastLink(window->treeModel().tree());
    auto *list = windowPart<QTreeView>(*window, "ListView1");
    for (auto _ : state) {
        selectAfresh(*window, link);
        benchmark::DoNotOptimize(list->model()->rowCount());
    }
}
BENCHMARK(BM_SelectNestedLink)->ArgNames({"nodes"})->Args({10})->Args({10000})->Args({100000})->Unit(benchmark::kMicrosecond);

// One keystroke in an editor, with the selected link's row and node written through and the
// window repainted. Each iteration types a character and takes it back: two keystrokes.
static void BM_EditorKeystroke(benchmark::State &state)
{
    const auto shape = TreeShape(state.range(0));
    const int nodes = int(state.range(1));
    const bool linkText = state.range(2) == 0;
    auto window = windowWith(shapedTree(shape, nodes));
    LinkNode *link = lastLink(window->treeModel().tree());
    window->selectNode(link);
    QCoreApplication::processEvents();
    auto *editor = windowPart<QLineEdit>(*window, linkText ? "LinkTextEdit" : "HrefEdit");
    editor->setFocus();
    editor->end(false);
    auto written = [&] { return linkText ? link->text() : link->record().Href; };
    const QString before = written();
    typeKey(editor, Qt::Key_A, QStringLiteral("a"));
    if (written() != before + QLatin1Char('a'))
        state.SkipWithError("a keystroke did not reach the selected link");
    typeKey(editor, Qt::Key_Backspace, QString());
    for (auto _ : state) {
        typeKey(editor, Qt::Key_A, QStringLiteral("a"));
        typeKey(editor, Qt::Key_Backspace, QString());
        QCoreApplication::processEvents();
    }
    if (written() != before || window->selectedNode() != link)
        state.SkipWithError("the keystrokes did not reach the selected link");
    state.SetLabel(QStringLiteral("%1, %2").arg(shapeName(shape), linkText ? "link text" : "href").toStdString());
}
BENCHMARK(BM_EditorKeystroke)
    ->ArgNames({"shape", "nodes", "editor"})
    ->ArgsProduct({{int(TreeShape::Balanced), int(TreeShape::Flat)}, {10, 10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The same keystroke while the find field holds text, so that the count of matches follows
// every edit. Each iteration is two keystrokes.
static void BM_EditorKeystrokeWhileFinding(benchmark::State &state)
{
    auto window = windowWith(shapedTree(TreeShape::Balanced, int(state.range(0))));
    LinkNode *link = lastLink(window->treeModel().tree());
    windowPart<QLineEdit>(*window, "FindEdit")->setText(QStringLiteral("リンク 4"));
    window->selectNode(link);
    QCoreApplication::processEvents();
    auto *editor = windowPart<QLineEdit>(*window, "LinkTextEdit");
    editor->setFocus();
    editor->end(false);
    const QString before = link->text();
    for (auto _ : state) {
        typeKey(editor, Qt::Key_A, QStringLiteral("a"));
        typeKey(editor, Qt::Key_Backspace, QString());
        QCoreApplication::processEvents();
    }
    if (link->text() != before || window->selectedNode() != link)
        state.SkipWithError("the keystrokes did not reach the selected link");
}
BENCHMARK(BM_EditorKeystrokeWhileFinding)->ArgNames({"nodes"})->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
