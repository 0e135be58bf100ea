# The host tests load the built bundles through JUCE's own plug-in hosting, as a DAW would. They
# link JUCE with hosting switched on, not the plug-in's library: the plug-in arrives as a bundle.
if(TARGET QM70_VST3)
    qm70_exempt_juce_flac_from_shift_checks()
    juce_add_console_app(qm70_host_tests PRODUCT_NAME "QM70 Host Tests")
    target_sources(qm70_host_tests PRIVATE HostMain.cpp HostSupport.cpp HostTests.cpp ValidationTests.cpp)
    # The allocation audit replaces the allocator, which a sanitizer's own allocator can't share.
    if(QM70_SANITIZER)
        target_compile_definitions(qm70_host_tests PRIVATE QM70_SANITIZED=1)
    else()
        target_sources(qm70_host_tests PRIVATE RealTimeAudit.cpp)
        target_compile_definitions(qm70_host_tests PRIVATE QM70_SANITIZED=0)
        target_link_libraries(qm70_host_tests PRIVATE ${CMAKE_DL_LIBS})
    endif()
    target_compile_definitions(qm70_host_tests PRIVATE
        JUCE_PLUGINHOST_VST3=1
        JUCE_PLUGINHOST_LV2=1
        JUCE_WEB_BROWSER=0
        JUCE_USE_CURL=0
        JUCE_MODAL_LOOPS_PERMITTED=1
        QM70_VST3_BUNDLE="$<GENEX_EVAL:$<TARGET_PROPERTY:QM70_VST3,JUCE_PLUGIN_ARTEFACT_FILE>>")
    target_link_libraries(qm70_host_tests PRIVATE
        juce::juce_audio_processors
        juce::juce_audio_formats
        PkgConfig::QM70_CODECS
        juce::juce_recommended_config_flags
        GTest::gtest)
    add_dependencies(qm70_host_tests QM70_VST3)
    if(TARGET QM70_LV2)
        add_dependencies(qm70_host_tests QM70_LV2)
        target_compile_definitions(qm70_host_tests PRIVATE
            QM70_LV2_BUNDLE="$<GENEX_EVAL:$<TARGET_PROPERTY:QM70_LV2,JUCE_PLUGIN_ARTEFACT_FILE>>")
    endif()
    set_target_properties(qm70_host_tests PROPERTIES CROSSCOMPILING_EMULATOR ${QM70_TEST_LAUNCHER})
    gtest_discover_tests(qm70_host_tests DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 600 LABELS host)
endif()
