# Benchmarks of the state area: writing and reading back a full state text.
list(APPEND QM70_BENCH_SOURCES StateTextBench.cpp)

# One main for the whole program, whichever area brings it first.
if(NOT "BenchMain.cpp" IN_LIST QM70_BENCH_SOURCES)
    list(APPEND QM70_BENCH_SOURCES BenchMain.cpp)
endif()
