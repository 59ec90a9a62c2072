# The tray icon on a real session bus and X server. Needs dbus-run-session and
# xvfb-run; without them the test reports itself skipped.
find_package(Qt6 COMPONENTS DBus)
find_program(ZUMORIA_DBUS_RUN_SESSION dbus-run-session)
find_program(ZUMORIA_XVFB_RUN xvfb-run)
if(TARGET Qt6::DBus)
  add_executable(components_tray_on_session_bus
                 "${CMAKE_CURRENT_LIST_DIR}/dbus/tray_on_session_bus.cpp")
  target_link_libraries(components_tray_on_session_bus PRIVATE
    zumoria_components Qt6::DBus Qt6::Widgets Qt6::Test GTest::gtest)
endif()
if(TARGET Qt6::DBus AND ZUMORIA_DBUS_RUN_SESSION AND ZUMORIA_XVFB_RUN)
  add_test(NAME components.TrayIconOnSessionBus
           COMMAND "${ZUMORIA_DBUS_RUN_SESSION}" -- "${ZUMORIA_XVFB_RUN}" -a
                   $<TARGET_FILE:components_tray_on_session_bus>)
  set_tests_properties(components.TrayIconOnSessionBus PROPERTIES
    TIMEOUT 60 ENVIRONMENT "QT_QPA_PLATFORM=xcb")
else()
  add_test(NAME components.TrayIconOnSessionBus
           COMMAND sh -c "echo 'skipped: needs Qt D-Bus, dbus-run-session and xvfb-run'; exit 77")
  set_tests_properties(components.TrayIconOnSessionBus PROPERTIES SKIP_RETURN_CODE 77)
endif()
