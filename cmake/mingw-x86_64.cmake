# 64-bit Windows programs (tested under Wine): see mingw.cmake.
set(mingw_arch x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
