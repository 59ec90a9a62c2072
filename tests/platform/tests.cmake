# Plays the program's sounds through a real PulseAudio server with a null
# sink, started by the test on a private socket; skipped where no server can
# be started.
add_executable(platform_pulse_null_sink "${CMAKE_CURRENT_LIST_DIR}/pulse_null_sink.cpp")
target_link_libraries(platform_pulse_null_sink PRIVATE zumoria_test_support)
add_test(NAME platform_pulse_null_sink
         COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/with-null-sink.sh"
                 $<TARGET_FILE:platform_pulse_null_sink>)
set_tests_properties(platform_pulse_null_sink PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 120
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZUMORIA_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
