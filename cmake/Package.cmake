# The Debian package (cpack -G DEB in the build folder, or the "package"
# target). It installs under /usr whatever prefix the build was configured
# with: the program finds its data relative to its own folder.

# The maker's name, home page and mail address live in src/app/Maker.h.
file(STRINGS "${CMAKE_SOURCE_DIR}/src/app/Maker.h" _maker_lines REGEX "constexpr")
foreach(_line IN LISTS _maker_lines)
  if(_line MATCHES "\\*([A-Za-z]+) = \"([^\"]*)\"")
    set(_maker_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endif()
endforeach()
if(NOT _maker_Name OR NOT _maker_HomePage OR NOT _maker_MailAddress)
  message(FATAL_ERROR "src/app/Maker.h: the maker's name, home page or mail address is missing")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zumoria)
set(CPACK_PACKAGE_VENDOR "${_maker_Name}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${_maker_Name} <${_maker_MailAddress}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop reader for joke collections")
set(CPACK_PACKAGE_DESCRIPTION
"Zumoria shows collections of jokes (.vicc files) as a stack of coloured
joke panels scrolled by grabbing them with the mouse, keeps the last four
collections in a menu, prints the jokes as a two-column A4 list through a
print preview, plays short sounds on user actions, offers four colour schemes
and can hide itself in the notification area. Its user interface is
Hungarian.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${_maker_HomePage}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# dpkg-shlibdeps adds the exact library versions the executable was linked
# against; the list below names what it cannot see: the Qt platform plugins,
# the fonts the joke list asks for by name, and xdg-open for the web links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), \
libqt6printsupport6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-qpa-plugins, \
libjpeg62-turbo, libuemf0, libsndfile1, libpulse0, \
fonts-liberation2, fonts-comic-neue, fonts-ebgaramond, fonts-dejavu-core, \
xdg-utils")
# Qt's translations put the system dialogs' buttons into the user's language;
# a platform theme gives Qt the desktop's own file dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "qt6-wayland, qt6-translations-l10n, qt6-gtk-platformtheme | qt6-xdgdesktopportal-platformtheme, \
pulseaudio | pipewire-pulse")
include(CPack)
