# The two control modules (orvex.dll, trevanil.dll) are built the same way: their objects
# with the type library and resources, then the DLL with its export list.

# orvex_add_control_objects(<target> IDL <file.idl> [IDL_DEPENDS file...] RC <file.rc>
#                           [RC_DEPENDS file...] SOURCES src... [LIBS lib...])
# An OBJECT library of a control's sources and resource script. widl compiles the IDL into
# the type library of the same name in the current build folder, which the script embeds
# as TYPELIB 1 beside RC_DEPENDS (bitmap, manifest). LIBS are linked PUBLIC.
function(orvex_add_control_objects target)
  cmake_parse_arguments(C "" "IDL;RC" "IDL_DEPENDS;RC_DEPENDS;SOURCES;LIBS" ${ARGN})
  get_filename_component(name ${C_IDL} NAME_WE)
  set(tlb ${CMAKE_CURRENT_BINARY_DIR}/${name}.tlb)
  add_custom_command(OUTPUT ${tlb}
    COMMAND ${ORVEX_WIDL} ${ORVEX_WIDL_ARCH_FLAG} -t -L ${ORVEX_WIDL_LIBRARY_DIR}
            -o ${tlb} ${CMAKE_CURRENT_SOURCE_DIR}/${C_IDL}
    DEPENDS ${C_IDL} ${C_IDL_DEPENDS} ${PROJECT_SOURCE_DIR}/activex/guid_text.h
    COMMENT "Type library ${name}.tlb")
  add_custom_target(${name}_typelib DEPENDS ${tlb})
  list(TRANSFORM C_RC_DEPENDS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  set_source_files_properties(${C_RC} PROPERTIES OBJECT_DEPENDS "${tlb};${C_RC_DEPENDS}")
  add_library(${target} OBJECT ${C_SOURCES} ${C_RC})
  add_dependencies(${target} ${name}_typelib)
  target_include_directories(${target} PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${C_LIBS})
endfunction()

# orvex_add_control_module(<name> [EXPORTS text] [DEF_FILES file...] SOURCES src... LIBS lib...)
# <name>.dll in bin/. Its module definition file (<name>.def in the current build folder)
# is EXPORTS followed by the DEF_FILES, which re-run CMake when they change. The COM entry
# points are exported by their 32-bit stdcall names ("DllGetClassObject =
# DllGetClassObject@12 PRIVATE"); 64-bit Windows has no such decoration, so the 64-bit
# test build exports them by their plain names.
function(orvex_add_control_module name)
  cmake_parse_arguments(M "" "EXPORTS" "DEF_FILES;SOURCES;LIBS" ${ARGN})
  set(text "${M_EXPORTS}")
  foreach(file ${M_DEF_FILES})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(READ ${file} file_text)
    string(APPEND text "${file_text}")
  endforeach()
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    string(REGEX REPLACE " = [A-Za-z_][A-Za-z0-9_]*@[0-9]+" "" text "${text}")
  endif()
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${name}.def)
  file(GENERATE OUTPUT ${def} CONTENT "${text}")
  add_library(${name} SHARED ${M_SOURCES} ${def})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at)
  target_link_libraries(${name} PRIVATE ${M_LIBS})
endfunction()
