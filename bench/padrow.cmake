# Benchmarks of the pad row area: one previous/next step in a large sample folder.
list(APPEND QM70_BENCH_SOURCES FolderSteppingBench.cpp)

# One main for the whole program, whichever area brings it first.
if(NOT "BenchMain.cpp" IN_LIST QM70_BENCH_SOURCES)
    list(APPEND QM70_BENCH_SOURCES BenchMain.cpp)
endif()
