// Writes a generated project file, for timing the reader against other tools on the same bytes.
// Usage: bench_make_project SHAPE NODES PATH   (SHAPE: balanced, flat or chain)
#include "BenchTrees.h"
#include "project/ProjectFile.h"
#include "text/VormikError.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: bench_make_project balanced|flat|chain NODES PATH\n");
        return 2;
    }
    TreeShape shape = TreeShape::Balanced;
    for (TreeShape s : {TreeShape::Balanced, TreeShape::Flat, TreeShape::Chain}) {
        if (args.at(1) == QLatin1String(shapeName(s)))
            shape = s;
    }
    try {
        ProjectFile::save(*makeTree(shape, args.at(2).toInt()), args.at(3));
    } catch (const VormikError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
