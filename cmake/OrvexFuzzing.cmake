# Fuzz targets of the portable code. A target is one .cpp with LLVMFuzzerTestOneInput
# and a committed seed corpus; it is built one of two ways:
#  - ORVEX_FUZZ=ON (a native tree configured with clang, `make fuzz`): a libFuzzer
#    program, instrumented together with the code it calls;
#  - the ordinary native build: a replay program that runs every corpus file once
#    (fuzz/replay_main.cpp), registered with ctest, so `make test` repeats the seeds and
#    every input that once broke a target under ASan/UBSan.
# The Windows build has none: the code under test is portable and checked natively.
option(ORVEX_FUZZ "build the libFuzzer programs (native build with clang)" OFF)

set(ORVEX_FUZZ_MANIFEST ${CMAKE_BINARY_DIR}/fuzz_targets.txt)
if(ORVEX_FUZZ)
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ORVEX_FUZZ needs a native build with clang (CC=clang CXX=clang++)")
  endif()
  # Coverage for everything the targets call; only the targets link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_custom_target(orvex_fuzzers)
  # tools/fuzz.sh reads one "name<TAB>program<TAB>corpus" line per target.
  file(WRITE ${ORVEX_FUZZ_MANIFEST} "")
endif()

# orvex_add_fuzz_target(NAME name SOURCES src... [LIBS lib...] [CORPUS dir])
# CORPUS defaults to the folder "corpus" beside the first source.
function(orvex_add_fuzz_target)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_NAME OR NOT F_SOURCES)
    message(FATAL_ERROR "orvex_add_fuzz_target: NAME and SOURCES are required")
  endif()
  if(WIN32)
    return()
  endif()
  list(GET F_SOURCES 0 first_source)
  get_filename_component(first_source ${first_source} ABSOLUTE)
  if(NOT F_CORPUS)
    get_filename_component(F_CORPUS ${first_source} DIRECTORY)
    set(F_CORPUS ${F_CORPUS}/corpus)
  endif()
  get_filename_component(F_CORPUS ${F_CORPUS} ABSOLUTE)

  if(ORVEX_FUZZ)
    set(program fuzz_${F_NAME})
    add_executable(${program} ${F_SOURCES})
    target_link_options(${program} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
    add_dependencies(orvex_fuzzers ${program})
    file(APPEND ${ORVEX_FUZZ_MANIFEST} "${F_NAME}\t${CMAKE_BINARY_DIR}/fuzzers/${program}\t${F_CORPUS}\n")
  else()
    set(program fuzz_${F_NAME}_replay)
    add_executable(${program} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    add_test(NAME fuzz_replay.${F_NAME} COMMAND ${program} ${F_CORPUS})
    set_tests_properties(fuzz_replay.${F_NAME} PROPERTIES LABELS fuzz TIMEOUT 300)
  endif()
  target_include_directories(${program} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
  target_link_libraries(${program} PRIVATE ${F_LIBS})
endfunction()
