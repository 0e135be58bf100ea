list(APPEND QM70_TEST_SOURCES ProcessorTests.cpp LogTests.cpp)
