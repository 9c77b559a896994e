// Runs the benchmarks inside a QApplication, since some of them drive the main window.

#include <QApplication>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#ifdef VORMIK_HAS_PREVIEW
#include "app/preview/PreviewScheme.h"
#endif

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Freed memory stays with the process, so every size of a benchmark reuses the memory of its
    // previous run; otherwise only the large trees would pay the kernel for fresh pages each time.
    // The heap is never trimmed (a finite threshold is soon passed: the chain's Open alone
    // leaves about a gigabyte free at the top of the heap), and blocks of every size come from
    // it: glibc maps one over 32 MB afresh each time, and the chain's 100,000-node outline alone
    // is 120 MB.
    mallopt(M_TRIM_THRESHOLD, -1);
    mallopt(M_MMAP_MAX, 0);
#ifdef VORMIK_HAS_PREVIEW
    // The preview's engine: its scheme before the application, and no sandbox as root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    PreviewScheme::registerScheme();
#endif
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
