# Checks that a shared library exports exactly the functions declared in tagvane.h, plus the
# data symbols named in EXTRA (a list; the simulated reader's marker).
# cmake -DNM=<nm> -DLIBRARY=<libtagvane.so> -DHEADER=<tagvane.h> [-DEXTRA=<names>] -P ...
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/TagvaneExports.cmake)
tagvane_export_names("${HEADER}" expected)
list(LENGTH expected count)
if(NOT count EQUAL 34)
  message(FATAL_ERROR "tagvane.h declares ${count} functions, expected 34: ${expected}")
endif()

execute_process(COMMAND "${NM}" -D --defined-only "${LIBRARY}"
                OUTPUT_VARIABLE listing RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}: ${errors}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(exported "")
foreach(line ${lines})
  # "<address> <type> <name>"; a symbol version suffix would be part of the name.
  if(line MATCHES "^[0-9a-fA-F]* *[A-Za-z] (.+)$")
    list(APPEND exported "${CMAKE_MATCH_1}")
  endif()
endforeach()

list(APPEND expected ${EXTRA})
list(SORT expected)
list(SORT exported)
if(NOT exported STREQUAL expected)
  set(extra ${exported})
  list(REMOVE_ITEM extra ${expected})
  set(missing ${expected})
  list(REMOVE_ITEM missing ${exported})
  message(FATAL_ERROR "exports differ from tagvane.h\n  unexpected: ${extra}\n  missing: ${missing}")
endif()
message(STATUS "${LIBRARY}: exactly the 34 exports of tagvane.h ${EXTRA}")
