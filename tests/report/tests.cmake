# Printing through a real CUPS queue: a private cupsd with a PDF file queue,
# started by the script; skipped where CUPS cannot be started.
add_test(NAME report_cups_print
         COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/report/cups_print.sh" $<TARGET_FILE:report_test_RepPrinterCups>)
set_tests_properties(report_cups_print PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 240 RUN_SERIAL TRUE)
