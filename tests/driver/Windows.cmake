# The binding of tagvane.dll on Windows: stub DLLs that lack exports, the simulated DLL in the
# programs' "simulator" folder, and where the search looks (program folder first, never the
# current directory, no fallback to the simulator when a present library fails).
include(${PROJECT_SOURCE_DIR}/cmake/TagvaneExports.cmake)
set(header ${PROJECT_SOURCE_DIR}/src/driver/tagvane.h)

function(uhf_stub_dll target dir output_name)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  tagvane_write_def(${def} ${output_name}.dll ${header} EXCLUDE ${ARGN})
  add_library(${target} SHARED StubDriver.cpp ${def})
  target_compile_definitions(${target} PRIVATE TAGVANE_BUILDING_LIBRARY STUB_STATUS=100)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${output_name}
    RUNTIME_OUTPUT_DIRECTORY ${dir} ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${target})
endfunction()

set(stubs ${CMAKE_CURRENT_BINARY_DIR}/stubs)
uhf_stub_dll(stub_no_buzzer ${stubs} stub_no_buzzer UhfSetBuzzer)
uhf_stub_dll(stub_no_opencom_no_buzzer ${stubs} stub_no_opencom_no_buzzer OpenCom UhfSetBuzzer)
uhf_stub_dll(stub_no_a_hex ${stubs} stub_no_a_hex a_hex)
uhf_stub_dll(stub_complete ${stubs} stub_complete)

uhf_add_test(driver_tests LibraryDriverTest.cpp)
target_link_libraries(driver_tests PRIVATE uhf_driver)
target_compile_options(driver_tests PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/PosixEnv_win.h)
target_compile_definitions(driver_tests PRIVATE
  "STUB_NO_BUZZER=\"$<TARGET_FILE:stub_no_buzzer>\""
  "STUB_NO_OPENCOM_NO_BUZZER=\"$<TARGET_FILE:stub_no_opencom_no_buzzer>\""
  "STUB_NO_A_HEX=\"$<TARGET_FILE:stub_no_a_hex>\""
  "STUB_COMPLETE=\"$<TARGET_FILE:stub_complete>\"")
add_dependencies(driver_tests tagvane stub_no_buzzer stub_no_opencom_no_buzzer stub_no_a_hex
  stub_complete)

