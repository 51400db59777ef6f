# The fleet's wall time at several -j against the floor of one reader's time per round.
if(NOT WIN32)
  add_executable(bench_fleet ${CMAKE_CURRENT_LIST_DIR}/fleet_bench.cpp)
  target_link_libraries(bench_fleet PRIVATE uhf_cli uhf_sim)
  target_compile_definitions(bench_fleet PRIVATE
    "READERCTL=\"$<TARGET_FILE:uhf-readerctl>\""
    "SIM_LIBRARY=\"$<TARGET_FILE:tagvane>\"")
  add_dependencies(bench_fleet uhf-readerctl tagvane)
endif()
