# Test files of the editor area: look-and-feel, legend, header strip and the window.
list(APPEND QM70_TEST_SOURCES
    LookAndFeelTests.cpp
    PadLegendTests.cpp
    HeaderStripTests.cpp
    EditorWindowTests.cpp)

# Draws the editor as the user story leaves it into resources/editor.png (or the path given):
# scripts/render-editor.sh runs it. Not a test.
add_executable(qm70_render_editor RenderEditor.cpp TestSupport.cpp)
target_link_libraries(qm70_render_editor PRIVATE qm70_test_support)
target_compile_definitions(qm70_render_editor PRIVATE
    QM70_EDITOR_PICTURE="${CMAKE_SOURCE_DIR}/resources/editor.png")
