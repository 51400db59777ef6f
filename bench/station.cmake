# The station's time per reader against the floor of its driver calls and one poll interval.
add_executable(bench_station ${CMAKE_CURRENT_LIST_DIR}/station_bench.cpp)
target_link_libraries(bench_station PRIVATE uhf_cli uhf_sim)
