# `uhf-readerctl read` as a whole process against the floor of its 15 driver calls.
if(NOT WIN32)
  add_executable(readerctl_floor ${CMAKE_CURRENT_LIST_DIR}/readerctl_floor.cpp)
  target_link_libraries(readerctl_floor PRIVATE uhf_driver)
  set_target_properties(readerctl_floor PROPERTIES BUILD_RPATH "\$ORIGIN")
  target_link_options(readerctl_floor PRIVATE -Wl,--enable-new-dtags)
  add_executable(bench_readerctl ${CMAKE_CURRENT_LIST_DIR}/readerctl_compare.cpp)
  add_dependencies(bench_readerctl readerctl_floor uhf-readerctl tagvane)
endif()
