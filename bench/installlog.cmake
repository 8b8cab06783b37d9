# installlog_bench: load throughput and peak memory of a ~100 MB install log
# (native build only; it counts heap bytes through glibc).
if(NOT CVL_WIN32)
  add_executable(installlog_bench ${CMAKE_CURRENT_LIST_DIR}/installlog_load.cpp)
  target_link_libraries(installlog_bench PRIVATE cvl_bench_support cvl_installlog)
endif()
