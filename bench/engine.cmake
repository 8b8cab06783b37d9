# engine_bench: the whole removal run over a synthetic installation under
# Wine, against a plain Win32 loop deleting the same files, directories and
# keys; prints both times and their ratio.
if(CVL_WIN32)
  add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/engine_removal.cpp ${CMAKE_CURRENT_LIST_DIR}/engine_synthetic.cpp
    ${CMAKE_CURRENT_LIST_DIR}/engine_synthetic_win32.cpp)
  target_link_libraries(engine_bench PRIVATE cvl_bench_support cvl_startup cvl_engine cvl_platform_win32 shlwapi)
endif()
