# The hardening a distribution builds its packages with, for optimised builds
# on Linux. A builder who passes flags of their own (CXXFLAGS, LDFLAGS, as
# dpkg-buildflags does) gets exactly those instead. Sanitizer and fuzzer
# builds have their own instrumentation and stay as they are.
if(WIN32 OR CMAKE_BUILD_TYPE STREQUAL "Debug" OR DVD_SANITIZE OR DVD_BUILD_FUZZERS)
  return()
endif()
if(NOT "${CMAKE_CXX_FLAGS}${CMAKE_EXE_LINKER_FLAGS}" STREQUAL "")
  message(STATUS "Hardening: the flags given are used as they are")
  return()
endif()
# -U first: some compilers define a level of their own, and a second
# definition would be a warning.
add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
add_link_options(LINKER:-z,relro,-z,now)
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
