# bench_preview runs the program's batch export and a small Qt peer program
# as child processes: both are built with it.
add_executable(peer_pdf_list "${CMAKE_CURRENT_SOURCE_DIR}/peer_pdf_list.cpp")
target_link_libraries(peer_pdf_list PRIVATE zumoria_app)
add_dependencies(bench_preview zumoria peer_pdf_list)
target_compile_definitions(bench_preview PRIVATE
  ZUMORIA_PROGRAM="$<TARGET_FILE:zumoria>"
  ZUMORIA_PEER="$<TARGET_FILE:peer_pdf_list>")
