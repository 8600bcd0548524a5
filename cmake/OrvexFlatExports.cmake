# The one reader of orvex/flatapi/flat_exports.inc for the .def files that CMake writes
# (the module's own and the test libraries that stand in for the camera and media ones).
set(ORVEX_FLAT_EXPORTS ${PROJECT_SOURCE_DIR}/orvex/flatapi/flat_exports.inc)

# orvex_flat_exports(<names_var> <lookups_var>)
# Sets <names_var> to the export names in the list's order and <lookups_var> to the name
# each one is looked up by in the libraries (the same name, or FLAT_RENAMED's third
# argument). Re-runs CMake when the list changes.
function(orvex_flat_exports names_var lookups_var)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORVEX_FLAT_EXPORTS})
  file(STRINGS ${ORVEX_FLAT_EXPORTS} lines REGEX "^FLAT_[A-Z0-9]+\\(")
  set(names)
  set(lookups)
  foreach(line ${lines})
    string(REGEX REPLACE "^FLAT_[A-Z0-9]+\\(([A-Za-z0-9_]+).*" "\\1" name "${line}")
    set(lookup ${name})
    if(line MATCHES "^FLAT_RENAMED\\([^\"]*\"([A-Za-z0-9_]+)\"")
      set(lookup ${CMAKE_MATCH_1})
    endif()
    list(APPEND names ${name})
    list(APPEND lookups ${lookup})
  endforeach()
  set(${names_var} ${names} PARENT_SCOPE)
  set(${lookups_var} ${lookups} PARENT_SCOPE)
endfunction()
