target_compile_definitions(bench_find PRIVATE ZUMORIA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
