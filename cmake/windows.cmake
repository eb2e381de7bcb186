# The plug-in DLL, the host stand-in and the Win32 tests (run under Wine).
if(MSVC)
  add_compile_options(/W4 /EHs-c-)
else()
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
  # Product code never throws; Win32 callbacks cannot unwind exceptions here.
  # Nor does it ask for a type at run time: without type information the COM
  # object's class brings no part of the C++ runtime's into the DLL.
  set(NO_EXCEPTIONS -fno-exceptions -fno-rtti)
endif()

# Built files land in the tree's bin/; the Makefile copies them to dist/.
set(BIN_DIR ${CMAKE_BINARY_DIR}/bin)

# The version, written once as the project's VERSION, reaches the version
# resource and the version functions through one generated header.
set(GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/src/resources/plugin_version.h.in ${GENERATED_DIR}/plugin_version.h @ONLY)
# For the release scripts: the same version as plain text.
file(WRITE ${CMAKE_BINARY_DIR}/version.txt "${PROJECT_VERSION}\n")

add_library(xelm_objects OBJECT ${PORTABLE_SOURCES} ${WIN32_SOURCES})
target_include_directories(xelm_objects PUBLIC ${CMAKE_SOURCE_DIR}/src ${GENERATED_DIR})
target_compile_options(xelm_objects PRIVATE ${NO_EXCEPTIONS})
target_compile_definitions(xelm_objects PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
# The accessible object: system libraries of every Windows, linked wherever
# the objects are.
target_link_libraries(xelm_objects INTERFACE oleacc ole32 oleaut32 uuid)

add_library(XELMCalendar SHARED
  $<TARGET_OBJECTS:xelm_objects>
  ${CMAKE_SOURCE_DIR}/src/resources/XELMCalendar.rc
  ${CMAKE_SOURCE_DIR}/src/resources/XELMCalendar.def)
set_target_properties(XELMCalendar PROPERTIES PREFIX "" SUFFIX ".fmx"
  RUNTIME_OUTPUT_DIRECTORY ${BIN_DIR})
target_include_directories(XELMCalendar PRIVATE ${CMAKE_SOURCE_DIR}/src ${GENERATED_DIR})
target_link_libraries(XELMCalendar PRIVATE user32 gdi32 advapi32 oleacc ole32 oleaut32 uuid)
if(NOT MSVC)
  # Static C and C++ runtimes: the DLL imports system DLLs only. Stripped and
  # without the link time in its header, so that the same sources give the
  # same bytes wherever and whenever they are built.
  target_link_options(XELMCalendar PRIVATE -static -static-libgcc -static-libstdc++ -s
                      -Wl,--no-insert-timestamp)
  # The accessible object is asked a few hundred questions a second at most:
  # made for size, it is a fifth of what -O2's inlining makes of it. A line
  # coverage build (XELM_COVERAGE, the mutation run's) keeps every file at
  # the -O0 it asks for, where each line's count is exact.
  if(NOT XELM_COVERAGE)
    set_source_files_properties(${CMAKE_SOURCE_DIR}/src/popups/calendar_accessible_win32.cpp
                                ${CMAKE_SOURCE_DIR}/src/common/com_objects_win32.cpp
                                PROPERTIES COMPILE_OPTIONS -Os)
  endif()
  # No folder of the build machine in what the compiler writes.
  target_compile_options(xelm_objects PRIVATE -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
                         -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
endif()

set(WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run)

if(CMAKE_HOST_UNIX AND NOT MSVC)
  # The plug-in built again from a copy of the sources in another folder must
  # come out byte for byte the same.
  add_test(NAME reproducible_plugin
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-reproducible $<TARGET_FILE:XELMCalendar>)
  # Every function the plug-in imports is known, and none needs a Windows
  # newer than the oldest one the users' guide states.
  add_test(NAME plugin_imports
           COMMAND ${CMAKE_COMMAND} -E env OBJDUMP=${CMAKE_OBJDUMP}
                   ${CMAKE_SOURCE_DIR}/tests/platform/check-imports $<TARGET_FILE:XELMCalendar>)
endif()

# The host stand-in needs stb_image_write (Debian's libstb-dev) and the tests
# googletest's sources; a build without them makes the plug-in alone.
set(STB_INCLUDE_DIR /usr/include/stb CACHE PATH "folder holding stb_image_write.h")
if(EXISTS ${STB_INCLUDE_DIR}/stb_image_write.h)
  add_subdirectory(tools/hostsim)
  add_subdirectory(tools/bench)
  if(CMAKE_HOST_UNIX)
    # Every worked example of the users' guide, run through this tree's hostsim.
    add_test(NAME guide_examples COMMAND ${CMAKE_SOURCE_DIR}/scripts/guide-examples)
    set_tests_properties(guide_examples PROPERTIES TIMEOUT 600 ENVIRONMENT XELM_CROSS=${CMAKE_BINARY_DIR})
  endif()
  if(EXISTS ${GTEST_ROOT}/CMakeLists.txt)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${GTEST_ROOT} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    add_subdirectory(tests/win32)
  endif()
endif()
