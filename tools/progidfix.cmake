# progidfix: rewrites three COM classes' ProgIDs (Windows build only).
if(CVL_WIN32)
  add_executable(progidfix WIN32 ${CMAKE_CURRENT_LIST_DIR}/progidfix.cpp)
endif()
