# The native Linux tree: portable libraries, the simulated desktop and the
# unit and contract tests, all built with AddressSanitizer and UBSan.

find_package(GTest REQUIRED)
include(GoogleTest)

set(OM_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(${OM_WARNINGS} ${OM_SANITIZE})
add_link_options(${OM_SANITIZE})

add_library(om_core STATIC ${OM_PORTABLE_SOURCES})
target_include_directories(om_core PUBLIC ${OM_SRC})

file(GLOB_RECURSE OM_FAKE_SOURCES CONFIGURE_DEPENDS ${OM_SRC}/platform/fake/*.cc)
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
  target_compile_options(om_bench PRIVATE -O2)
  target_link_libraries(om_bench PRIVATE om_fake om_core benchmark::benchmark benchmark::benchmark_main)
endif()
