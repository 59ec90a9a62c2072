# The tray icon, and the main window's tray mode, on a real session bus and
# X server with a fake StatusNotifierWatcher. Needs dbus-run-session and
# xvfb-run; without them the tests report themselves skipped.
find_package(Qt6 COMPONENTS DBus)
find_program(ZUMORIA_DBUS_RUN_SESSION dbus-run-session)
find_program(ZUMORIA_XVFB_RUN xvfb-run)
set(_session_bus_tests
  components.TrayIconOnSessionBus components_tray_on_session_bus tray_on_session_bus.cpp
  app.MainWindowTrayOnSessionBus app_main_window_tray main_window_tray.cpp)
while(_session_bus_tests)
  list(POP_FRONT _session_bus_tests _name _target _source)
  if(TARGET Qt6::DBus)
    add_executable(${_target} "${CMAKE_CURRENT_LIST_DIR}/dbus/${_source}"
                              "${CMAKE_CURRENT_LIST_DIR}/dbus/FakeWatcher.h")
    target_include_directories(${_target} PRIVATE "${CMAKE_CURRENT_LIST_DIR}/dbus")
    target_link_libraries(${_target} PRIVATE Qt6::DBus)
    if(_target STREQUAL app_main_window_tray)
      # The shared test main: offscreen-safe sounds and a settings folder of its own.
      target_link_libraries(${_target} PRIVATE zumoria_test_support)
    else()
      target_sources(${_target} PRIVATE "${CMAKE_CURRENT_LIST_DIR}/dbus/plain_main.cpp")
      target_link_libraries(${_target} PRIVATE zumoria_components Qt6::Widgets Qt6::Test GTest::gtest)
    endif()
  endif()
  if(TARGET Qt6::DBus AND ZUMORIA_DBUS_RUN_SESSION AND ZUMORIA_XVFB_RUN)
    add_test(NAME ${_name}
             COMMAND "${ZUMORIA_DBUS_RUN_SESSION}" -- "${ZUMORIA_XVFB_RUN}" -a $<TARGET_FILE:${_target}>)
    set_tests_properties(${_name} PROPERTIES TIMEOUT 90 ENVIRONMENT "QT_QPA_PLATFORM=xcb")
    if(_target STREQUAL app_main_window_tray)
      # The same round trip under a window manager.
      add_test(NAME app.x11.tray_round_trip
               COMMAND bash "${CMAKE_SOURCE_DIR}/tests/app/desktop/x11_window.sh" tray_round_trip
                       $<TARGET_FILE:zumoria> "${CMAKE_SOURCE_DIR}/examples/Viccek.vicc"
                       $<TARGET_FILE:${_target}>)
      set_tests_properties(app.x11.tray_round_trip PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
    endif()
  else()
    add_test(NAME ${_name}
             COMMAND sh -c "echo 'skipped: needs Qt D-Bus, dbus-run-session and xvfb-run'; exit 77")
    set_tests_properties(${_name} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endwhile()
