# The joke list printed from the preview through a real CUPS queue: a private
# cupsd with a PDF file queue as the default printer, started by the report
# layer's script; skipped where CUPS cannot be started.
add_test(NAME app_cups_print
         COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/report/cups_print.sh" $<TARGET_FILE:app_test_ListaNyomCups>)
set_tests_properties(app_cups_print PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 240
  RUN_SERIAL TRUE
  ENVIRONMENT "ZUMORIA_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZUMORIA_BINARY_DIR=${CMAKE_BINARY_DIR}")
# The real program as a user meets it: under a real X server with a window
# manager (Xvfb + openbox, driven with xdotool, read with xprop and xwininfo)
# and on a Wayland compositor that places windows itself (weston, headless).
# Each case starts a session of its own, so they run side by side; a case
# reports itself skipped only where its server cannot start.
set(_desktop "${CMAKE_CURRENT_LIST_DIR}/desktop")
set(_sample "${CMAKE_SOURCE_DIR}/examples/Viccek.vicc")
foreach(_case minimise_and_esc restart_cycles absurd_bounds no_sound_server no_state_files)
  add_test(NAME app.x11.${_case}
           COMMAND bash "${_desktop}/x11_window.sh" ${_case} $<TARGET_FILE:zumoria> "${_sample}")
  set_tests_properties(app.x11.${_case} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endforeach()

add_executable(app_wayland_main_window "${_desktop}/wayland_main_window.cpp")
target_link_libraries(app_wayland_main_window PRIVATE zumoria_test_support)
add_test(NAME app.wayland.main_window
         COMMAND bash "${_desktop}/wayland_window.sh" $<TARGET_FILE:app_wayland_main_window>
                 $<TARGET_FILE:zumoria> "${_sample}")
set_tests_properties(app.wayland.main_window PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

# Qt's own texts (dialog buttons) follow the user's language.
add_test(NAME app.qt_texts_in_the_users_language
         COMMAND app_test_Program --gtest_also_run_disabled_tests
                 --gtest_filter=QtTranslationsTest.DISABLED_StartApplicationTakesTheUsersLanguage)
set_tests_properties(app.qt_texts_in_the_users_language PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=hu_HU.UTF-8;LANG=hu_HU.UTF-8;LANGUAGE=")

# Reading a collection in the real program under Xvfb and openbox: the wheel,
# the reader's keys, the find bar, going to a joke, a joke at random, the
# remembered place over restarts, the window's keys and a file dropped from
# another program.
set(_reader "${CMAKE_CURRENT_LIST_DIR}/reader")
add_executable(app_drag_source "${_reader}/drag_source.cpp")
target_link_libraries(app_drag_source PRIVATE Qt6::Widgets)
foreach(_case wheel_keys_and_places find_go_to_and_random keys_of_the_window_and_a_drop)
  add_test(NAME app.x11.reader.${_case}
           COMMAND bash "${_reader}/x11_reader.sh" ${_case} $<TARGET_FILE:zumoria> $<TARGET_FILE:app_drag_source>)
  set_tests_properties(app.x11.reader.${_case} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endforeach()
