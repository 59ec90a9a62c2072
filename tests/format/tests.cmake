# The C++ lines a change touches keep the format of .clang-format (checked
# against the point where the branch left main, else the parent commit; see
# scripts/check-format.sh), and the check itself looks at those lines only.
# Both are skipped without git or clang-format 14.
add_test(NAME format.touched_lines_follow_clang_format
         COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/check-format.sh")
add_test(NAME format.check_looks_only_at_touched_lines
         COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/check_format_cases.sh")
set_tests_properties(format.touched_lines_follow_clang_format format.check_looks_only_at_touched_lines
  PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
