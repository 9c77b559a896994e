#include "BenchTrees.h"

#include <benchmark/benchmark.h>
