# What a distribution expects of a package: the program, both manual pages
# (English in man1, German in de/man1, compressed with gzip -9n), the
# copyright in the machine-readable format and the changelog.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS dvdverwaltung RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

find_program(GZIP_PROGRAM gzip REQUIRED)
set(PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/dvdverwaltung)
set(GENERATED_DOC_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated/doc)
set(COMPRESSED_DOCS)
# Compressed without name and time stamp, so the same sources give the same bytes.
function(add_compressed source destination)
  add_custom_command(OUTPUT ${destination}.gz
    COMMAND ${GZIP_PROGRAM} -9n -c ${source} > ${destination}.gz
    DEPENDS ${source} VERBATIM)
  set(COMPRESSED_DOCS ${COMPRESSED_DOCS} ${destination}.gz PARENT_SCOPE)
endfunction()
foreach(language en de)
  configure_file(docs/${language}/dvdverwaltung.1 ${GENERATED_DOC_DIR}/${language}/dvdverwaltung.1 @ONLY)
  add_compressed(${GENERATED_DOC_DIR}/${language}/dvdverwaltung.1 ${GENERATED_DOC_DIR}/${language}/dvdverwaltung.1)
endforeach()
add_compressed(${CMAKE_CURRENT_SOURCE_DIR}/packaging/debian/changelog ${GENERATED_DOC_DIR}/changelog)
add_custom_target(compressed_docs ALL DEPENDS ${COMPRESSED_DOCS})

install(FILES ${GENERATED_DOC_DIR}/en/dvdverwaltung.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${GENERATED_DOC_DIR}/de/dvdverwaltung.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
install(FILES packaging/debian/copyright ${GENERATED_DOC_DIR}/changelog.gz DESTINATION ${PACKAGE_DOC_DIR})
install(FILES packaging/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
  RENAME dvdverwaltung)

# The changelog is history, written by hand; its newest entry must be this version.
file(STRINGS packaging/debian/changelog CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT CHANGELOG_TOP MATCHES "^dvdverwaltung \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog: the top entry is not version ${PROJECT_VERSION}: ${CHANGELOG_TOP}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/debian/changelog)

set(DVD_PACKAGE_MAINTAINER "DVD Verwaltung developers <dvdverwaltung@example.org>"
  CACHE STRING "The Maintainer field of the Debian package: Name <address>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DVD_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_CONTACT ${DVD_PACKAGE_MAINTAINER})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends is worked out from the libraries the program links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS cups-client)  # lp, for printing
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary above it and indents the lines as Debian's control file wants.
file(READ packaging/debian/description CPACK_DEBIAN_PACKAGE_DESCRIPTION)
