# bench_find types into the find bar through Qt's test helpers.
find_package(Qt6 REQUIRED COMPONENTS Test)
target_link_libraries(bench_find PRIVATE Qt6::Test)
target_compile_definitions(bench_find PRIVATE ZUMORIA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
