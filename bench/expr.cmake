# The expression benchmark compares with muParser (libmuparser-dev), which is
# linked into the benchmark program only, never into Zumoria.
pkg_check_modules(MUPARSER REQUIRED IMPORTED_TARGET muparser)
target_link_libraries(bench_expr PRIVATE PkgConfig::MUPARSER)
