# SPDX-License-Identifier: GPL-3.0-or-later
# Installing the game and packaging it.
#   cmake --install build [--prefix DIR]         (DESTDIR=... is honoured)
#   cmake --build build --target package         (or: cd build && cpack -G DEB)
# The layout follows GNUInstallDirs: the executable in bin/ (games/ in the package),
# levels.dat in share/kalventor/, the launcher, metainfo, icons and manual page where the
# desktop looks for them, the copyright and changelog in share/doc/kalventor/.
include(GNUInstallDirs)

# The day this version was released, for the manual page and the metainfo; fixed, not the
# build's date, so two builds of one version give the same files.
set(KALVENTOR_RELEASE_DATE "2026-12-08")
set(kalventor_data_subdir ${CMAKE_INSTALL_DATADIR}/kalventor)

# Debian keeps games in /usr/games, so the package installs the executable there; a plain
# install keeps CMAKE_INSTALL_BINDIR. The install rules read the folder when they run, which
# lets the package pass its own (CPACK_CUSTOM_INSTALL_VARIABLES below).
set(kalventor_package_bindir games)

# The installed game finds levels.dat relative to its own folder, so a DESTDIR, a package or a
# moved prefix all work; only the lookup's source file needs to know. The package's folder must
# lead to the same place.
file(RELATIVE_PATH kalventor_data_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/kalventor)
file(RELATIVE_PATH kalventor_data_from_games /usr/${kalventor_package_bindir} /usr/${CMAKE_INSTALL_DATADIR}/kalventor)
if(NOT kalventor_data_from_games STREQUAL kalventor_data_from_bin)
  message(FATAL_ERROR "The package's /usr/${kalventor_package_bindir} would look for levels.dat in "
    "${kalventor_data_from_games}, the game in ${kalventor_data_from_bin}: "
    "CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DATADIR must sit side by side under the prefix")
endif()
set_property(SOURCE ${CMAKE_SOURCE_DIR}/game/startup.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS KALVENTOR_DATA_FROM_BIN="${kalventor_data_from_bin}")

set(dist_src ${CMAKE_SOURCE_DIR}/dist)
set(dist_out ${CMAKE_BINARY_DIR}/dist)

configure_file(${dist_src}/io.github.kalventor.kalventor.metainfo.xml.in
  ${dist_out}/io.github.kalventor.kalventor.metainfo.xml @ONLY)
configure_file(${dist_src}/kalventor.6.in ${dist_out}/kalventor.6 @ONLY)
# Debian wants manual pages compressed; -n keeps the time stamp out, so the bytes stay the same.
add_custom_command(OUTPUT ${dist_out}/kalventor.6.gz
  COMMAND gzip -9nc ${dist_out}/kalventor.6 > ${dist_out}/kalventor.6.gz
  DEPENDS ${dist_out}/kalventor.6
  COMMENT "Compressing the manual page")
# The package's changelog, compressed the same way. Its newest entry must be this version's,
# so a release bumps both together.
file(STRINGS ${dist_src}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^kalventor \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "dist/changelog does not start with an entry for ${PROJECT_VERSION}: ${changelog_head}")
endif()
add_custom_command(OUTPUT ${dist_out}/changelog.gz
  COMMAND gzip -9nc ${dist_src}/changelog > ${dist_out}/changelog.gz
  DEPENDS ${dist_src}/changelog
  COMMENT "Compressing the changelog")
add_custom_target(kalventor_docs ALL DEPENDS ${dist_out}/kalventor.6.gz ${dist_out}/changelog.gz)

install(CODE "if(NOT DEFINED CMAKE_INSTALL_BINDIR)\n  set(CMAKE_INSTALL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")\nendif()")
install(TARGETS kalventor RUNTIME DESTINATION "\${CMAKE_INSTALL_BINDIR}")
# A stripped install (the package's) also drops the compiler's version strings, as Debian's
# dh_strip does: they are of no use to anyone running the game.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:kalventor>\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
")
install(FILES ${dist_src}/copyright ${dist_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_BINARY_DIR}/levels.dat DESTINATION ${kalventor_data_subdir})
install(FILES ${dist_out}/io.github.kalventor.kalventor.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dist_out}/kalventor.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
foreach(size 16 32 48 64 128 256)
  install(FILES ${dist_src}/icons/${size}x${size}/kalventor.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${dist_src}/icons/scalable/kalventor.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The launcher sets no working folder: the game finds its installed levels from its own folder
# and keeps every player's saves in their per-user folder. It is written at install time, when
# the prefix the install really uses (--prefix, or the package's /usr) is known.
if(IS_ABSOLUTE "${CMAKE_INSTALL_DATADIR}")
  set(data_root "${CMAKE_INSTALL_DATADIR}")
else()
  set(data_root "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}")
endif()
install(CODE "
  set(KALVENTOR_INSTALLED_DATA_DIR \"${data_root}/kalventor\")
  configure_file(\"${dist_src}/kalventor.desktop.in\" \"${dist_out}/kalventor.desktop\" @ONLY)
  file(INSTALL \"${dist_out}/kalventor.desktop\" DESTINATION \"${data_root}/applications\")
")

# The Debian package: kalventor_VERSION_amd64.deb, installed under /usr.
set(CPACK_PACKAGE_NAME kalventor)
set(CPACK_PACKAGE_VENDOR "The Kalventor developers")
set(CPACK_PACKAGE_CONTACT "The Kalventor developers <kalventor@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "brick-breaking arcade game")
# Extended description lines of a Debian control file stay within 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A mouse-driven paddle keeps one or more balls in play across three themes,"
  "METAL, VOLCANO and ALIEN, of fifty levels each. Broken bricks release"
  "capsules with twenty powerups and ten weapons mounted on the paddle; cleared"
  "levels unlock the next ones, and the ten best scores are kept.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_CUSTOM_INSTALL_VARIABLES "CMAKE_INSTALL_BINDIR=${kalventor_package_bindir}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps reads the libraries the executable really links (SDL2, libpng, libjpeg,
# libvorbisfile, which brings libvorbis and libogg) and names their packages with versions.
find_program(KALVENTOR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KALVENTOR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, libpng16-16, libjpeg62-turbo, libvorbisfile3, libstdc++6, libc6")
endif()
# LEVEL SELECT's FOLDER opens the sets folder through xdg-open; the game plays without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/config\\\\.dat$")
include(CPack)
