// The preview pane with the real engine over balanced trees: how long a change takes to show, what
// a keystroke in an editor costs while the pane is open, and the part of an update done on the
// window's thread (the tree's copy, or its refresh after a rename), the longest a keystroke can wait for it.
#include "BenchTrees.h"
#include "BenchWindow.h"
#include "app/preview/PreviewBuild.h"
#include "app/preview/PreviewPane.h"
#include "app/preview/PreviewScheme.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

void typeKey(QWidget *editor, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(editor, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(editor, &release);
}

// Runs `action`, then waits until the pane has shown a page; false when none came within a minute.
template<typename Action>
bool shownAfter(PreviewPane *pane, Action action)
{
    QEventLoop loop;
    bool shown = false;
    QObject::connect(pane, &PreviewPane::pageShown, &loop, [&] {
        shown = true;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    action();
    if (!shown)
        loop.exec();
    return shown;
}

// A window of `nodes` nodes with the pane open and its first page shown, the last link selected.
struct PreviewWindow
{
    explicit PreviewWindow(int nodes) : window(windowWith(makeTree(TreeShape::Balanced, nodes)))
    {
        link = lastLink(window->treeModel().tree());
        window->selectNode(link);
        pane = window->findChild<PreviewPane *>();
        ok = shownAfter(pane, [this] { window->findChild<QAction *>(QStringLiteral("mnPreview1"))->setChecked(true); });
        editor = windowPart<QLineEdit>(*window, "LinkTextEdit");
        editor->setFocus();
        editor->end(false);
    }
    std::unique_ptr<MainWindow> window;
    LinkNode *link;
    PreviewPane *pane;
    QLineEdit *editor;
    bool ok;
};

} // namespace

// From a keystroke in the link's name until the page showing it is loaded and restored, the
// pane's wait for the typing to settle included.
static void BM_PreviewUpdate(benchmark::State &state)
{
    PreviewWindow preview(int(state.range(0)));
    if (!preview.ok)
        state.SkipWithError("the first page did not show");
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (!shownAfter(preview.pane, [&] { typeKey(preview.editor, Qt::Key_A, QStringLiteral("a")); }))
            state.SkipWithError("the page did not follow");
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_PreviewUpdate)->ArgName("nodes")->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// One keystroke in an editor while the pane is open (typed and taken back: two keystrokes).
static void BM_PreviewKeystroke(benchmark::State &state)
{
    PreviewWindow preview(int(state.range(0)));
    if (!preview.ok)
        state.SkipWithError("the first page did not show");
    for (auto _ : state) {
        typeKey(preview.editor, Qt::Key_A, QStringLiteral("a"));
        typeKey(preview.editor, Qt::Key_Backspace, QString());
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_PreviewKeystroke)->ArgName("nodes")->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The copy of the tree an update makes on the window's thread before the page is built elsewhere.
static void BM_PreviewCopy(benchmark::State &state)
{
    const auto tree = makeTree(TreeShape::Balanced, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PreviewBuild::copyOf(*tree));
}
BENCHMARK(BM_PreviewCopy)->ArgName("nodes")->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same after a rename, the copy's shape unchanged: what an update of a name costs the window's thread.
static void BM_PreviewRefresh(benchmark::State &state)
{
    const auto tree = makeTree(TreeShape::Balanced, int(state.range(0)));
    const auto copy = PreviewBuild::copyOf(*tree);
    const std::vector<const LinkNode *> copied(tree->nodes().begin(), tree->nodes().end());
    LinkNode *link = lastLink(*tree);
    int n = 0;
    for (auto _ : state) {
        tree->setText(link, QString::number(++n));
        if (!PreviewBuild::refresh(*copy, copied, *tree))
            state.SkipWithError("the shape changed");
    }
}
BENCHMARK(BM_PreviewRefresh)->ArgName("nodes")->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The page built from the copy, away from the window's thread.
static void BM_PreviewPage(benchmark::State &state)
{
    const auto tree = makeTree(TreeShape::Balanced, int(state.range(0)));
    const ExportSettings settings = PreviewBuild::settingsFor(std::nullopt);
    for (auto _ : state)
        benchmark::DoNotOptimize(PreviewBuild::build(*tree, settings));
}
BENCHMARK(BM_PreviewPage)->ArgName("nodes")->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
