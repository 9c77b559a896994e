// Save and Open of whole project files, and xmllint's bare parse of the same file for scale.
#include "BenchTrees.h"
#include "project/ProjectFile.h"
#include "text/VormikError.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

namespace {

QString projectPath(TreeShape shape, int nodes)
{
    return QDir(benchFolder()).filePath(QStringLiteral("%1-%2.xml").arg(QLatin1String(shapeName(shape))).arg(nodes));
}

// Saves the shape's tree once and returns the file's path; empty when it cannot be saved.
QString savedProject(TreeShape shape, int nodes)
{
    const QString path = projectPath(shape, nodes);
    if (!QFileInfo::exists(path))
        ProjectFile::save(*makeTree(shape, nodes), path);
    return path;
}

void saveProject(benchmark::State &state, TreeShape shape, int nodes)
{
    const auto tree = makeTree(shape, nodes);
    const QString path = projectPath(shape, nodes);
    ProjectFile::save(*tree, path); // warm-up: a single timed run of a large tree is mostly first-touch cost
    for (auto _ : state) {
        evictCaches(state);
        ProjectFile::save(*tree, path);
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    state.SetItemsProcessed(state.iterations() * nodes);
}

void openProject(benchmark::State &state, TreeShape shape, int nodes)
{
    const QString path = savedProject(shape, nodes);
    try {
        ProjectFile::open(path); // warm-up, as for Save
        for (auto _ : state) {
            evictCaches(state);
            auto tree = ProjectFile::open(path);
            benchmark::DoNotOptimize(tree->count());
        }
    } catch (const VormikError &error) {
        state.SkipWithError(error.what());
        return;
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    state.SetItemsProcessed(state.iterations() * nodes);
}

// What a bare well-formedness check of the same file costs, start-up included.
void xmllintProject(benchmark::State &state, TreeShape shape, int nodes)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty()) {
        state.SkipWithError("xmllint is not installed");
        return;
    }
    const QString path = savedProject(shape, nodes);
    for (auto _ : state) {
        QProcess process;
        process.start(xmllint, {QStringLiteral("--noout"), path});
        if (!process.waitForFinished(-1) || process.exitCode() != 0) {
            state.SkipWithError("xmllint failed");
            return;
        }
    }
}

const int Sizes[] = {1000, 10000, 100000};

[[maybe_unused]] const bool registered = [] {
    for (TreeShape shape : {TreeShape::Balanced, TreeShape::Flat, TreeShape::Chain}) {
        for (int nodes : Sizes) {
            const std::string suffix = std::string("/") + shapeName(shape) + "/" + std::to_string(nodes);
            benchmark::RegisterBenchmark(("ProjectSave" + suffix).c_str(), saveProject, shape, nodes)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(("ProjectOpen" + suffix).c_str(), openProject, shape, nodes)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    for (int nodes : Sizes) {
        benchmark::RegisterBenchmark(("XmllintNoout/balanced/" + std::to_string(nodes)).c_str(), xmllintProject,
                                     TreeShape::Balanced, nodes)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

} // namespace
