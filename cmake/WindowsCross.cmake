# What the cross build for Windows takes from the build machine: GoogleTest built from the
# sources Debian ships (with the cross compiler), the header-only CLI11, and Wine to run the
# test programs (tools/wine.sh; drive Z: is the build machine's /).

# GoogleTest and GoogleMock, as static libraries of this build (they define the GTest:: names).
set(LEDGRIX_GOOGLETEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${LEDGRIX_GOOGLETEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# CLI11 is headers only: the build machine's headers, without the rest of its include folder.
set(cli11_headers ${CMAKE_BINARY_DIR}/cli11-include)
file(MAKE_DIRECTORY ${cli11_headers})
file(CREATE_LINK /usr/include/CLI ${cli11_headers}/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${cli11_headers})

# Tests (and their discovery, when ctest starts) run under Wine, in a Wine prefix of this build.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix
  sh ${CMAKE_SOURCE_DIR}/tools/wine.sh)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
