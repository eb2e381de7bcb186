# Native build of the portable code: unit tests and fuzz targets.
add_compile_options(-Wall -Wextra)

add_library(xelm_core STATIC ${PORTABLE_SOURCES})
target_include_directories(xelm_core PUBLIC ${CMAKE_SOURCE_DIR}/src)

if(EXISTS ${GTEST_ROOT}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_ROOT} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests/unit)
endif()

if(CMAKE_HOST_UNIX)
  add_subdirectory(tests/docs)
  # scripts/install-deps against stand-in package tools that fail the way a
  # package mirror in mid-sync makes the real ones fail.
  add_test(NAME setup_install_deps COMMAND ${CMAKE_SOURCE_DIR}/tests/setup/check-install-deps)
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_subdirectory(tests/fuzz)
endif()

# The screenshot comparison behind scripts/compare-shots (stb_image from
# Debian's libstb-dev).
set(STB_INCLUDE_DIR /usr/include/stb CACHE PATH "folder holding stb_image.h")
if(EXISTS ${STB_INCLUDE_DIR}/stb_image.h)
  add_executable(compare_shots tools/compare_shots/compare_shots.cpp)
  target_include_directories(compare_shots SYSTEM PRIVATE ${STB_INCLUDE_DIR})
endif()
