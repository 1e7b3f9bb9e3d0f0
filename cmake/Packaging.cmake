# Installation layout and packages: a Debian package from the Linux build (the
# tool on the PATH with its man page); a ZIP on Windows and a .tar.gz from a
# static POSIX build (the tool with README and LICENSE, the man page beside it).
include(GNUInstallDirs)

if(WIN32 OR HOLLOWBROOK_STATIC)
  # One self-contained tool in an archive, with what a user reads beside it.
  install(TARGETS hollowbrook RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME win64)
  else()
    install(FILES doc/hollowbrook.1 DESTINATION .)
    set(CPACK_GENERATOR TGZ)
    string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CPACK_SYSTEM_NAME)
  endif()
  set(CPACK_PACKAGE_FILE_NAME hollowbrook-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
else()
  install(TARGETS hollowbrook RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Debian ships manual pages compressed.
  find_program(GZIP gzip REQUIRED)
  set(man_page ${CMAKE_CURRENT_BINARY_DIR}/hollowbrook.1.gz)
  add_custom_command(OUTPUT ${man_page}
                     COMMAND ${GZIP} -9n -c ${PROJECT_SOURCE_DIR}/doc/hollowbrook.1 > ${man_page}
                     DEPENDS ${PROJECT_SOURCE_DIR}/doc/hollowbrook.1 VERBATIM)
  add_custom_target(man_page ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/hollowbrook RENAME copyright)
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34)")
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER
        "The Hollowbrook maintainers <maintainers@hollowbrook.invalid>")
  else()
    set(CPACK_GENERATOR TGZ)
  endif()
endif()

set(CPACK_PACKAGE_NAME hollowbrook)
set(CPACK_PACKAGE_VENDOR "The Hollowbrook maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "File-based wait state for batch files and shell scripts")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
include(CPack)
