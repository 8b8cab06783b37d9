# cvl_fixture: the store and the install log to and from JSON, for cvlinst
# and for tests that write their fixtures as JSON. cvlinst: the tool itself.
find_path(CVL_NLOHMANN_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(cvl_fixture STATIC
  ${CMAKE_CURRENT_LIST_DIR}/archive_json/ansi_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive_json/dump_json.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive_json/pack_json.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive_json/cvlinst_command.cpp)
target_link_libraries(cvl_fixture PUBLIC cvl_installlog cvl_store)
if(CVL_WIN32)
  # The cross compiler must not see the host's /usr/include: it gets a copy
  # of this one header-only library instead.
  file(COPY ${CVL_NLOHMANN_INCLUDE}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/third_party/include)
  target_include_directories(cvl_fixture SYSTEM PUBLIC ${CMAKE_BINARY_DIR}/third_party/include)
endif()

add_executable(cvlinst ${CMAKE_CURRENT_LIST_DIR}/cvlinst.cpp)
target_link_libraries(cvlinst PRIVATE cvl_fixture)