# One probe per layout, each in a folder of its own: it prints what OpenCom answers (0 from the
# simulated reader, 100 from the stub) and whether the library is the simulated reader, or the
# binding's error.
set(layouts ${CMAKE_BINARY_DIR}/driver-layouts)
function(uhf_probe name)
  add_executable(driver_probe_${name} DriverProbe.cpp)
  target_link_libraries(driver_probe_${name} PRIVATE uhf_driver)
  set_target_properties(driver_probe_${name} PROPERTIES OUTPUT_NAME driver_probe
    RUNTIME_OUTPUT_DIRECTORY ${layouts}/${name})
  # Every layout also holds the simulated reader in its subfolder.
  add_custom_command(TARGET driver_probe_${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${layouts}/${name}/simulator
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tagvane> ${layouts}/${name}/simulator/)
  add_dependencies(driver_probe_${name} tagvane)
endfunction()

uhf_probe(simulated)  # nothing beside the program
uhf_probe(vendor)     # a complete tagvane.dll beside the program
uhf_stub_dll(stub_vendor ${layouts}/vendor tagvane)
add_dependencies(driver_probe_vendor stub_vendor)
uhf_probe(incomplete)  # a tagvane.dll beside the program that lacks an export
uhf_stub_dll(stub_incomplete ${layouts}/incomplete tagvane UhfSetBuzzer)
add_dependencies(driver_probe_incomplete stub_incomplete)
uhf_probe(broken)  # a tagvane.dll beside the program that is no DLL at all
file(WRITE ${layouts}/broken/tagvane.dll "not a library\n")
# A folder holding a complete tagvane.dll, to be the current directory of a probe elsewhere.
uhf_stub_dll(stub_planted ${layouts}/planted tagvane)
add_dependencies(driver_probe_simulated stub_planted)

set(state "TAGVANE_SIM_STATE=${CMAKE_CURRENT_BINARY_DIR}/probe-state.ini")
add_test(NAME driver_search_finds_simulated_library COMMAND driver_probe_simulated)
set_tests_properties(driver_search_finds_simulated_library PROPERTIES ENVIRONMENT "${state}"
  PASS_REGULAR_EXPRESSION "^OpenCom=0 simulated=1\r?\n$")
add_test(NAME driver_search_prefers_program_folder COMMAND driver_probe_vendor)
set_tests_properties(driver_search_prefers_program_folder PROPERTIES ENVIRONMENT "${state}"
  PASS_REGULAR_EXPRESSION "^OpenCom=100 simulated=0\r?\n$")
add_test(NAME driver_search_ignores_current_directory COMMAND driver_probe_simulated)
set_tests_properties(driver_search_ignores_current_directory PROPERTIES ENVIRONMENT "${state}"
  WORKING_DIRECTORY ${layouts}/planted PASS_REGULAR_EXPRESSION "^OpenCom=0 simulated=1\r?\n$")
add_test(NAME driver_search_no_fallback_for_incomplete_library COMMAND driver_probe_incomplete)
set_tests_properties(driver_search_no_fallback_for_incomplete_library PROPERTIES
  ENVIRONMENT "${state}" PASS_REGULAR_EXPRESSION "missing export \"UhfSetBuzzer\""
  FAIL_REGULAR_EXPRESSION "OpenCom=")
add_test(NAME driver_search_no_fallback_for_broken_library COMMAND driver_probe_broken)
set_tests_properties(driver_search_no_fallback_for_broken_library PROPERTIES
  ENVIRONMENT "${state}" PASS_REGULAR_EXPRESSION "broken.tagvane\\.dll: "
  FAIL_REGULAR_EXPRESSION "OpenCom=")

# A DLL built like a vendor's exports exactly the 34 undecorated names of tagvane.h; the
# simulated tagvane.dll the same and its marker.
add_test(NAME tagvane_stub_exports
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DLIBRARY=$<TARGET_FILE:stub_complete>
          -DHEADER=${header} -P ${PROJECT_SOURCE_DIR}/tests/sim/CheckDllExports.cmake)
add_test(NAME tagvane_exports
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DLIBRARY=$<TARGET_FILE:tagvane>
          -DHEADER=${header} -DEXTRA=tagvane_simulated_reader
          -P ${PROJECT_SOURCE_DIR}/tests/sim/CheckDllExports.cmake)
set_tests_properties(tagvane_stub_exports tagvane_exports PROPERTIES LABELS no-wine)

# tagvane.dll files that the loader refuses for a reason its own text leaves out: one importing a
# DLL that is nowhere to be found, one built for the other width. The message names the missing
# DLL, or the package to use instead, and has every insert of the system's text filled.
uhf_probe(missing_dependency)
add_library(tagvane_gone SHARED GoneLibrary.cpp)
set_target_properties(tagvane_gone PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/gone
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/gone)
uhf_stub_dll(stub_missing_dependency ${layouts}/missing_dependency tagvane)
target_sources(stub_missing_dependency PRIVATE NeedsGone.cpp)
target_link_libraries(stub_missing_dependency PRIVATE tagvane_gone)
add_dependencies(driver_probe_missing_dependency stub_missing_dependency)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(other_arch i686)
  set(widths "32-bit DLL. this program is 64-bit: use the 32-bit package")
else()
  set(other_arch x86_64)
  set(widths "64-bit DLL. this program is 32-bit: use the 64-bit package")
endif()
# The probe in the layout refuses the library, naming the file and the reason (a pattern without
# semicolons: a property value with one is a list of patterns).
function(uhf_expect_refusal folder reason)
  add_test(NAME driver_search_says_why_${folder} COMMAND driver_probe_${folder})
  set_tests_properties(driver_search_says_why_${folder} PROPERTIES ENVIRONMENT "${state}"
    PASS_REGULAR_EXPRESSION "${folder}.tagvane\\.dll: [^\n]*${reason}"
    FAIL_REGULAR_EXPRESSION "OpenCom=;%[0-9]")
endfunction()
uhf_expect_refusal(missing_dependency
  "it needs tagvane_gone\\.dll, which is neither beside it nor in the system folder")

find_program(UHF_OTHER_WIDTH_CXX ${other_arch}-w64-mingw32-g++-posix)
if(UHF_OTHER_WIDTH_CXX)
  uhf_probe(wrong_width)
  set(other_dll ${layouts}/wrong_width/tagvane.dll)
  add_custom_command(OUTPUT ${other_dll}
    COMMAND ${UHF_OTHER_WIDTH_CXX} -std=c++20 -shared -static -DTAGVANE_BUILDING_LIBRARY
            -I${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR}/StubDriver.cpp -o ${other_dll}
    DEPENDS StubDriver.cpp VERBATIM)
  add_custom_target(stub_wrong_width DEPENDS ${other_dll})
  add_dependencies(driver_probe_wrong_width stub_wrong_width)
  uhf_expect_refusal(wrong_width "\\(a ${widths}")
else()
  message(STATUS "No ${other_arch} compiler: the other-width DLL is not tested")
endif()

# A vendor DLL beside the program that loads a part of its own by bare name, started from a
# folder that holds a DLL of that name: the part is never taken from the current folder.
uhf_probe(loads_helper)
uhf_stub_dll(stub_loads_helper ${layouts}/loads_helper tagvane)
target_sources(stub_loads_helper PRIVATE LoadsHelper.cpp)
add_library(stub_helper SHARED StubDriver.cpp)
set_target_properties(stub_helper PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${layouts}/planted ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/helper)
add_dependencies(driver_probe_loads_helper stub_loads_helper stub_helper)
add_test(NAME driver_library_parts_ignore_current_directory COMMAND driver_probe_loads_helper)
set_tests_properties(driver_library_parts_ignore_current_directory PROPERTIES
  ENVIRONMENT "${state};UHF_PROBE_MODULE=stub_helper.dll" WORKING_DIRECTORY ${layouts}/planted
  PASS_REGULAR_EXPRESSION "^OpenCom=100 simulated=0\r?\nstub_helper.dll loaded=0\r?\n$")
