# Install, the Debian package (cpack -G DEB) and the Windows download
# (cpack -G ZIP in a cross-build folder).
include(GNUInstallDirs)
set(CPACK_PACKAGE_NAME dvdverwaltung)
set(CPACK_PACKAGE_VENDOR "DVD Verwaltung developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "manage a DVD collection and its lending in a terminal")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  include(cmake/WindowsDownload.cmake)
else()
  include(cmake/DebianPackage.cmake)
endif()
include(CPack)
