# What `cmake --install` puts on a Linux machine and what `cpack` packs into the Debian package
# mensora_VERSION_amd64.deb: the mensora command, its manual page, and the licence, changelog
# and guide where Debian keeps a package's documents. Included by the native build only.
include(GNUInstallDirs)

# Debian keeps manual pages compressed; -n leaves the name and time out of the gzip header.
set(manual ${PROJECT_BINARY_DIR}/cli/mensora.1)
add_custom_command(OUTPUT ${manual}.gz
  COMMAND gzip -9 -n -f -k ${manual}
  DEPENDS ${manual}
  COMMENT "Compressed manual page mensora.1.gz"
  VERBATIM)
add_custom_target(mensora_manual ALL DEPENDS ${manual}.gz)

set(docs ${CMAKE_INSTALL_DATAROOTDIR}/doc/mensora)
install(TARGETS mensora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${manual}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${docs} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/README.md
              ${PROJECT_SOURCE_DIR}/docs/user-guide.md
        DESTINATION ${docs})
# Installing needs only what the rules above name, not every test and tool of the build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mensora)
set(CPACK_PACKAGE_VENDOR "The Mensora authors")
set(CPACK_PACKAGE_CONTACT "The Mensora authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert physical quantities between units of measure")
# The long description, after the summary line; no quotes, which CPack would mangle.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "mensora converts a number from one free-text unit expression to another,
as in mensora 1 ft in or mensora 100 degC degF, shows the SI unit text of
an expression and lists its catalogue of ${MENSORA_UNIT_COUNT} named units. It runs the unit
engine of the Mensora spreadsheet add-in and gives the same results.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
