# Installing zarv like any other game on Debian and Ubuntu: the program in games/, a desktop
# entry with the ship as its icon, AppStream metadata, a manual page and the licence, and a .deb
# through CPack (make package). Only for a native Unix build: the icon is drawn by a program
# built here, which a cross build could not run.
if(NOT UNIX OR APPLE OR CMAKE_CROSSCOMPILING)
  return()
endif()
include(GNUInstallDirs)

set(ZARV_APP_ID io.github.zarv.Zarv)
set(ZARV_RELEASE_DATE 2026-12-06)
set(ZARV_RELEASE_DATE_RFC2822 "Sun, 06 Dec 2026 12:00:00 +0000")
set(ZARV_DEB_RELEASE 1)
set(ZARV_DEB_VERSION ${PROJECT_VERSION}-${ZARV_DEB_RELEASE})
set(ZARV_MAINTAINER "The zarv developers <zarv@example.org>")
set(ZARV_ICON_SIZES 48 64 128 256)
set(ZARV_INSTALL_GAMESDIR games CACHE STRING "Where the program and its launcher go, under the prefix")

find_program(ZARV_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ZARV_GZIP gzip REQUIRED)
set(pkg ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${pkg})

# The icon: the ship drawn from the game's own outline table, then rendered at each size.
add_executable(zarv_icon packaging/ship_icon.cpp)
target_include_directories(zarv_icon PRIVATE src)
set(svg ${pkg}/${ZARV_APP_ID}.svg)
add_custom_command(OUTPUT ${svg} COMMAND zarv_icon ${svg} DEPENDS zarv_icon VERBATIM)
set(generated ${svg})
foreach(size ${ZARV_ICON_SIZES})
  set(png ${pkg}/icon-${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${ZARV_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
    DEPENDS ${svg} VERBATIM)
  list(APPEND generated ${png})
endforeach()

# The manual page and the package's changelog, compressed the way Debian wants them (-9n:
# the smallest file, and no name or time stamp inside, so that rebuilds are identical).
configure_file(packaging/zarv.6.in ${pkg}/zarv.6 @ONLY)
configure_file(packaging/changelog.Debian.in ${pkg}/changelog.Debian @ONLY)
configure_file(packaging/${ZARV_APP_ID}.metainfo.xml.in ${pkg}/${ZARV_APP_ID}.metainfo.xml @ONLY)
foreach(name zarv.6 changelog.Debian)
  add_custom_command(OUTPUT ${pkg}/${name}.gz
    COMMAND ${ZARV_GZIP} -9nkf ${pkg}/${name}
    DEPENDS ${pkg}/${name} VERBATIM)
  list(APPEND generated ${pkg}/${name}.gz)
endforeach()
file(CREATE_LINK zarv.6.gz ${pkg}/zarv-launcher.6.gz SYMBOLIC)
add_custom_target(zarv_packaging ALL DEPENDS ${generated})

# Relocations read-only before the game starts, as Debian's own packages are linked.
target_link_options(zarv PRIVATE -Wl,-z,relro -Wl,-z,now)
install(TARGETS zarv RUNTIME DESTINATION ${ZARV_INSTALL_GAMESDIR})
install(PROGRAMS packaging/zarv-launcher DESTINATION ${ZARV_INSTALL_GAMESDIR})
# The menu starts the launcher by its full path (a desktop session's PATH may lack games/), which
# is known only at install time: cmake --install --prefix and CPack choose it then.
install(CODE "
  set(ZARV_GAMES_DIR \"\${CMAKE_INSTALL_PREFIX}/${ZARV_INSTALL_GAMESDIR}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/packaging/${ZARV_APP_ID}.desktop.in\" \"${pkg}/${ZARV_APP_ID}.desktop\" @ONLY)")
install(FILES ${pkg}/${ZARV_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg}/${ZARV_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${ZARV_ICON_SIZES})
  install(FILES ${pkg}/icon-${size}.png RENAME ${ZARV_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${pkg}/zarv.6.gz ${pkg}/zarv-launcher.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES packaging/copyright ${pkg}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The package. It carries no settings file and no maintainer scripts: a player's zarv.cfg lives
# in their own folders, so installing, upgrading and purging never touch it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${ZARV_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZARV_MAINTAINER})
set(CPACK_PACKAGE_CONTACT ${ZARV_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "vector arcade shooter: one ship against 201 waves")
set(CPACK_PACKAGE_DESCRIPTION "Steer a single ship across a wrapping field and clear 201 waves of five
kinds of enemies that manoeuvre, dodge each other and fire back. Fallen
enemies leave weapon upgrades and shields. Everything is drawn as flat
vector lines and shapes; sound effects are General MIDI notes played by
a built-in synthesiser. Menus in Bulgarian and English, rebindable ship
keys, a high-score table, window or full screen.")
# Linked libraries from dpkg-shlibdeps; the font is loaded by name at run time. Without the
# SoundFonts the game runs silently, hence only recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fluid-soundfont-gm, fluid-soundfont-gs")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
