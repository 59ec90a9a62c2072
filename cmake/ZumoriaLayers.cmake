# Each layer under src/ is one static library made of every source in its
# folder, so adding a class never needs an edit here.
function(zumoria_layer name dir)
  file(GLOB_RECURSE _sources CONFIGURE_DEPENDS
       "${dir}/*.cpp" "${dir}/*.h" "${dir}/*.qrc")
  if(_sources)
    add_library(${name} STATIC ${_sources})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}/src")
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# A room of a layer is a library of its own, linked with the rooms it may
# use and nothing else. Its link probe is a program made of every object of
# the room and those libraries only, so a room that calls into a room it may
# not use no longer links.
function(zumoria_room name dir)
  zumoria_layer(${name} ${dir} ${ARGN})
  add_executable(${name}_link_probe "${CMAKE_SOURCE_DIR}/cmake/link_probe.cpp")
  target_link_libraries(${name}_link_probe PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${name}>")
  set_target_properties(${name}_link_probe PROPERTIES AUTOMOC OFF AUTORCC OFF)
endfunction()

# Every tests/<layer>/**/test_*.cpp is a GoogleTest program of its own, linked
# against the layer and the shared test support (QApplication main, helpers).
# Tests may sit in sub-folders mirroring the layer's; the program is named
# after the layer and the file (report_test_RepExpr).
function(zumoria_layer_tests layer)
  file(GLOB_RECURSE _tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${layer}/test_*.cpp")
  foreach(_src IN LISTS _tests)
    get_filename_component(_stem "${_src}" NAME_WE)
    set(_target "${layer}_${_stem}")
    add_executable(${_target} "${_src}")
    target_link_libraries(${_target} PRIVATE zumoria_test_support ${ARGN})
    gtest_discover_tests(${_target}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZUMORIA_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZUMORIA_BINARY_DIR=${CMAKE_BINARY_DIR}"
                 TIMEOUT 300)
  endforeach()
endfunction()

# Every SVG picture in dir (under src/) becomes a resource of the layer or
# room target at ":<prefix>/<file name>", so a new picture needs its file and
# nothing else here. The resources come with the library's objects and need
# no registration in code.
function(zumoria_pictures target prefix dir)
  file(GLOB _pictures CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.svg")
  qt_add_resources(${target} "${target}_pictures"
    PREFIX "${prefix}"
    BASE "${CMAKE_CURRENT_SOURCE_DIR}/${dir}"
    FILES ${_pictures})
endfunction()
