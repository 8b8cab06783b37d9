# The shipped 32-bit Windows programs.
set(CVL_MINGW_TARGET i686)
set(CVL_WINE_LAUNCHER wine-run)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
