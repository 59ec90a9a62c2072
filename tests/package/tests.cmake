# Installation and packaging: run the real install rules and cpack on the
# built tree and check what a user's system would receive.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
find_program(UPDATE_MIME_DATABASE update-mime-database REQUIRED)
find_program(APPSTREAMCLI appstreamcli REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

add_executable(package_mime_probe "${CMAKE_CURRENT_LIST_DIR}/mime_probe.cpp")
target_link_libraries(package_mime_probe PRIVATE Qt6::Core)

set(_check "${CMAKE_CURRENT_LIST_DIR}/check_install.sh")
add_test(NAME package.desktop_entry_validates
         COMMAND "${DESKTOP_FILE_VALIDATE}" "${CMAKE_SOURCE_DIR}/data/example.kovirad.zumoria.desktop")
add_test(NAME package.metainfo_validates
         COMMAND bash "${_check}" metainfo "${CMAKE_BINARY_DIR}" "${CMAKE_SOURCE_DIR}")
add_test(NAME package.manual_matches_command_line
         COMMAND "${Python3_EXECUTABLE}" "${CMAKE_CURRENT_LIST_DIR}/check_manual.py"
                 "${CMAKE_SOURCE_DIR}/data/zumoria.1" "${CMAKE_SOURCE_DIR}/src")
add_test(NAME package.staged_install
         COMMAND bash "${_check}" staged "${CMAKE_BINARY_DIR}" "${CMAKE_SOURCE_DIR}")
add_test(NAME package.vicc_file_type
         COMMAND bash "${_check}" mime "${CMAKE_BINARY_DIR}" "${CMAKE_SOURCE_DIR}"
                 "$<TARGET_FILE:package_mime_probe>")
add_test(NAME package.debian_package
         COMMAND bash "${_check}" deb "${CMAKE_BINARY_DIR}" "${CMAKE_SOURCE_DIR}")
set_tests_properties(package.staged_install package.vicc_file_type package.debian_package
                     package.metainfo_validates
                     PROPERTIES TIMEOUT 300)
