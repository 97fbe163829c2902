#pragma once
// The main of a benchmark that runs parts of the game: the layers' upward
// links are connected first, as the game's start-up does.
#include <benchmark/benchmark.h>

#include "app/LayerLinks.h"

#define LAYERED_BENCHMARK_MAIN()                                                                                       \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        ConnectLayers();                                                                                               \
        ::benchmark::Initialize(&argc, argv);                                                                          \
        if (::benchmark::ReportUnrecognizedArguments(argc, argv))                                                      \
            return 1;                                                                                                  \
        ::benchmark::RunSpecifiedBenchmarks();                                                                         \
        ::benchmark::Shutdown();                                                                                       \
        return 0;                                                                                                      \
    }                                                                                                                  \
    static_assert(true, "")
