# Installation layout and packages: a Debian package on POSIX builds (the tool
# on the PATH with its man page), a ZIP on Windows (the tool, README, LICENSE).
include(GNUInstallDirs)

if(WIN32)
  install(TARGETS hollowbrook RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
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
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34)")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Hollowbrook maintainers <maintainers@hollowbrook.invalid>")
endif()

set(CPACK_PACKAGE_NAME hollowbrook)
set(CPACK_PACKAGE_VENDOR "The Hollowbrook maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "File-based wait state for batch files and shell scripts")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_FILE_NAME hollowbrook-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
if(NOT WIN32)
  unset(CPACK_PACKAGE_FILE_NAME)
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
