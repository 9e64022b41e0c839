# The native Linux tree: portable libraries, the simulated desktop and the
# unit and contract tests, all built with AddressSanitizer and UBSan.

find_package(GTest REQUIRED)
include(GoogleTest)

# With OM_BENCH (make bench: a Release tree of its own) the sanitizers stay
# out, so that the figures are the program's.
option(OM_BENCH "Build for the benchmarks: no sanitizers" OFF)
set(OM_SANITIZE -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer)
if(OM_BENCH)
  set(OM_SANITIZE)
endif()
add_compile_options(${OM_WARNINGS} ${OM_SANITIZE})
add_link_options(${OM_SANITIZE})

add_library(om_core STATIC ${OM_PORTABLE_SOURCES})
target_include_directories(om_core PUBLIC ${OM_SRC})

# The simulated desktop, with the native adapters (platform/posix) that the
# tests and benchmarks use where they work on real files.
file(GLOB_RECURSE OM_FAKE_SOURCES CONFIGURE_DEPENDS ${OM_SRC}/platform/fake/*.cc ${OM_SRC}/platform/posix/*.cc)
add_library(om_fake STATIC ${OM_FAKE_SOURCES})
target_link_libraries(om_fake PUBLIC om_core)

# Native tests: everything under tests/ except the Windows-only folder.
file(GLOB_RECURSE OM_NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${OM_TESTS}/*.cc)
list(FILTER OM_NATIVE_TEST_SOURCES EXCLUDE REGEX "/tests/win32/")
add_executable(om_tests ${OM_NATIVE_TEST_SOURCES})
target_include_directories(om_tests PRIVATE ${OM_TESTS})
target_link_libraries(om_tests PRIVATE om_fake om_core GTest::gtest GTest::gmock GTest::gtest_main)
gtest_discover_tests(om_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)

# Benchmarks (make bench), never part of the tests.
file(GLOB OM_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cc)
if(OM_BENCH_SOURCES)
  find_package(benchmark REQUIRED)
  add_executable(om_bench EXCLUDE_FROM_ALL ${OM_BENCH_SOURCES})
  target_compile_options(om_bench PRIVATE -O3)
  target_link_libraries(om_bench PRIVATE om_fake om_core benchmark::benchmark benchmark::benchmark_main)
endif()

# Fuzz targets (fuzz/*_fuzz.cc) as ordinary programs with a replay main:
# the tests write each target's seed corpus and replay it under the
# sanitizers, so the targets always build and the seeds never crash. The
# fuzzing itself runs in the clang tree (cmake/fuzz.cmake, make fuzz).
file(GLOB OM_FUZZ_TARGET_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cc)
foreach(source ${OM_FUZZ_TARGET_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" target ${name})
  add_executable(${target}_replay ${source} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cc)
  target_include_directories(${target}_replay PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target}_replay PRIVATE om_fake om_core)
  set(seeds ${CMAKE_BINARY_DIR}/fuzz-seeds/${target})
  add_test(NAME fuzz_seeds.${target} COMMAND ${target}_replay --write-seeds ${seeds})
  add_test(NAME fuzz_replay.${target} COMMAND ${target}_replay ${seeds})
  set_tests_properties(fuzz_seeds.${target} PROPERTIES FIXTURES_SETUP fuzz_seeds_${target})
  set_tests_properties(fuzz_replay.${target} PROPERTIES FIXTURES_REQUIRED fuzz_seeds_${target} TIMEOUT 120)
endforeach()
