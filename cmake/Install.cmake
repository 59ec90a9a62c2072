# Installation of Zumoria as a desktop program (GNU directory layout):
#
#   bin/zumoria
#   share/zumoria/Hangok/                     the event sounds
#   share/applications/example.kovirad.zumoria.desktop   launcher entry, opens both types
#   share/metainfo/example.kovirad.zumoria.metainfo.xml  software centre entry
#   share/mime/packages/zumoria-vicc.xml      application/x-vicc (*.vicc) and
#                                             application/x-fortune (by content)
#   share/icons/hicolor/{scalable,NxN}/{apps,mimetypes}/   icons
#   share/man/man1/zumoria.1.gz               manual page
#   share/doc/zumoria/                        README and the sample collection
#
# No desktop, icon or MIME cache is refreshed here: doing so inside
# install(CODE) breaks staged (DESTDIR) installs and packages. The README says
# which commands to run after installing into /usr/local; the Debian package
# leaves it to the triggers of the system's packages.
include(GNUInstallDirs)

set(ZUMORIA_INSTALL_DATA_DIR "${CMAKE_INSTALL_DATADIR}/zumoria")
set(ZUMORIA_INSTALL_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/zumoria")

# The program finds its installed data through these two definitions: the
# data folder relative to the executable's folder (right for any prefix the
# installation is moved or packaged into) and the absolute folder of the
# configured prefix.
file(RELATIVE_PATH _zumoria_bin_to_data
     "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_DATADIR}/zumoria")
target_compile_definitions(zumoria_platform PUBLIC
  ZUMORIA_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/zumoria"
  ZUMORIA_RELATIVE_DATA_DIR="${_zumoria_bin_to_data}")

# --- icons: drawn as SVG, the bitmap sizes rendered from them at build time
set(ZUMORIA_ICON_SIZES 16 22 24 32 48 64 128 256)
set(_zumoria_icons apps/zumoria mimetypes/application-x-vicc)
find_program(RSVG_CONVERT rsvg-convert)
set(ZUMORIA_HAVE_PNG_ICONS OFF)
set(_zumoria_generated)
foreach(_icon IN LISTS _zumoria_icons)
  get_filename_component(_context "${_icon}" DIRECTORY)
  get_filename_component(_name "${_icon}" NAME)
  set(_svg "${CMAKE_SOURCE_DIR}/data/icons/${_name}.svg")
  install(FILES "${_svg}"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/${_context}")
  if(NOT RSVG_CONVERT)
    continue()
  endif()
  set(ZUMORIA_HAVE_PNG_ICONS ON)
  foreach(_size IN LISTS ZUMORIA_ICON_SIZES)
    set(_dir "${CMAKE_BINARY_DIR}/icons/${_size}x${_size}/${_context}")
    set(_png "${_dir}/${_name}.png")
    add_custom_command(OUTPUT "${_png}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${_dir}"
      COMMAND "${RSVG_CONVERT}" -w ${_size} -h ${_size} -o "${_png}" "${_svg}"
      DEPENDS "${_svg}"
      COMMENT "Rendering ${_name}.png at ${_size}x${_size}"
      VERBATIM)
    list(APPEND _zumoria_generated "${_png}")
    install(FILES "${_png}"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/${_context}")
  endforeach()
endforeach()
if(NOT RSVG_CONVERT)
  message(WARNING "rsvg-convert not found (Debian: librsvg2-bin): only the "
                  "scalable icons are installed")
endif()

# --- manual page, version filled in and compressed as Debian expects
find_program(GZIP_PROGRAM gzip REQUIRED)
set(_man_src "${CMAKE_BINARY_DIR}/man/zumoria.1")
set(_man_tmp "${CMAKE_BINARY_DIR}/man/gz/zumoria.1")
set(_man_gz "${_man_tmp}.gz")
configure_file("${CMAKE_SOURCE_DIR}/data/zumoria.1" "${_man_src}" @ONLY)
add_custom_command(OUTPUT "${_man_gz}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/man/gz"
  COMMAND ${CMAKE_COMMAND} -E copy "${_man_src}" "${_man_tmp}"
  COMMAND "${GZIP_PROGRAM}" -9 -n -f "${_man_tmp}"
  DEPENDS "${_man_src}"
  COMMENT "Compressing the manual page"
  VERBATIM)
list(APPEND _zumoria_generated "${_man_gz}")
add_custom_target(zumoria_install_data ALL DEPENDS ${_zumoria_generated})

# --- the files themselves
install(TARGETS zumoria RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(DIRECTORY "${CMAKE_SOURCE_DIR}/data/Hangok/"
        DESTINATION "${ZUMORIA_INSTALL_DATA_DIR}/Hangok"
        PATTERN ".*" EXCLUDE)
install(FILES "${CMAKE_SOURCE_DIR}/data/example.kovirad.zumoria.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_SOURCE_DIR}/data/example.kovirad.zumoria.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${CMAKE_SOURCE_DIR}/data/zumoria-vicc.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages")
install(FILES "${_man_gz}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${CMAKE_SOURCE_DIR}/README.md" DESTINATION "${ZUMORIA_INSTALL_DOC_DIR}")
install(DIRECTORY "${CMAKE_SOURCE_DIR}/examples/"
        DESTINATION "${ZUMORIA_INSTALL_DOC_DIR}/examples"
        OPTIONAL PATTERN ".*" EXCLUDE)

include("${CMAKE_CURRENT_LIST_DIR}/Package.cmake")
