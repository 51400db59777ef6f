# Writes a program's man page from its --help-all text and a file of further sections
# (packaging/linux/help-to-man.awk).
# cmake -DPROGRAM=<path> -DNAME=<name> -DVERSION=<v> -DSECTIONS=<file> -DAWK_SCRIPT=<file>
#       -DOUTPUT=<file> -P ManPage.cmake
set(ENV{LC_ALL} C.UTF-8)
# The simulated reader must not write its state where the build runs.
set(ENV{TAGVANE_SIM_STATE} "${OUTPUT}.sim-state.ini")
execute_process(COMMAND "${PROGRAM}" --help-all OUTPUT_FILE "${OUTPUT}.help"
                RESULT_VARIABLE result TIMEOUT 30)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help-all: ${result}")
endif()
find_program(AWK awk REQUIRED)
execute_process(COMMAND "${AWK}" -v "program=${NAME}" -v "version=${VERSION}" -f "${AWK_SCRIPT}"
                        "${OUTPUT}.help" "${SECTIONS}"
                OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "awk: ${result}")
endif()
file(REMOVE "${OUTPUT}.help" "${OUTPUT}.sim-state.ini")
