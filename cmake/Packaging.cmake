# Installation layout and packages. A system package (Debian's .deb, an RPM)
# and a plain installation put the tool on the PATH with its man page and
# license; an archive (the .tar.gz of a static build, the Windows ZIP) holds the
# tool with what a user reads beside it. Each has the README and the reference.
include(GNUInstallDirs)

if(WIN32)
  set(default_package ZIP)
elseif(HOLLOWBROOK_STATIC OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(default_package TGZ)
else()
  set(default_package DEB)
endif()
set(HOLLOWBROOK_PACKAGE ${default_package} CACHE STRING "What cpack makes: DEB, RPM, TGZ or ZIP")
set(CPACK_GENERATOR ${HOLLOWBROOK_PACKAGE})

# Package systems name the processor each in their own way.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_RPM_PACKAGE_ARCHITECTURE x86_64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  set(CPACK_RPM_PACKAGE_ARCHITECTURE aarch64)
endif()

if(WIN32 OR (HOLLOWBROOK_STATIC AND HOLLOWBROOK_PACKAGE STREQUAL "TGZ"))
  install(TARGETS hollowbrook RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  install(FILES doc/reference.md DESTINATION doc)
  if(WIN32)
    set(CPACK_SYSTEM_NAME win64)
  else()
    install(FILES doc/hollowbrook.1 DESTINATION .)
    string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CPACK_SYSTEM_NAME)
  endif()
  set(CPACK_PACKAGE_FILE_NAME hollowbrook-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
else()
  install(TARGETS hollowbrook RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Both package systems ship manual pages compressed.
  find_program(GZIP gzip REQUIRED)
  set(man_page ${CMAKE_CURRENT_BINARY_DIR}/hollowbrook.1.gz)
  add_custom_command(OUTPUT ${man_page}
                     COMMAND ${GZIP} -9n -c ${PROJECT_SOURCE_DIR}/doc/hollowbrook.1 > ${man_page}
                     DEPENDS ${PROJECT_SOURCE_DIR}/doc/hollowbrook.1 VERBATIM)
  add_custom_target(man_page ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # The man page sends its readers here, as the README sends them on to the
  # reference.
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/hollowbrook)
  install(FILES doc/reference.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/hollowbrook/doc)
  if(HOLLOWBROOK_PACKAGE STREQUAL "RPM")
    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/licenses/hollowbrook)
  else()
    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/hollowbrook
            RENAME copyright)
  endif()
endif()

set(CPACK_PACKAGE_NAME hollowbrook)
set(CPACK_PACKAGE_VENDOR "The Hollowbrook maintainers")
set(CPACK_PACKAGE_CONTACT "The Hollowbrook maintainers <maintainers@hollowbrook.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "File-based wait state for batch files and shell scripts")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# The dynamically linked, hardened build; the dependency is stated, since
# dpkg-shlibdeps cannot read a binary of another architecture.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34)")

# The static build, so that it runs on any C library of the Red Hat family;
# it needs nothing, and every header that could vary is fixed.
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP "Applications/System")
set(CPACK_RPM_PACKAGE_URL "https://hollowbrook.invalid/")
set(CPACK_RPM_PACKAGE_DESCRIPTION
    "Hollowbrook turns a file into a wait state for batch files and shell scripts: it polls a
file until it appears or is deleted, or until a timeout, and reports how long it waited.")
set(CPACK_RPM_PACKAGE_AUTOREQPROV OFF)
set(CPACK_PACKAGE_RELOCATABLE OFF)
# Folders that the system's own packages own.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/licenses /usr/share/man
    /usr/share/man/man1)
set(CPACK_RPM_SPEC_MORE_DEFINE "%define _buildhost reproducible
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1
%define _build_id_links none")
include(CPack)
