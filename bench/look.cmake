# Benchmarks of the editor's look: opening the window.
list(APPEND QM70_BENCH_SOURCES EditorOpenBench.cpp)

# One main for the whole program, whichever area brings it first.
if(NOT "BenchMain.cpp" IN_LIST QM70_BENCH_SOURCES)
    list(APPEND QM70_BENCH_SOURCES BenchMain.cpp)
endif()
