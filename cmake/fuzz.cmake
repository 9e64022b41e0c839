# The fuzzing tree (make fuzz): clang with libFuzzer, AddressSanitizer and
# UBSan. The portable code is instrumented for coverage; each fuzz target
# (fuzz/*_fuzz.cc) becomes TARGET_fuzz, linked with libFuzzer's main, and
# TARGET_replay, which writes the seed corpus and replays inputs as the
# native tree's copy does. No tests and no Windows code here.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "The fuzzing tree needs clang++ (libFuzzer): configure it with -DCMAKE_CXX_COMPILER=clang++")
endif()

set(OM_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(${OM_WARNINGS} ${OM_SANITIZE} -fsanitize=fuzzer-no-link -O1 -g)
add_link_options(${OM_SANITIZE})

add_library(om_core STATIC ${OM_PORTABLE_SOURCES})
target_include_directories(om_core PUBLIC ${OM_SRC})

# As in the native tree: the simulated desktop with the native adapters.
file(GLOB_RECURSE OM_FAKE_SOURCES CONFIGURE_DEPENDS ${OM_SRC}/platform/fake/*.cc ${OM_SRC}/platform/posix/*.cc)
add_library(om_fake STATIC ${OM_FAKE_SOURCES})
target_link_libraries(om_fake PUBLIC om_core)

file(GLOB OM_FUZZ_TARGET_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cc)
foreach(source ${OM_FUZZ_TARGET_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" target ${name})
  add_executable(${target}_fuzz ${source})
  target_include_directories(${target}_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target}_fuzz PRIVATE om_fake om_core)
  target_link_options(${target}_fuzz PRIVATE -fsanitize=fuzzer)
  add_executable(${target}_replay ${source} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cc)
  target_include_directories(${target}_replay PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target}_replay PRIVATE om_fake om_core)
endforeach()
