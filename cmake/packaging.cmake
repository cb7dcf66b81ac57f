# What `cmake --install` puts where, and the packages `cpack` makes from it:
# from the Linux build (build/) a Debian package, from the Windows build
# (build-win/) a zip. The version is the project's and spelt nowhere else.
include(GNUInstallDirs)

# Directories are 0755 whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The manual page carries the version in its header; it is installed gzipped,
# as man finds it either way and Debian wants it so.
configure_file(doc/namewisp.1.in namewisp.1 @ONLY)

set(NAMEWISP_MAINTAINER "The namewisp developers <namewisp@example.org>"
    CACHE STRING "Maintainer named in the packages")

set(CPACK_PACKAGE_VENDOR "the namewisp developers")
set(CPACK_PACKAGE_CONTACT "${NAMEWISP_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "tidy the names of downloaded video files")
# Lines of at most 80 columns: Debian shows them as they stand.
set(CPACK_PACKAGE_DESCRIPTION
"namewisp lists the files that match a pattern, works out a clean name for
each and renames it, printing every rename and never replacing an existing
file. Periods and underscores become spaces, square brackets round ones; on
request the year is put in brackets, release terms such as XviD, DVDRip or
720p are dropped, names all in one case get mixed case, and each rename can
be confirmed with one key. So \"Some.Movie.2010.XviD.avi\" becomes
\"Some Movie (2010).avi\".")
# Quotes and semicolons reach the packages as written.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # A flat folder: the program and two texts with Windows line ends.
  install(TARGETS namewisp RUNTIME DESTINATION .)
  configure_file(README.md README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(doc/terms.example terms.example.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt
                ${CMAKE_BINARY_DIR}/terms.example.txt
          DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "namewisp-${PROJECT_VERSION}-win64")
else()
  install(TARGETS namewisp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  find_program(NAMEWISP_GZIP gzip REQUIRED)
  # -n leaves out the time stamp, so that the same page gives the same bytes.
  add_custom_command(
    OUTPUT namewisp.1.gz changelog.gz
    COMMAND ${NAMEWISP_GZIP} -9nkf namewisp.1 changelog
    DEPENDS ${CMAKE_BINARY_DIR}/namewisp.1 ${CMAKE_BINARY_DIR}/changelog
    VERBATIM)
  add_custom_target(namewisp_gzipped_docs ALL
                    DEPENDS namewisp.1.gz changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/namewisp.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # The copyright in Debian's machine-readable format, made from LICENSE so
  # that the terms are written down once.
  file(READ LICENSE license)
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${license}")
  set(holder "${CMAKE_MATCH_1}")
  string(FIND "${license}" "Permission is hereby granted" start)
  if(NOT holder OR start EQUAL -1)
    message(FATAL_ERROR "LICENSE is not the MIT licence namewisp expects")
  endif()
  string(SUBSTRING "${license}" ${start} -1 terms)
  string(STRIP "${terms}" terms)
  string(REPLACE "\n\n" "\n.\n" terms "${terms}")
  string(REPLACE "\n" "\n " terms "${terms}")
  file(CONFIGURE OUTPUT copyright @ONLY CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: namewisp

Files: *
Copyright: @holder@
License: Expat
 @terms@
")

  # A native package carries its history as changelog.gz; one entry for the
  # version being packaged, dated when the build was configured (or at
  # SOURCE_DATE_EPOCH, for builds that must give the same bytes).
  string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  file(CONFIGURE OUTPUT changelog @ONLY CONTENT
"namewisp (@PROJECT_VERSION@) unstable; urgency=medium

  * Release @PROJECT_VERSION@.

 -- @NAMEWISP_MAINTAINER@  @changelog_date@
")

  install(FILES README.md doc/terms.example ${CMAKE_BINARY_DIR}/copyright
                ${CMAKE_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Dependencies come from the libraries the binary links, via dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
