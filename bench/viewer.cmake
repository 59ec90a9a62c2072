target_compile_definitions(bench_viewer PRIVATE ZUMORIA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
