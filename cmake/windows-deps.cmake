# Dependencies of the Windows cross build (preset "windows"). Debian ships GoogleTest and CLI11
# for the host only, so GoogleTest is built here from its sources (package googletest) with the
# cross compiler, and the header-only CLI11 is used from the host's headers.

if(TJVX_BUILD_TESTS)
  set(TJVX_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TJVX_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# Only the CLI folder is put on the include path (through a link of its own), never the host's
# /usr/include, whose C library headers would shadow the Windows ones.
set(TJVX_CLI11_HEADERS /usr/include/CLI CACHE PATH "CLI11 headers for the cross build")
if(EXISTS ${TJVX_CLI11_HEADERS}/CLI.hpp AND NOT TARGET CLI11::CLI11)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/cli11-include)
  file(CREATE_LINK ${TJVX_CLI11_HEADERS} ${CMAKE_BINARY_DIR}/cli11-include/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  target_include_directories(CLI11::CLI11 INTERFACE ${CMAKE_BINARY_DIR}/cli11-include)
endif()

# The tests read the samples from the repository, which Wine shows as Z:<path> (Z: is "/"). A
# path without its drive would be taken on whatever drive a test has made current.
set(TJVX_TESTS_SOURCE_DIR "Z:${PROJECT_SOURCE_DIR}")

# nlohmann/json (the JSON report of `tjvx check`) is header-only too: its folder is linked in the
# same way.
set(TJVX_JSON_HEADERS /usr/include/nlohmann CACHE PATH "nlohmann/json headers for the cross build")
if(EXISTS ${TJVX_JSON_HEADERS}/json.hpp AND NOT TARGET nlohmann_json::nlohmann_json)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/json-include)
  file(CREATE_LINK ${TJVX_JSON_HEADERS} ${CMAKE_BINARY_DIR}/json-include/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${CMAKE_BINARY_DIR}/json-include)
endif()
