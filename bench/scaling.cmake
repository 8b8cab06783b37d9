# removal_scaling_bench: time per item of a removal and a plan at 1x, 4x and
# 16x of the synthetic installation, and per level of a very deep logged key,
# on the in-memory machine (native build).
if(NOT CVL_WIN32)
  add_executable(removal_scaling_bench ${CMAKE_CURRENT_LIST_DIR}/removal_scaling.cpp
    ${CMAKE_CURRENT_LIST_DIR}/engine_synthetic.cpp)
  target_link_libraries(removal_scaling_bench PRIVATE cvl_bench_support cvl_startup cvl_engine cvl_platform_memory)
endif()
