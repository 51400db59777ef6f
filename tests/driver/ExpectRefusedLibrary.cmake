# Runs a program that binds the driver library with an environment and checks that it refuses to
# go on: a nonzero exit, every EXPECT regular expression found in its output, and no sign that it
# bound a library (no "OpenCom=" line). A program that hangs (a window shown) fails by timeout.
# cmake -DPROGRAM=<path> [-DARGS=<arg;...>] -DENV=<VAR=value;...> -DEXPECT=<regex;...>
#       -P ExpectRefusedLibrary.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${ENV} "${PROGRAM}" ${ARGS}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
set(all "${out}${err}")
if(result EQUAL 0 OR NOT result MATCHES "^[0-9]+$")
  message(FATAL_ERROR "expected a refusal with a nonzero exit, got '${result}':\n${all}")
endif()
foreach(pattern IN LISTS EXPECT)
  if(NOT all MATCHES "${pattern}")
    message(FATAL_ERROR "output lacks '${pattern}':\n${all}")
  endif()
endforeach()
if(all MATCHES "OpenCom=")
  message(FATAL_ERROR "a library was bound:\n${all}")
endif()
message(STATUS "refused as expected: ${all}")
