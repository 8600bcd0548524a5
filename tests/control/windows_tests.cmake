# Windows tests of the control (included from CMakeLists.txt in the Windows build).
add_library(orvex_com_test_support STATIC com_test_support.cpp)
target_include_directories(orvex_com_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR})
target_link_libraries(orvex_com_test_support PUBLIC activex devsim_tool_lib ole32 oleaut32 uuid)

# orvex.dll as the COM tests load it: the shipped module's parts with a restart delay
# that the tests set (the export OrvexTestSetReRootDelay) in place of the constant. It is
# named orvex.dll like the shipped one and lives in a folder of its own.
orvex_add_test_module(orvex_with_test_hooks OF orvex
  SOURCES ${PROJECT_SOURCE_DIR}/orvex/orvex_module.cpp ${PROJECT_BINARY_DIR}/orvex/orvex.def reroot_delay_hook.cpp
  INCLUDES ${PROJECT_SOURCE_DIR}/orvex/control)

orvex_add_gtest(control_com_test
  SOURCES control_com_test.cpp
  LIBS orvex_com_test_support orvex_control_core
  DIR control_com)
orvex_put_beside(control_com_test orvex_with_test_hooks halcyra ravicore ravimedia)

# Hundreds of writes and restarts, a release under a call in flight: each test runs
# alone, so that its load is its own, and may take minutes on a busy machine.
orvex_add_gtest(control_load_test
  SOURCES control_load_test.cpp
  LIBS orvex_com_test_support
  DIR control_load
  TIMEOUT 900
  SERIAL)
orvex_put_beside(control_load_test orvex_with_test_hooks halcyra ravicore ravimedia)

# Clients of our own making would prove little: regsvr32, cscript and atl.dll are
# Wine's. They share the machine's registration, so they run one at a time.
orvex_add_gtest(control_clients_test
  SOURCES control_clients_test.cpp
  LIBS orvex_com_test_support
  DIR control_clients
  RESOURCE_LOCK orvex_registration)
orvex_deploy_module_beside(control_clients_test WITH_DEVICE_LIBS)
