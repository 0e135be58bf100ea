# Test files of the engine area.
list(APPEND QM70_TEST_SOURCES
    VoiceTests.cpp
    RendererTests.cpp
    SampleLoadingTests.cpp
    SampleHandOverTests.cpp)

list(APPEND QM70_CONCURRENCY_TEST_SOURCES EngineStressTests.cpp)

# Replaces the allocator and the lock functions to prove the audio path uses neither. A sanitizer
# brings its own allocator, which these replacements would fight, so sanitized builds leave it out.
if(NOT QM70_SANITIZER)
    qm70_add_test(qm70_realtime_tests LABEL realtime SOURCES RealTimeSafetyTests.cpp RealTimeAudit.cpp)
    target_link_libraries(qm70_realtime_tests PRIVATE ${CMAKE_DL_LIBS})
endif()
