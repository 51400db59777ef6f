# Checks that a DLL's export table holds exactly the names declared in tagvane.h: undecorated,
# no Name@N beside them, nothing else but the data names given in EXTRA.
# cmake -DOBJDUMP=<objdump> -DLIBRARY=<tagvane.dll> -DHEADER=<tagvane.h> [-DEXTRA=<names>]
#       -P CheckDllExports.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/TagvaneExports.cmake)
tagvane_export_names("${HEADER}" expected)
list(LENGTH expected count)
if(NOT count EQUAL 34)
  message(FATAL_ERROR "tagvane.h declares ${count} functions, expected 34: ${expected}")
endif()

list(APPEND expected ${EXTRA})

execute_process(COMMAND "${OBJDUMP}" -p "${LIBRARY}"
                OUTPUT_VARIABLE listing RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}: ${errors}")
endif()
# The name pointer table: lines "\t[   n] Name" after its heading, up to the next blank line.
string(FIND "${listing}" "[Ordinal/Name Pointer] Table" at)
if(at LESS 0)
  message(FATAL_ERROR "${LIBRARY} has no export name table")
endif()
string(SUBSTRING "${listing}" ${at} -1 table)
string(REPLACE "\n" ";" lines "${table}")
set(exported "")
foreach(line ${lines})
  if(line MATCHES "^\t\\[ *[0-9]+\\] (.+)$")
    list(APPEND exported "${CMAKE_MATCH_1}")
  elseif(exported AND line STREQUAL "")
    break()
  endif()
endforeach()

list(SORT expected)
list(SORT exported)
if(NOT exported STREQUAL expected)
  set(extra ${exported})
  list(REMOVE_ITEM extra ${expected})
  set(missing ${expected})
  list(REMOVE_ITEM missing ${exported})
  message(FATAL_ERROR "exports differ from tagvane.h\n  unexpected: ${extra}\n  missing: ${missing}")
endif()
message(STATUS "${LIBRARY}: exactly the 34 undecorated exports of tagvane.h ${EXTRA}")
