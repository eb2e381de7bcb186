# Native build of the portable code: unit tests and fuzz targets.
add_compile_options(-Wall -Wextra)

add_library(xelm_core STATIC ${PORTABLE_SOURCES})
target_include_directories(xelm_core PUBLIC ${CMAKE_SOURCE_DIR}/src)

if(EXISTS ${GTEST_ROOT}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_ROOT} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests/unit)
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_subdirectory(tests/fuzz)
endif()
