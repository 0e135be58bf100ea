# Test files of the state area: the pad model and translator, the state text, the play handler.
list(APPEND QM70_TEST_SOURCES StateTextTests.cpp TranslatorTests.cpp PlayHandlerTests.cpp)
list(APPEND QM70_CONCURRENCY_TEST_SOURCES StateConcurrencyTests.cpp)

# The fuzzer's seeds and crash reproducers, replayed through a real processor by the unit tests.
set_source_files_properties(StateTextTests.cpp PROPERTIES
    COMPILE_DEFINITIONS QM70_STATE_CORPUS="${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus")

# A libFuzzer target for the state reader. Needs clang and a build of its own, for example:
#   cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
#         -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM70_FORMATS=VST3 -DQM70_BUILD_FUZZER=ON
option(QM70_BUILD_FUZZER "Build the state text fuzzer (clang only)" OFF)
if(QM70_BUILD_FUZZER)
    add_subdirectory(fuzz)
endif()
