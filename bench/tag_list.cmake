# Cost of one tag read as the tag list grows, with the simulated reader: on the in-memory surface,
# and on the real Qt list view when the Qt window is built.
add_executable(bench_tag_list ${CMAKE_CURRENT_LIST_DIR}/bench_tag_list.cpp)
target_link_libraries(bench_tag_list PRIVATE uhf_tags uhf_sim benchmark::benchmark)
if(TARGET uhf_ui_qt)
  add_executable(bench_tag_list_qt ${CMAKE_CURRENT_LIST_DIR}/bench_tag_list_qt.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/qt_benchmark_main.cpp)
  target_link_libraries(bench_tag_list_qt PRIVATE uhf_tags uhf_sim uhf_ui_qt Qt6::Widgets
                                                  benchmark::benchmark)
endif()
# Continuous reading into a full list: reads per second against the reader's own rate, and the
# window thread's time per update.
add_executable(bench_continuous_reads ${CMAKE_CURRENT_LIST_DIR}/bench_continuous_reads.cpp)
target_link_libraries(bench_continuous_reads PRIVATE uhf_tags uhf_sim benchmark::benchmark)
# The same in the real Qt window, engineering view: the ratio, the window thread's stalls and
# the frame time while reading.
if(TARGET uhf_app_qt)
  add_executable(bench_window_reading_qt ${CMAKE_CURRENT_LIST_DIR}/bench_window_reading_qt.cpp)
  target_link_libraries(bench_window_reading_qt PRIVATE uhf_app_qt uhf_sim Qt6::Widgets
                                                        benchmark::benchmark)
endif()
