# Removal benchmarks, run under Wine on the real file system and registry:
#   removal_dir_bench  sweep of noted empty directories vs RemoveDirectoryA
#   removal_key_bench  deleteKeyTree vs RegDeleteTreeA
# Each prints its baseline, its own time and the ratio of the two.
if(CVL_WIN32)
  add_executable(removal_dir_bench ${CMAKE_CURRENT_LIST_DIR}/removal_dirs.cpp)
  target_link_libraries(removal_dir_bench PRIVATE cvl_bench_support cvl_removal cvl_platform_win32)
  add_executable(removal_key_bench ${CMAKE_CURRENT_LIST_DIR}/removal_keys.cpp)
  target_link_libraries(removal_key_bench PRIVATE cvl_bench_support cvl_removal cvl_platform_win32)
endif()
