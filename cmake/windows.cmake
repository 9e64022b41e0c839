# The Windows tree, cross-compiled with MinGW-w64: Ottermoor.exe, the Windows
# test executables and the helper programs they start. Everything is linked
# statically so the programs run anywhere (and under Wine) on their own.

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_options(${OM_WARNINGS})
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

set(OM_WIN32_LIBS user32 gdi32 comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 uuid advapi32 winmm)

add_library(om_core STATIC ${OM_PORTABLE_SOURCES})
target_include_directories(om_core PUBLIC ${OM_SRC})

# The Win32 layer: every .cc in a win32/ folder under src/, except the
# program's entry point.
file(GLOB_RECURSE OM_WIN32_SOURCES CONFIGURE_DEPENDS ${OM_SRC}/*/win32/*.cc ${OM_SRC}/*/*/win32/*.cc)
list(FILTER OM_WIN32_SOURCES EXCLUDE REGEX "/app/win32/winmain\\.cc$")
add_library(om_win32 STATIC ${OM_WIN32_SOURCES})
target_link_libraries(om_win32 PUBLIC om_core ${OM_WIN32_LIBS})

# The artwork (the image lists' bitmaps and the icons) is drawn at build time
# by scripts/make-artwork, built with the build machine's own compiler; it
# writes the resource script that puts the images into the programs. The
# icons also go next to the programs, which load them from their folder.
find_program(OM_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
set(OM_ART_DIR ${CMAKE_BINARY_DIR}/artwork)
set(OM_ART_TOOL ${OM_ART_DIR}/make_artwork${CMAKE_HOST_EXECUTABLE_SUFFIX})
set(OM_ART_SOURCE ${CMAKE_SOURCE_DIR}/scripts/make-artwork/make_artwork.cc)
set(OM_ART_RC ${OM_ART_DIR}/artwork.rc)
set(OM_ART_ICONS ${OM_ART_DIR}/32n16.ico ${OM_ART_DIR}/16x16.ico ${OM_ART_DIR}/16x16_no.ico)
set(OM_ART_BIN_ICONS ${CMAKE_BINARY_DIR}/bin/32n16.ico ${CMAKE_BINARY_DIR}/bin/16x16.ico
                     ${CMAKE_BINARY_DIR}/bin/16x16_no.ico)
add_custom_command(OUTPUT ${OM_ART_TOOL}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${OM_ART_DIR}
  COMMAND ${OM_HOST_CXX} -std=c++17 -O1 ${OM_WARNINGS} ${OM_ART_SOURCE} -o ${OM_ART_TOOL}
  DEPENDS ${OM_ART_SOURCE}
  COMMENT "Building the artwork tool" VERBATIM)
add_custom_command(OUTPUT ${OM_ART_RC} ${OM_ART_ICONS} ${OM_ART_BIN_ICONS}
  COMMAND ${OM_ART_TOOL} ${OM_ART_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin
  COMMAND ${CMAKE_COMMAND} -E copy ${OM_ART_ICONS} ${CMAKE_BINARY_DIR}/bin
  DEPENDS ${OM_ART_TOOL}
  COMMENT "Drawing the artwork" VERBATIM)
# The programs depend on this target rather than on the command, so that two
# of them never draw at the same time.
add_custom_target(om_artwork DEPENDS ${OM_ART_RC} ${OM_ART_BIN_ICONS})

file(GLOB OM_RESOURCES CONFIGURE_DEPENDS ${OM_SRC}/app/win32/*.rc)
add_executable(Ottermoor WIN32 ${OM_SRC}/app/win32/winmain.cc ${OM_RESOURCES} ${OM_ART_RC})
# windres looks for the files the resource scripts name in these folders.
target_include_directories(Ottermoor PRIVATE ${OM_SRC}/app/win32 ${OM_ART_DIR})
target_link_libraries(Ottermoor PRIVATE om_win32 om_core)
add_dependencies(Ottermoor om_artwork)

# libjpeg-turbo from Debian's source package (see scripts/build-libjpeg-win).
set(OM_JPEG_DIR ${CMAKE_BINARY_DIR}/deps/libjpeg-turbo)
execute_process(
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-libjpeg-win ${OM_JPEG_DIR} ${CMAKE_TOOLCHAIN_FILE}
  RESULT_VARIABLE OM_JPEG_RESULT)
if(NOT OM_JPEG_RESULT EQUAL 0)
  message(FATAL_ERROR "libjpeg-turbo for Windows could not be built")
endif()
add_library(om_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(om_jpeg PROPERTIES
  IMPORTED_LOCATION ${OM_JPEG_DIR}/install/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${OM_JPEG_DIR}/install/include)

# GoogleTest from Debian's sources.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The foreign application the Windows tests start as a second process.
file(GLOB OM_CLIPTOOL_SOURCES CONFIGURE_DEPENDS ${OM_TESTS}/win32/cliptool/*.cc)
add_executable(cliptool ${OM_CLIPTOOL_SOURCES})
target_include_directories(cliptool PRIVATE ${OM_SRC} ${OM_TESTS})
target_link_libraries(cliptool PRIVATE ${OM_WIN32_LIBS})

# Windows tests: the port contract suites against the Win32 adapters, and the
# tests that need the real system.
file(GLOB OM_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${OM_TESTS}/contract/*.cc ${OM_TESTS}/win32/*.cc)
# The test program carries the artwork too (the main window's tests load the
# image lists from their own program), but not the program's manifest.
add_executable(om_win32_tests ${OM_WIN_TEST_SOURCES} ${OM_ART_RC})
target_include_directories(om_win32_tests PRIVATE ${OM_TESTS} ${OM_ART_DIR})
target_link_libraries(om_win32_tests PRIVATE om_win32 om_core gtest_main gmock)
add_dependencies(om_win32_tests cliptool om_artwork Ottermoor)

# Link check for the JPEG encoder: compresses a small image under Wine.
add_executable(jpeg_link_check ${OM_TESTS}/win32/jpeg/jpeg_link_check.c)
target_link_libraries(jpeg_link_check PRIVATE om_jpeg)

# Every Windows test runs under Wine through scripts/wine-run, in the build's
# own prefix, with a hard time limit of its own; the clipboard is one per
# desktop, so they run one at a time.
set(OM_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run)
function(om_wine_test name timeout)
  add_test(NAME ${name} COMMAND ${OM_WINE_RUN} ${ARGN})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${timeout} RUN_SERIAL TRUE
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;OM_WINE_TIMEOUT=${timeout}")
endfunction()
om_wine_test(win32_tests 600 $<TARGET_FILE:om_win32_tests> --gtest_color=no)
om_wine_test(jpeg_link_check 120 $<TARGET_FILE:jpeg_link_check>)

# The benchmarks of the real program under Wine (make bench-wine): the clip
# list at scale and a find over every collection, never part of the build
# or the tests.
function(om_wine_bench name source)
  add_executable(${name} EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/wine/${source}
                                          ${CMAKE_SOURCE_DIR}/bench/wine/bench_support.cc
                                          ${OM_TESTS}/win32/child_process.cc)
  target_include_directories(${name} PRIVATE ${OM_TESTS}/win32)
  target_compile_options(${name} PRIVATE -Wno-missing-field-initializers)
  target_link_libraries(${name} PRIVATE om_win32 om_core psapi)
  add_dependencies(${name} Ottermoor)
endfunction()
om_wine_bench(om_list_bench list_bench.cc)
om_wine_bench(om_find_bench find_bench.cc)
