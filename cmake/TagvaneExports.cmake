# The export lists of libraries with the driver library's C interface, made from the list of its
# operations (TAGVANE_OPERATIONS in src/driver/tagvane_operations.h), so that the binding, the
# module-definition files, the version scripts and the export checks all follow that one list.
# May be included by a script (cmake -P) as well.

# tagvane_operations(<header> <names var> <parameter counts var>)
# The operations in the order of the list, each with the number of its parameters. <header> is
# the list itself or a header that includes it (tagvane.h).
function(tagvane_operations header names_var counts_var)
  file(READ "${header}" text)
  set(included "")
  if(NOT text MATCHES "#define TAGVANE_OPERATIONS\\(X\\)")
    get_filename_component(dir "${header}" DIRECTORY)
    if(text MATCHES "#include \"([A-Za-z_./]*tagvane_operations\\.h)\"")
      get_filename_component(included "${CMAKE_MATCH_1}" NAME)
      file(READ "${dir}/${included}" text)
    endif()
  endif()
  if(NOT CMAKE_SCRIPT_MODE_FILE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${header}")
    if(included)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${dir}/${included}")
    endif()
  endif()
  # The list is one macro: join its continued lines, then take its body alone.
  string(REPLACE "\\\n" " " text "${text}")
  string(FIND "${text}" "#define TAGVANE_OPERATIONS(X)" at)
  if(at LESS 0)
    message(FATAL_ERROR "${header}: no TAGVANE_OPERATIONS list")
  endif()
  string(SUBSTRING "${text}" ${at} -1 text)
  string(FIND "${text}" "\n" end)
  string(SUBSTRING "${text}" 0 ${end} text)
  string(REGEX MATCHALL "X\\([A-Za-z0-9_]+, *[A-Za-z_][A-Za-z0-9_]*, *\\([^)]*\\)" entries
         "${text}")
  set(names "")
  set(counts "")
  foreach(entry ${entries})
    string(REGEX REPLACE "^X\\([A-Za-z0-9_]+, *([A-Za-z0-9_]+), *\\(([^)]*)\\)$" "\\1" name
           "${entry}")
    string(REGEX REPLACE "^X\\([A-Za-z0-9_]+, *([A-Za-z0-9_]+), *\\(([^)]*)\\)$" "\\2" params
           "${entry}")
    string(STRIP "${params}" params)
    if(params STREQUAL "void" OR params STREQUAL "")
      set(n 0)
    else()
      string(REGEX MATCHALL "," commas "${params}")
      list(LENGTH commas n)
      math(EXPR n "${n} + 1")
    endif()
    list(APPEND names ${name})
    list(APPEND counts ${n})
  endforeach()
  set(${names_var} ${names} PARENT_SCOPE)
  set(${counts_var} ${counts} PARENT_SCOPE)
endfunction()

# tagvane_export_names(<header> <out var>): the export names alone.
function(tagvane_export_names header out_var)
  tagvane_operations("${header}" names counts)
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()

# tagvane_write_def(<def file> <library name> <header> [EXCLUDE name...] [DATA name...])
# A module-definition file for a DLL. The exports are the undecorated names and nothing else; on
# 32-bit x86 each name aliases the __stdcall symbol Name@N (N = 4 bytes per argument: every
# argument is a 32-bit integer, a byte or a pointer, each passed in one 4-byte stack slot), so no
# Name@N is exported beside it. DATA names data symbols exported beside the functions (the
# simulated reader's marker).
function(tagvane_write_def def_file library header)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;DATA" ${ARGN})
  tagvane_operations("${header}" names counts)
  set(body "LIBRARY ${library}\nEXPORTS\n")
  foreach(name count IN ZIP_LISTS names counts)
    if(name IN_LIST ARG_EXCLUDE)
      continue()
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      math(EXPR bytes "4 * ${count}")
      string(APPEND body "  ${name} = ${name}@${bytes}\n")
    else()
      string(APPEND body "  ${name}\n")
    endif()
  endforeach()
  foreach(name ${ARG_DATA})
    string(APPEND body "  ${name} DATA\n")
  endforeach()
  file(CONFIGURE OUTPUT "${def_file}" CONTENT "${body}" @ONLY)
endfunction()

# tagvane_write_version_script(<map file> <header> [EXCLUDE name...] [DATA name...])
# A linker version script exporting the operations (less those excluded) and the data symbols
# named; everything else stays local.
function(tagvane_write_version_script map_file header)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;DATA" ${ARGN})
  tagvane_export_names("${header}" names)
  if(ARG_EXCLUDE)
    list(REMOVE_ITEM names ${ARG_EXCLUDE})
  endif()
  list(APPEND names ${ARG_DATA})
  list(JOIN names ";\n    " body)
  file(CONFIGURE OUTPUT "${map_file}"
       CONTENT "{\n  global:\n    ${body};\n  local:\n    *;\n};\n" @ONLY)
endfunction()
