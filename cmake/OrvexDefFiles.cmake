# orvex_write_def(OUTPUT file TEXT text)
# Writes a module definition file. The COM entry points are exported by their 32-bit
# stdcall names ("DllGetClassObject = DllGetClassObject@12 PRIVATE"); 64-bit Windows
# has no such decoration, so the 64-bit test build exports them by their plain names.
function(orvex_write_def)
  cmake_parse_arguments(D "" "OUTPUT;TEXT" "" ${ARGN})
  set(text "${D_TEXT}")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    string(REGEX REPLACE " = [A-Za-z_][A-Za-z0-9_]*@[0-9]+" "" text "${text}")
  endif()
  file(GENERATE OUTPUT ${D_OUTPUT} CONTENT "${text}")
endfunction()
