# adversarial_store_bench (native): start-up (store and log loaded, catalogue
# built, top components loaded) and the spreading of removal requests on
# 10 000-component stores of each adversarial shape, each as a ratio to a
# plain flat store of the same size measured in the same run (goal <= 3).
if(NOT CVL_WIN32)
  add_executable(adversarial_store_bench ${CMAKE_CURRENT_LIST_DIR}/adversarial_stores.cpp)
  target_link_libraries(adversarial_store_bench PRIVATE cvl_bench_support cvl_startup cvl_fixture_install cvl_platform_memory)
endif()
