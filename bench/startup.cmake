# startup_bench: start-up to a shown selection dialog on 1 000 components and
# a 20 MB install log under Wine, against reading both files and against a
# floor (the files, the process list, the Programs folders and the same
# dialog filled with plain tree calls), all in the same run; prints the
# times and both ratios (the goal is at most 1.5 times the floor). Needs a
# display: xvfb-run -a scripts/wine-run build/win32/bin/startup_bench.exe
if(CVL_WIN32)
  add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp $<TARGET_OBJECTS:cvl_resources>
    $<TARGET_OBJECTS:cvl_small_object_heap>)
  target_link_libraries(startup_bench PRIVATE cvl_bench_support cvl_app cvl_fixture_install)
endif()
