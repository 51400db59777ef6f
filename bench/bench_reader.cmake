# A full read of the configuration through the dialog, with a simulated link latency.
add_executable(bench_reader ${CMAKE_CURRENT_LIST_DIR}/bench_reader_read.cpp)
target_link_libraries(bench_reader PRIVATE uhf_app uhf_sim benchmark::benchmark)
