# Appending to a full log pane on the real Qt rich edit (offscreen).
if(TARGET uhf_ui_qt)
  add_executable(bench_log_pane_qt ${CMAKE_CURRENT_LIST_DIR}/bench_log_pane_qt.cpp
                                  ${CMAKE_CURRENT_LIST_DIR}/qt_benchmark_main.cpp)
  target_link_libraries(bench_log_pane_qt PRIVATE uhf_ui_qt Qt6::Widgets benchmark::benchmark)
endif()
