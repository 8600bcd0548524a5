# Windows tests of the control (included from CMakeLists.txt in the Windows build).
add_library(orvex_com_test_support STATIC com_test_support.cpp)
target_include_directories(orvex_com_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR})
target_link_libraries(orvex_com_test_support PUBLIC activex devsim_tool_lib ole32 oleaut32 uuid)

# orvex.dll as the COM tests load it: the shipped module's parts with a restart delay
# that the tests set (the export OrvexTestSetReRootDelay) in place of the constant. It is
# named orvex.dll like the shipped one and lives in a folder of its own.
get_target_property(orvex_parts orvex LINK_LIBRARIES)
get_target_property(orvex_link_options orvex LINK_OPTIONS)
add_library(orvex_with_test_hooks SHARED
  ${PROJECT_SOURCE_DIR}/orvex/orvex_module.cpp ${PROJECT_BINARY_DIR}/orvex/orvex.def reroot_delay_hook.cpp)
set_target_properties(orvex_with_test_hooks PROPERTIES PREFIX "" OUTPUT_NAME orvex
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testhooks)
target_include_directories(orvex_with_test_hooks PRIVATE ${PROJECT_SOURCE_DIR}/orvex/control)
target_link_options(orvex_with_test_hooks PRIVATE ${orvex_link_options})
target_link_libraries(orvex_with_test_hooks PRIVATE ${orvex_parts})

# Puts that module and the stand-in device libraries next to a test program, copied again
# whenever one of them is rebuilt (also when the program itself is not).
function(orvex_deploy_test_module_beside target)
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  set(copies)
  foreach(lib orvex_with_test_hooks halcyra ravicore ravimedia)
    get_target_property(name ${lib} OUTPUT_NAME)
    set(copy ${dir}/${name}.dll)
    add_custom_command(OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${lib}> ${copy}
      DEPENDS ${lib} $<TARGET_FILE:${lib}>)
    list(APPEND copies ${copy})
  endforeach()
  add_custom_target(${target}_modules ALL DEPENDS ${copies})
  add_dependencies(${target} ${target}_modules)
endfunction()

orvex_add_gtest(control_com_test
  SOURCES control_com_test.cpp
  LIBS orvex_com_test_support orvex_control_core
  DIR control_com)
orvex_deploy_test_module_beside(control_com_test)

# Thousands of writes and restarts, controls coming and going: each test runs alone, so
# that its load is its own, and may take minutes on a busy machine.
add_executable(control_load_test control_load_test.cpp)
set_target_properties(control_load_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/control_load)
target_link_libraries(control_load_test PRIVATE orvex_com_test_support GTest::gtest_main)
gtest_discover_tests(control_load_test
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 120
  PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
orvex_deploy_test_module_beside(control_load_test)

# Clients of our own making would prove little: regsvr32, cscript and atl.dll are
# Wine's. They share the machine's registration, so they run one at a time.
add_executable(control_clients_test control_clients_test.cpp)
set_target_properties(control_clients_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/control_clients)
target_link_libraries(control_clients_test PRIVATE orvex_com_test_support GTest::gtest_main)
gtest_discover_tests(control_clients_test
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 120
  PROPERTIES TIMEOUT 300 RESOURCE_LOCK orvex_registration)
orvex_deploy_module_beside(control_clients_test WITH_DEVICE_LIBS)
