# 32-bit Windows programs (what users run): see mingw.cmake.
set(mingw_arch i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
