# extmark: marks the extension project as loaded (Windows build only).
if(CVL_WIN32)
  add_executable(extmark WIN32 ${CMAKE_CURRENT_LIST_DIR}/extmark.cpp)
endif()
