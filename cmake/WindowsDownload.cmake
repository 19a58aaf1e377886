# dvdverwaltung-<version>-win64.zip: one folder holding the program, the
# German instructions and the licence, as text files Notepad shows right
# (CR LF line ends).
install(TARGETS dvdverwaltung RUNTIME DESTINATION .)

function(write_windows_text source destination)
  file(READ ${source} text)
  string(CONFIGURE "${text}" text @ONLY)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
set(WINDOWS_TEXT_DIR ${CMAKE_CURRENT_BINARY_DIR}/windows-download)
write_windows_text(${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/LIESMICH.txt ${WINDOWS_TEXT_DIR}/LIESMICH.txt)
write_windows_text(${CMAKE_CURRENT_SOURCE_DIR}/LICENSE ${WINDOWS_TEXT_DIR}/LICENSE.txt)
install(FILES ${WINDOWS_TEXT_DIR}/LIESMICH.txt ${WINDOWS_TEXT_DIR}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
