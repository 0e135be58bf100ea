# Test files of the pad row area: the row's widgets and callbacks, folder stepping, the browse
# dialog (which skips without a display), and row updates arriving from other threads.
list(APPEND QM70_TEST_SOURCES PadRowTests.cpp FolderSteppingTests.cpp BrowseDialogTests.cpp)
list(APPEND QM70_CONCURRENCY_TEST_SOURCES PadRowThreadTests.cpp)
list(APPEND QM70_TEST_SOURCES UserStoryTests.cpp)
