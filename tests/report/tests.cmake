# Printing through a real CUPS queue: a private cupsd with a PDF file queue,
# started by the script; skipped where CUPS cannot be started.
add_test(NAME report_cups_print
         COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/report/cups_print.sh" $<TARGET_FILE:report_test_RepPrinterCups>)
set_tests_properties(report_cups_print PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 240 RUN_SERIAL TRUE)

# The rooms of the report engine include each other as their table says, and
# the check itself finds a wrong include, a cycle and a stray file.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME report.rooms_follow_their_table
         COMMAND "${Python3_EXECUTABLE}" -B "${CMAKE_CURRENT_SOURCE_DIR}/report/check_rooms.py"
                 "${CMAKE_SOURCE_DIR}/src")
add_test(NAME report.rooms_check_finds_broken_rules
         COMMAND "${Python3_EXECUTABLE}" -B "${CMAKE_CURRENT_SOURCE_DIR}/report/test_check_rooms.py")
