// Counts the work of every whole-tree operation: run under
//   valgrind --tool=callgrind --collect-atstart=no
// it has valgrind count the instructions of each operation alone, once, on a tree of NODES nodes,
// and write them as one dump per operation named after it (bench/report.py reads them). The
// count does not depend on the processor's caches or on what else the machine runs, so the ratio
// of two sizes shows how the work grows. Outside valgrind it just runs the operations.
// Usage: bench_work NODES
#include "BenchTrees.h"
#include "BenchWindow.h"

#include "html/PageGenerator.h"
#include "project/ProjectFile.h"
#include "tree/UsedValues.h"
#include "app/panes/PopupPanel.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTreeView>

#include <valgrind/callgrind.h>

#include <cstdio>

namespace {

// Counts what `operation` does, and only that, as the dump `name`.
template<typename Operation>
void counted(const char *name, Operation &&operation)
{
    CALLGRIND_TOGGLE_COLLECT;
    operation();
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(name);
}

void countCore(int nodes)
{
    const TreePlan plan(TreeShape::Balanced, nodes);
    std::unique_ptr<LinkTree> tree;
    counted("build tree", [&] { tree = plan.make(); });
    LinkNode *first = tree->topLevel(0);
    tree->remove(tree->appendLink(first, QString()));
    counted("absolute order after a change", [&] { tree->nodes(); });
    QByteArray saved;
    counted("save", [&] { saved = ProjectFile::write(*tree); });
    counted("open", [&] { ProjectFile::read(saved, QStringLiteral("work.xml")); });
    ExportSettings settings;
    settings.outputFileName = QStringLiteral("menu.htm");
    settings.groupMark = QStringLiteral("□");
    counted("export, classic page", [&] { PageGenerator::buildPage(*tree, settings); });
    settings.format = PageFormat::Html5;
    counted("export, HTML5 page", [&] { PageGenerator::buildPage(*tree, settings); });
    counted("ID check", [&] { UsedValues::idInUse(*tree, QStringLiteral("NoSuchId"), nullptr); });
    giveDistinctClasses(*tree);
    counted("class list, every class distinct", [&] { UsedValues::classes(*tree); });
}

void countWindow(int nodes)
{
    {
        auto window = windowWith(treeWithTopLevelLinks(nodes, nodes / 2));
        const LinkTree &tree = window->treeModel().tree();
        LinkNode *link = tree.topLevel(tree.topLevelCount() - 1);
        counted("link list of the top level", [&] { window->selectNode(link); });
    }
    {
        auto tree = makeTree(TreeShape::Balanced, nodes);
        giveDistinctClasses(*tree);
        auto window = windowWith(std::move(tree));
        // The button serves the selected link only.
        window->selectNode(lastLink(window->treeModel().tree()));
        auto *picker = windowPart<PopupPanel>(*window, "PopupPanel1");
        counted("class picker", [&] { windowPart<QPushButton>(*window, "UsedClassBtn")->click(); });
        picker->closePopup(nullptr);
    }
    {
        // Every node selected in the tree, as Ctrl+A selects them, deleted as one step.
        auto window = windowWith(makeTree(TreeShape::Balanced, nodes));
        windowPart<QTreeView>(*window, "TreeView1")->selectAll();
        counted("delete every selected node", [&] { trigger(*window, "TVPop_Delete1"); });
        counted("undo and redo deleting every node", [&] {
            trigger(*window, "UndoAction1");
            trigger(*window, "RedoAction1");
        });
    }
    auto window = windowWith(groupOfNodes(nodes));
    window->selectNode(window->treeModel().tree().topLevel(1));
    counted("move a group in and out", [&] {
        trigger(*window, "IndentAction1");
        trigger(*window, "OutdentAction1");
    });
    trigger(*window, "TVPop_Delete1");
    counted("undo and redo a group's delete", [&] {
        trigger(*window, "UndoAction1");
        trigger(*window, "RedoAction1");
    });
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int nodes = argc == 2 ? QByteArray(argv[1]).toInt() : 0;
    if (nodes < 100) {
        std::fprintf(stderr, "usage: bench_work NODES (at least 100)\n");
        return 2;
    }
    countCore(nodes);
    countWindow(nodes);
    return 0;
}
