# orvex_add_gtest(NAME SOURCES src... [LIBS lib...] [DIR subdir] [LABELS l...] [SERIAL]
#                 [TIMEOUT seconds] [RESOURCE_LOCK name])
# Builds one GoogleTest program and registers its tests with ctest. In the Windows
# build the program runs under Wine (the cross-compiling emulator); DIR puts it in a
# folder of its own under the build tree, for tests that need their own set of DLLs
# beside the program. SERIAL runs its tests alone: tests that check keyboard focus or
# the foreground window must not share the desktop with other tests' windows.
# RESOURCE_LOCK keeps tests that share one machine-wide thing (the registration of the
# modules) apart; TIMEOUT (default 300) is per test.
function(orvex_add_gtest name)
  cmake_parse_arguments(T "SERIAL" "DIR;TIMEOUT;RESOURCE_LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(T_DIR)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${T_DIR})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(props TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
  endif()
  if(T_SERIAL)
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  if(T_RESOURCE_LOCK)
    list(APPEND props RESOURCE_LOCK ${T_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ${props})
endfunction()

# orvex_put_beside(target lib...)
# Puts the DLLs (or programs) of these targets next to a test program, by their output
# names, and copies them again whenever one of them is rebuilt, also when the program
# itself is not (a copy made only after the program's link would leave a stale one).
function(orvex_put_beside target)
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    set(dir ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(stamps)
  foreach(lib ${ARGN})
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_beside.${lib}.stamp)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${lib}> ${dir}/$<TARGET_FILE_NAME:${lib}>
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${lib} $<TARGET_FILE:${lib}>)
    list(APPEND stamps ${stamp})
  endforeach()
  add_custom_target(${target}_beside ALL DEPENDS ${stamps})
  add_dependencies(${target} ${target}_beside)
endfunction()

# orvex_deploy_module_beside(target [WITH_DEVICE_LIBS] [lib...])
# orvex.dll and the older-protocol library it imports next to a test program, and the
# libs given; WITH_DEVICE_LIBS adds the stand-in camera and media libraries, which orvex
# loads from the program's own directory.
function(orvex_deploy_module_beside target)
  cmake_parse_arguments(D "WITH_DEVICE_LIBS" "" "" ${ARGN})
  set(libs orvex halcyra)
  if(D_WITH_DEVICE_LIBS)
    list(APPEND libs ravicore ravimedia)
  endif()
  orvex_put_beside(${target} ${libs} ${D_UNPARSED_ARGUMENTS})
endfunction()

# orvex_add_test_module(NAME OF shipped SOURCES src... [INCLUDES dir...])
# The tests' build of a shipped module: the shipped module's parts, link options and
# export list, with SOURCES (its settable seams, and what else the shipped target
# compiles itself) in place of the shipped seams. It has the shipped module's file name
# and lives in the build tree's testhooks/ folder; the shipped module never has the seams.
function(orvex_add_test_module name)
  cmake_parse_arguments(M "" "OF" "SOURCES;INCLUDES" ${ARGN})
  get_target_property(parts ${M_OF} LINK_LIBRARIES)
  get_target_property(options ${M_OF} LINK_OPTIONS)
  get_target_property(output ${M_OF} OUTPUT_NAME)
  add_library(${name} SHARED ${M_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${output}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testhooks)
  target_include_directories(${name} PRIVATE ${M_INCLUDES})
  target_link_options(${name} PRIVATE ${options})
  target_link_libraries(${name} PRIVATE ${parts})
endfunction()
