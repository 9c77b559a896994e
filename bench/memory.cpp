// What Save and Open of a balanced tree leave in memory, against the tree's own size. Each runs
// in a fresh process, as a program's first command would. Exits with 1 when the heap in use after
// the command is more than 20 % over the tree's own size (the tree itself included).
// Usage: bench_memory save NODES | bench_memory open PROJECT NODES  (PROJECT from bench_make_project)
//
// Heap in use is glibc's count of allocated bytes (mallinfo2: uordblks plus mmapped blocks): what
// the program still holds. Resident is the process's resident memory (VmRSS), which also counts
// what glibc keeps of freed memory for later use: the programs never trim the heap (see README),
// so neither does this. Peak is the resident high-water mark during the command.
#include "BenchTrees.h"
#include "project/ProjectFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <malloc.h>

namespace {

constexpr double Margin = 1.2;

double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// A "Vm…:" figure of /proc/self/status, in bytes.
double statusFigure(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').value(0).toDouble() * 1024;
    }
    return 0;
}

// Starts the resident high-water mark afresh.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double mb(double bytes)
{
    return bytes / 1e6;
}

// The balanced tree of `nodes` nodes as the benchmarks make it: the heap in use for it alone.
double ownSize(const TreePlan &plan)
{
    const double before = heapInUse();
    const auto tree = plan.make();
    return heapInUse() - before;
}

bool report(const char *what, double inUse, double resident, double treeSize, double limit)
{
    const bool within = inUse <= limit * treeSize;
    std::printf("  %s: heap in use %+.1f MB (%.2f x the tree; at most %.2f), resident %+.1f MB (%.2f x), "
                "peak resident %.1f MB%s\n",
                what, mb(inUse), inUse / treeSize, limit, mb(resident), resident / treeSize, mb(statusFigure("VmHWM:")),
                within ? "" : "  OVER");
    return within;
}

bool saveFigures(int nodes)
{
    const TreePlan plan(TreeShape::Balanced, nodes);
    const double treeSize = ownSize(plan);
    const auto tree = plan.make();
    std::printf("Save of %d nodes (the tree's own size %.1f MB)\n", nodes, mb(treeSize));
    const QString path = QDir(benchFolder()).filePath(QStringLiteral("memory.xml"));
    const double inUse = heapInUse();
    const double resident = statusFigure("VmRSS:");
    resetPeak();
    ProjectFile::save(*tree, path);
    return report("after Save, beside the tree", heapInUse() - inUse, statusFigure("VmRSS:") - resident, treeSize,
                  Margin - 1);
}

bool openFigures(const QString &path, int nodes)
{
    const double inUse = heapInUse();
    const double resident = statusFigure("VmRSS:");
    resetPeak();
    auto tree = ProjectFile::open(path);
    const double opened = heapInUse() - inUse;
    const double openedResident = statusFigure("VmRSS:") - resident;
    tree.reset();
    const double left = heapInUse() - inUse;
    const double treeSize = ownSize(TreePlan(TreeShape::Balanced, nodes));
    std::printf("Open of %d nodes (the tree's own size %.1f MB; as Open makes it %.1f MB)\n", nodes, mb(treeSize),
                mb(opened - left));
    return report("after Open, the tree included", opened, openedResident, treeSize, Margin);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("save"))
        return saveFigures(args.at(2).toInt()) ? 0 : 1;
    if (args.size() == 4 && args.at(1) == QLatin1String("open"))
        return openFigures(args.at(2), args.at(3).toInt()) ? 0 : 1;
    std::fprintf(stderr, "usage: bench_memory save NODES | bench_memory open PROJECT NODES\n");
    return 2;
}
