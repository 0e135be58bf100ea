# Benchmarks of the engine area: rendering against JUCE's own sampler, and loading a long sample.
list(APPEND QM70_BENCH_SOURCES EngineBench.cpp)

# One main for the whole program, whichever area brings it first.
if(NOT "BenchMain.cpp" IN_LIST QM70_BENCH_SOURCES)
    list(APPEND QM70_BENCH_SOURCES BenchMain.cpp)
endif()
