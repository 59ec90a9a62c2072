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
