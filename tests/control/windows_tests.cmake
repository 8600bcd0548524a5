# Windows tests of the control (included from CMakeLists.txt in the Windows build).
add_library(orvex_com_test_support STATIC com_test_support.cpp)
target_include_directories(orvex_com_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR})
target_link_libraries(orvex_com_test_support PUBLIC devsim_tool_lib ole32 oleaut32 uuid)

orvex_add_gtest(control_com_test
  SOURCES control_com_test.cpp
  LIBS orvex_com_test_support
  DIR control_com)
orvex_deploy_module_beside(control_com_test WITH_DEVICE_LIBS)
