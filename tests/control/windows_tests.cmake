# Windows tests of the control (included from CMakeLists.txt in the Windows build).
add_library(orvex_com_test_support STATIC com_test_support.cpp)
target_include_directories(orvex_com_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR})
target_link_libraries(orvex_com_test_support PUBLIC devsim_tool_lib ole32 oleaut32 uuid)

orvex_add_gtest(control_com_test
  SOURCES control_com_test.cpp
  LIBS orvex_com_test_support orvex_control_core
  DIR control_com)
orvex_deploy_module_beside(control_com_test WITH_DEVICE_LIBS)

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
