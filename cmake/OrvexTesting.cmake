# orvex_add_gtest(NAME SOURCES src... [LIBS lib...] [DIR subdir] [LABELS l...] [SERIAL])
# Builds one GoogleTest program and registers its tests with ctest. In the Windows
# build the program runs under Wine (the cross-compiling emulator); DIR puts it in a
# folder of its own under the build tree, for tests that need their own set of DLLs
# beside the program. SERIAL runs its tests alone: tests that check keyboard focus or
# the foreground window must not share the desktop with other tests' windows.
function(orvex_add_gtest name)
  cmake_parse_arguments(T "SERIAL" "DIR" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(T_DIR)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${T_DIR})
  endif()
  set(props TIMEOUT 300)
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
  endif()
  if(T_SERIAL)
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ${props})
endfunction()

# orvex_copy_beside(target file...) copies files next to a target's output after each build.
function(orvex_copy_beside target)
  foreach(f ${ARGN})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} $<TARGET_FILE_DIR:${target}>)
  endforeach()
endfunction()

# orvex_deploy_module_beside(target [WITH_DEVICE_LIBS])
# Puts orvex.dll and the older-protocol library it imports next to a test program;
# WITH_DEVICE_LIBS adds the stand-in camera and media libraries, which orvex loads from
# the program's own directory.
function(orvex_deploy_module_beside target)
  cmake_parse_arguments(D "WITH_DEVICE_LIBS" "" "" ${ARGN})
  set(libs orvex halcyra)
  if(D_WITH_DEVICE_LIBS)
    list(APPEND libs ravicore ravimedia)
  endif()
  foreach(lib ${libs})
    add_dependencies(${target} ${lib})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${lib}> $<TARGET_FILE_DIR:${target}>)
  endforeach()
endfunction()
