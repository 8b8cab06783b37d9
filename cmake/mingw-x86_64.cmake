# The 64-bit test build of the same sources, for kernels that run no
# 32-bit programs; its tests run under wine64.
set(CVL_MINGW_TARGET x86_64)
set(CVL_WINE_LAUNCHER wine64-run)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
